// Picture files of every kind the platform decoder reads, made in memory for tests.
#pragma once
#include <cstdint>
#include <vector>

namespace prismora::testpictures {

inline void PutU16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
inline void PutU32(std::vector<uint8_t>& v, uint32_t x) {
  PutU16(v, x & 0xFFFF);
  PutU16(v, x >> 16);
}

// 24-bit pixels, bottom-up rows padded to 4 bytes; without the 14-byte file header when
// `forIcon` (an icon stores the info header, pixels and an AND mask).
inline std::vector<uint8_t> BitmapBody(int width, int height, uint8_t r, uint8_t g, uint8_t b,
                                       bool forIcon) {
  std::vector<uint8_t> v;
  PutU32(v, 40);
  PutU32(v, uint32_t(width));
  PutU32(v, uint32_t(forIcon ? height * 2 : height));
  PutU16(v, 1);
  PutU16(v, 24);
  for (int i = 0; i < 6; ++i) PutU32(v, 0);
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
  PutU32(v, uint32_t(14 + body.size()));
  PutU32(v, 0);
  PutU32(v, 14 + 40);
  v.insert(v.end(), body.begin(), body.end());
  return v;
}

inline std::vector<uint8_t> MakeIco(int size, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> body = BitmapBody(size, size, r, g, b, true);
  std::vector<uint8_t> v;
  PutU16(v, 0);
  PutU16(v, 1);  // icon
  PutU16(v, 1);  // one image
  v.insert(v.end(), {uint8_t(size), uint8_t(size), 0, 0});
  PutU16(v, 1);
  PutU16(v, 24);
  PutU32(v, uint32_t(body.size()));
  PutU32(v, 6 + 16);
  v.insert(v.end(), body.begin(), body.end());
  return v;
}

}  // namespace prismora::testpictures
