// Pixel buffers shared by the photo code: 24-bit, blue-green-red byte order, rows top
// down. That is the byte order of a Windows DIB section, so a view can point straight
// into the memory of a drawing surface and no copy or channel swap is needed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace prismora::photos {

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};

// A window onto pixels someone else owns.
struct PixelView {
  uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // bytes from one row to the next

  uint8_t* Row(int y) const { return pixels + y * stride; }
  // A colour value 0x00BBGGRR, the form every colour setting holds.
  uint32_t At(int x, int y) const {
    const uint8_t* p = Row(y) + 3 * x;
    return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
  }
};

// Owns its pixels; rows are packed (stride = 3 × width).
class PixelImage {
 public:
  PixelImage() = default;
  PixelImage(int width, int height) { Resize(width, height); }
  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  PixelView View() { return {bytes_.data(), width_, height_, std::ptrdiff_t(width_) * 3}; }
  PixelView View() const {  // the view is read from only
    return {const_cast<uint8_t*>(bytes_.data()), width_, height_, std::ptrdiff_t(width_) * 3};
  }

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> bytes_;
};

// Fills the whole view with a colour value 0x00BBGGRR.
void Fill(const PixelView& target, uint32_t color);

// Draws `source` stretched into `rect` of `target` by dropping or repeating whole rows
// and columns, the way the platform's colour-on-colour stretch does: no smoothing, so
// border colours and photo pixels never blend. Parts of the rectangle outside the
// target are clipped.
void StretchNearest(const PixelView& source, const PixelView& target, const PixelRect& rect);

}  // namespace prismora::photos
