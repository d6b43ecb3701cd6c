// Small, real GIF files for tests: four colours (black, red, green, blue), each frame
// one colour, LZW data kept at 3-bit codes by a clear code after every two pixels.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/bytes.h"

namespace prismora::testgif {

struct FrameSpec {
  uint16_t left, top, width, height;
  uint16_t delay;  // hundredths of a second
  int disposal;    // 0..7
  bool transparent;
  uint8_t colour;  // 0 black, 1 red, 2 green, 3 blue
};

using bytes::appendU16;

inline std::vector<uint8_t> Header(uint16_t width, uint16_t height) {
  std::vector<uint8_t> v = {'G', 'I', 'F', '8', '9', 'a'};
  appendU16(v, width);
  appendU16(v, height);
  v.insert(v.end(), {0x81, 0, 0});  // global table of 4 colours
  v.insert(v.end(), {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
  return v;
}

inline std::vector<uint8_t> LzwPixels(std::size_t count, uint8_t colour) {
  std::vector<uint8_t> codes;
  for (std::size_t i = 0; i < count; ++i) {
    if (i % 2 == 0) codes.push_back(4);  // clear
    codes.push_back(colour);
  }
  codes.push_back(5);  // end of information
  std::vector<uint8_t> packed;
  uint32_t bits = 0;
  int have = 0;
  for (uint8_t c : codes) {
    bits |= uint32_t(c) << have;
    have += 3;
    while (have >= 8) {
      packed.push_back(uint8_t(bits));
      bits >>= 8;
      have -= 8;
    }
  }
  if (have > 0) packed.push_back(uint8_t(bits));
  std::vector<uint8_t> v = {2};  // minimum code size
  for (std::size_t i = 0; i < packed.size(); i += 255) {
    std::size_t n = std::min<std::size_t>(255, packed.size() - i);
    v.push_back(uint8_t(n));
    v.insert(v.end(), packed.begin() + long(i), packed.begin() + long(i + n));
  }
  v.push_back(0);
  return v;
}

inline std::vector<uint8_t> Frame(const FrameSpec& f) {
  std::vector<uint8_t> v = {0x21, 0xF9, 4, uint8_t((f.disposal & 7) << 2 | (f.transparent ? 1 : 0))};
  appendU16(v, f.delay);
  v.insert(v.end(), {0, 0, 0x2C});
  appendU16(v, f.left);
  appendU16(v, f.top);
  appendU16(v, f.width);
  appendU16(v, f.height);
  v.push_back(0);
  std::vector<uint8_t> data = LzwPixels(std::size_t(f.width) * f.height, f.colour);
  v.insert(v.end(), data.begin(), data.end());
  return v;
}

inline std::vector<uint8_t> MakeGif(uint16_t width, uint16_t height,
                                    const std::vector<FrameSpec>& frames) {
  std::vector<uint8_t> v = Header(width, height);
  for (const FrameSpec& f : frames) {
    std::vector<uint8_t> b = Frame(f);
    v.insert(v.end(), b.begin(), b.end());
  }
  v.push_back(0x3B);
  return v;
}

}  // namespace prismora::testgif
