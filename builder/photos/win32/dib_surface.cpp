#include "builder/photos/win32/dib_surface.h"

#include <algorithm>

namespace prismora::photos {

DibSurface::DibSurface(int width, int height) {
  dc_ = CreateCompatibleDC(nullptr);
  if (!pixels_.Resize(width, height)) return;  // white, top-down as PixelView rows run
  previous_ = SelectObject(dc_, pixels_.Bitmap());
  SetStretchBltMode(dc_, COLORONCOLOR);
}

DibSurface::~DibSurface() {
  if (dc_ && previous_) SelectObject(dc_, previous_);  // the bitmap goes with pixels_
  if (dc_) DeleteDC(dc_);
}

PixelView DibSurface::Pixels() const {
  GdiFlush();
  return {pixels_.Bits(), pixels_.Width(), pixels_.Height(), std::ptrdiff_t(pixels_.Stride())};
}

void DibSurface::FillWith(uint32_t color) { Fill(Pixels(), color); }

void DibSurface::PaintTo(HDC target, int x, int y) const {
  BitBlt(target, x, y, Width(), Height(), dc_, 0, 0, SRCCOPY);
}

OtherFormatDecoder DecoderFromPictureLoader(
    std::function<bool(std::span<const uint8_t>, int&, int&, std::string&)> load,
    std::function<void(HDC, const RECT&)> draw) {
  return [load, draw](std::span<const uint8_t> file, const DrawSizeFor& drawSize,
                      DecodedPhoto& out, std::string& error) {
    int width = 0, height = 0;
    if (!load(file, width, height, error)) return false;
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
    draw(canvas.Dc(), target);
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
