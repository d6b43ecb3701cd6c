// A 24-bit top-down DIB section: the pixels of an image control, a picture loaded from
// the program's resources, or a work bitmap. Pixel rows are blue-green-red, so
// platform-free pixel code can write straight into `Bits()`.
#pragma once
#include <windows.h>

#include <cstdint>

namespace prismora::wingui {

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height) { Resize(width, height); }
  ~Surface() { Release(); }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  Surface(Surface&& other) noexcept { *this = static_cast<Surface&&>(other); }
  Surface& operator=(Surface&& other) noexcept;

  // A fresh white surface of this size; false when the platform refuses it.
  bool Resize(int width, int height);
  // Copies a bitmap resource of the program into a new surface. A 32-bit picture with
  // an alpha channel is blended onto `background`, the colour behind the control.
  bool LoadResource(int id, COLORREF background);
  // Hands the bitmap to the caller (e.g. a menu), leaving the surface empty.
  HBITMAP Detach();
  void Release();

  bool Empty() const { return bitmap_ == nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return (width_ * 3 + 3) & ~3; }
  uint8_t* Bits() const { return bits_; }
  HBITMAP Bitmap() const { return bitmap_; }

  void Fill(COLORREF color);
  // Copies packed blue-green-red rows (`width` x `height`, no padding) in with their
  // top-left corner at (left, top); the rectangle must lie inside the surface.
  void CopyRows(const uint8_t* bgr, int width, int height, int left = 0, int top = 0);
  // A new bitmap holding packed blue-green-red rows; null when the platform refuses it.
  static HBITMAP BitmapFromRows(const uint8_t* bgr, int width, int height);
  // Draws the whole surface stretched into `target` on `dc`.
  void StretchTo(HDC dc, const RECT& target) const;

 private:
  HBITMAP bitmap_ = nullptr;
  uint8_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace prismora::wingui
