// Pictures for the image tests: every pixel the colour `colourAt(x, y)` gives (three
// values, red first, each put into a byte).
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/gl/bmp.h"

namespace prismora::testimage {

image::Image Filled(int w, int h, auto colourAt) {
  image::Image img;
  img.width = w;
  img.height = h;
  img.rgb.resize(std::size_t(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const auto c = colourAt(x, y);
      for (int k = 0; k < 3; ++k) img.rgb[(std::size_t(y) * w + x) * 3 + k] = uint8_t(c[k]);
    }
  return img;
}

}  // namespace prismora::testimage
