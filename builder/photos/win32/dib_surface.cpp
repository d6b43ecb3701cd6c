#include "builder/photos/win32/dib_surface.h"

#include <algorithm>

namespace prismora::photos {

DibSurface::DibSurface(int width, int height) : width_(width), height_(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as PixelView rows run
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dc_ = CreateCompatibleDC(nullptr);
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return;
  bits_ = static_cast<uint8_t*>(bits);
  previous_ = SelectObject(dc_, bitmap_);
  SetStretchBltMode(dc_, COLORONCOLOR);
  FillWith(0x00FFFFFF);
}

DibSurface::~DibSurface() {
  if (dc_ && previous_) SelectObject(dc_, previous_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

PixelView DibSurface::Pixels() const {
  GdiFlush();
  return {bits_, bits_ ? width_ : 0, bits_ ? height_ : 0, std::ptrdiff_t((width_ * 3 + 3) & ~3)};
}

void DibSurface::FillWith(uint32_t color) { Fill(Pixels(), color); }

void DibSurface::PaintTo(HDC target, int x, int y) const {
  BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
}

PhotoDecoder DecoderFromPictureLoader(
    std::function<bool(const std::string&, int&, int&, std::string&)> measure,
    std::function<void(const std::string&, HDC, const RECT&)> draw) {
  return [measure, draw](const std::string& path, const DrawSizeFor& drawSize, DecodedPhoto& out,
                         std::string& error) {
    int width = 0, height = 0;
    if (!measure(path, width, height, error)) return false;
    if (width <= 0 || height <= 0) {
      error = "The picture has no size";
      return false;
    }
    PixelSize size = drawSize(width, height);
    // Never larger than the picture itself: the fitting stretches it afterwards.
    int w = std::max(1, std::min(width, size.width)), h = std::max(1, std::min(height, size.height));
    DibSurface canvas(w, h);
    if (!canvas.Valid()) {
      error = "Out of memory for the picture";
      return false;
    }
    RECT target{0, 0, w, h};
    draw(path, canvas.Dc(), target);
    PixelView pixels = canvas.Pixels();
    out.pixels.Resize(w, h);
    PixelView copy = out.pixels.View();
    for (int y = 0; y < h; ++y) std::copy_n(pixels.Row(y), size_t(w) * 3, copy.Row(y));
    out.fullWidth = width;
    out.fullHeight = height;
    return true;
  };
}

PictureDrawer DrawBitmapStretched(HBITMAP bitmap) {
  return [bitmap](HDC dc, const RECT& target) {
    BITMAP info{};
    GetObject(bitmap, sizeof info, &info);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
               source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  };
}

}  // namespace prismora::photos
