#include "builder/photos/reader_common.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "builder/photos/jpeg_orientation.h"

namespace prismora::photos {

PixelSize CoveringSize(int width, int height, PixelSize draw) {
  if (width <= 0 || height <= 0) return {0, 0};
  const double factor = std::max(double(draw.width) / width, double(draw.height) / height);
  if (factor >= 1.0) return {width, height};
  auto side = [&](int full) { return std::clamp(int(std::ceil(full * factor)), 1, full); };
  return {side(width), side(height)};
}

void FlattenBgra(const uint8_t* bgra, uint8_t* bgr, int width, uint32_t background) {
  const unsigned bg[3] = {background >> 16 & 0xFF, background >> 8 & 0xFF, background & 0xFF};
  for (int x = 0; x < width; ++x, bgra += 4, bgr += 3) {
    const unsigned a = bgra[3];
    for (int c = 0; c < 3; ++c) bgr[c] = uint8_t((bgra[c] * a + bg[c] * (255 - a) + 127) / 255);
  }
}

void PutUpright(PixelImage& stored, int orientation, int fullWidth, int fullHeight,
                DecodedPhoto& out) {
  const bool swapped = SwapsSides(orientation);
  out.fullWidth = swapped ? fullHeight : fullWidth;
  out.fullHeight = swapped ? fullWidth : fullHeight;
  if (orientation == 1) {
    out.pixels = std::move(stored);
    return;
  }
  if (swapped)
    out.pixels.Resize(stored.Height(), stored.Width());
  else
    out.pixels.Resize(stored.Width(), stored.Height());
  TurnUpright(stored.View(), orientation, out.pixels.View());
}

}  // namespace prismora::photos
