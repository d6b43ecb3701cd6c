// The bytes of a 24-bit Windows bitmap of one colour, for tests that put photos on disk.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace prismora::testsupport {

// w x h pixels of `color` (0x00BBGGRR), bottom row first as the format keeps them.
inline std::vector<uint8_t> OneColourBitmap(int w, int h, uint32_t color) {
  const int row = (w * 3 + 3) & ~3;
  std::vector<uint8_t> b(54 + size_t(row) * h, 0);
  auto put32 = [&b](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, uint32_t(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(w));
  put32(22, uint32_t(h));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &b[54 + size_t(y) * row + size_t(x) * 3];
      p[0] = uint8_t(color >> 16);
      p[1] = uint8_t(color >> 8);
      p[2] = uint8_t(color);
    }
  return b;
}

}  // namespace prismora::testsupport
