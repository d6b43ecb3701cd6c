#include "builder/photos/pixels.h"

#include <algorithm>
#include <cstring>

namespace prismora::photos {

void PixelImage::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  bytes_.assign(size_t(width_) * size_t(height_) * 3, 0);
}

void Fill(const PixelView& target, uint32_t color) {
  const uint8_t b = uint8_t(color >> 16), g = uint8_t(color >> 8), r = uint8_t(color);
  for (int y = 0; y < target.height; ++y) {
    uint8_t* p = target.Row(y);
    for (int x = 0; x < target.width; ++x, p += 3) {
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
}

void StretchNearest(const PixelView& source, const PixelView& target, const PixelRect& rect) {
  const int w = rect.Width(), h = rect.Height();
  if (w <= 0 || h <= 0 || source.width <= 0 || source.height <= 0) return;
  const int x0 = std::max(rect.left, 0), x1 = std::min(rect.right, target.width);
  const int y0 = std::max(rect.top, 0), y1 = std::min(rect.bottom, target.height);
  if (x0 >= x1 || y0 >= y1) return;

  // Source column for every target column, sampled at the pixel centre.
  std::vector<int> columns(size_t(x1 - x0));
  for (int x = x0; x < x1; ++x) {
    int64_t sx = ((int64_t(x - rect.left) * 2 + 1) * source.width) / (int64_t(w) * 2);
    columns[size_t(x - x0)] = int(std::min<int64_t>(sx, source.width - 1)) * 3;
  }
  int previousRow = -1;
  uint8_t* previousOut = nullptr;
  for (int y = y0; y < y1; ++y) {
    int64_t sy = ((int64_t(y - rect.top) * 2 + 1) * source.height) / (int64_t(h) * 2);
    int row = int(std::min<int64_t>(sy, source.height - 1));
    uint8_t* out = target.Row(y) + x0 * 3;
    if (row == previousRow) {  // a repeated row: copy the one just made
      std::memcpy(out, previousOut, size_t(x1 - x0) * 3);
      continue;
    }
    const uint8_t* in = source.Row(row);
    for (size_t i = 0; i < columns.size(); ++i) {
      const uint8_t* p = in + columns[i];
      out[i * 3] = p[0];
      out[i * 3 + 1] = p[1];
      out[i * 3 + 2] = p[2];
    }
    previousRow = row;
    previousOut = out;
  }
}

}  // namespace prismora::photos
