#include "platform/win32/wingui/surface.h"

#include <cstring>
#include <utility>

namespace prismora::wingui {

Surface& Surface::operator=(Surface&& other) noexcept {
  if (this != &other) {
    Release();
    bitmap_ = std::exchange(other.bitmap_, nullptr);
    bits_ = std::exchange(other.bits_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
  }
  return *this;
}

void Surface::Release() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

bool Surface::Resize(int width, int height) {
  Release();
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return false;
  bits_ = static_cast<uint8_t*>(bits);
  width_ = width;
  height_ = height;
  Fill(RGB(255, 255, 255));
  return true;
}

HBITMAP Surface::Detach() {
  HBITMAP b = std::exchange(bitmap_, nullptr);
  bits_ = nullptr;
  width_ = height_ = 0;
  return b;
}

bool Surface::LoadResource(int id, COLORREF background) {
  HBITMAP src = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!src) return false;
  BITMAP info{};
  GetObjectA(src, sizeof info, &info);
  bool ok = Resize(info.bmWidth, info.bmHeight);
  DIBSECTION dib{};
  const bool alpha = ok && info.bmBitsPixel == 32 && GetObjectA(src, sizeof dib, &dib) == sizeof dib &&
                     dib.dsBm.bmBits != nullptr;
  if (alpha) {
    // Straight alpha, rows bottom-up as stored.
    const auto* from = static_cast<const uint8_t*>(dib.dsBm.bmBits);
    const int back[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
    for (int y = 0; y < height_; ++y) {
      const uint8_t* s = from + (dib.dsBmih.biHeight > 0 ? height_ - 1 - y : y) * dib.dsBm.bmWidthBytes;
      uint8_t* d = bits_ + y * Stride();
      for (int x = 0; x < width_; ++x, s += 4, d += 3)
        for (int c = 0; c < 3; ++c) d[c] = uint8_t((s[c] * s[3] + back[c] * (255 - s[3]) + 127) / 255);
    }
  } else if (ok) {
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    HGDIOBJ oldFrom = SelectObject(from, src), oldTo = SelectObject(to, bitmap_);
    BitBlt(to, 0, 0, width_, height_, from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
  }
  DeleteObject(src);
  return ok;
}

void Surface::CopyRows(const uint8_t* bgr, int width, int height, int left, int top) {
  if (!bits_) return;
  GdiFlush();  // drawing the platform still has queued lands first
  const size_t row = size_t(width) * 3;
  for (int y = 0; y < height; ++y)
    std::memcpy(bits_ + (top + y) * Stride() + left * 3, bgr + size_t(y) * row, row);
}

HBITMAP Surface::BitmapFromRows(const uint8_t* bgr, int width, int height) {
  Surface surface;
  if (!surface.Resize(width, height)) return nullptr;
  surface.CopyRows(bgr, width, height);
  return surface.Detach();
}

void Surface::Fill(COLORREF color) {
  if (!bits_) return;
  const uint8_t b = GetBValue(color), g = GetGValue(color), r = GetRValue(color);
  for (int y = 0; y < height_; ++y) {
    uint8_t* p = bits_ + y * Stride();
    for (int x = 0; x < width_; ++x, p += 3) {
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
}

void Surface::StretchTo(HDC dc, const RECT& target) const {
  if (!bitmap_) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, bitmap_);
  const int w = target.right - target.left, h = target.bottom - target.top;
  if (w == width_ && h == height_) {
    BitBlt(dc, target.left, target.top, w, h, mem, 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, target.left, target.top, w, h, mem, 0, 0, width_, height_, SRCCOPY);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
}

}  // namespace prismora::wingui
