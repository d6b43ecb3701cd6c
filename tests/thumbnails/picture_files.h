// Picture files of every kind the platform decoder reads, made in memory for tests.
#pragma once
#include <cstdint>
#include <vector>

#include "common/bytes.h"

namespace prismora::testpictures {

using bytes::appendU16;
using bytes::appendU32;

// 24-bit pixels, bottom-up rows padded to 4 bytes; without the 14-byte file header when
// `forIcon` (an icon stores the info header, pixels and an AND mask).
inline std::vector<uint8_t> BitmapBody(int width, int height, uint8_t r, uint8_t g, uint8_t b,
                                       bool forIcon) {
  std::vector<uint8_t> v;
  appendU32(v, 40);
  appendU32(v, uint32_t(width));
  appendU32(v, uint32_t(forIcon ? height * 2 : height));
  appendU16(v, 1);
  appendU16(v, 24);
  for (int i = 0; i < 6; ++i) appendU32(v, 0);
  std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) v.insert(v.end(), {b, g, r});
    v.resize(v.size() + stride - std::size_t(width) * 3, 0);
  }
  if (forIcon) {  // AND mask: all opaque, rows of 32-bit units
    std::size_t maskStride = ((std::size_t(width) + 31) / 32) * 4;
    v.resize(v.size() + maskStride * std::size_t(height), 0);
  }
  return v;
}

inline std::vector<uint8_t> MakeBmp(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> body = BitmapBody(width, height, r, g, b, false);
  std::vector<uint8_t> v = {'B', 'M'};
  appendU32(v, uint32_t(14 + body.size()));
  appendU32(v, 0);
  appendU32(v, 14 + 40);
  v.insert(v.end(), body.begin(), body.end());
  return v;
}

inline std::vector<uint8_t> MakeIco(int size, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> body = BitmapBody(size, size, r, g, b, true);
  std::vector<uint8_t> v;
  appendU16(v, 0);
  appendU16(v, 1);  // icon
  appendU16(v, 1);  // one image
  v.insert(v.end(), {uint8_t(size), uint8_t(size), 0, 0});
  appendU16(v, 1);
  appendU16(v, 24);
  appendU32(v, uint32_t(body.size()));
  appendU32(v, 6 + 16);
  v.insert(v.end(), body.begin(), body.end());
  return v;
}

}  // namespace prismora::testpictures
