// Small picture files made in memory for decoder tests: an uncompressed PNG (stored
// deflate blocks), a baseline uncompressed TIFF, a 24-bit bitmap and a one-image icon.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/bitmap_bytes.h"

namespace prismora::testsupport {

inline uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

inline void PutBE32(std::vector<uint8_t>& v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
}

// RGB 8-bit PNG of w × h pixels of colour (r, g, b).
inline std::vector<uint8_t> SolidPng(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < w; ++x) raw.insert(raw.end(), {r, g, b});
  }
  std::vector<uint8_t> z{0x78, 0x01};
  for (size_t at = 0; at < raw.size();) {
    size_t n = std::min<size_t>(65535, raw.size() - at);
    z.push_back(at + n == raw.size() ? 1 : 0);
    z.insert(z.end(), {uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)});
    z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
    at += n;
  }
  uint32_t a = 1, bsum = 0;
  for (uint8_t c : raw) a = (a + c) % 65521, bsum = (bsum + a) % 65521;
  PutBE32(z, bsum << 16 | a);

  std::vector<uint8_t> png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
    PutBE32(png, uint32_t(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBE32(png, Crc32(png.data() + start, png.size() - start));
  };
  std::vector<uint8_t> ihdr;
  PutBE32(ihdr, uint32_t(w));
  PutBE32(ihdr, uint32_t(h));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  chunk("IHDR", ihdr);
  chunk("IDAT", z);
  chunk("IEND", {});
  return png;
}

struct TiffRgb {
  uint8_t r, g, b;
};

// Little-endian baseline TIFF, RGB 8-bit, one strip, no compression; `at(x, y)` gives
// each pixel's colour, row 0 at the top.
template <class PixelAt>
std::vector<uint8_t> MakeTiff(int w, int h, PixelAt at) {
  std::vector<uint8_t> t{'I', 'I', 42, 0};
  auto put16 = [&](uint16_t x) { t.insert(t.end(), {uint8_t(x), uint8_t(x >> 8)}); };
  auto put32 = [&](uint32_t x) { t.insert(t.end(), {uint8_t(x), uint8_t(x >> 8), uint8_t(x >> 16), uint8_t(x >> 24)}); };
  const uint32_t pixels = uint32_t(w) * uint32_t(h) * 3;
  const uint16_t entries = 10;
  const uint32_t ifd = 8, bitsAt = ifd + 2 + entries * 12 + 4, dataAt = bitsAt + 6;
  put32(ifd);
  put16(entries);
  auto entry = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    put16(tag);
    put16(type);
    put32(count);
    put32(value);
  };
  entry(256, 4, 1, uint32_t(w));    // width
  entry(257, 4, 1, uint32_t(h));    // height
  entry(258, 3, 3, bitsAt);         // bits per sample -> 8, 8, 8
  entry(259, 3, 1, 1);              // no compression
  entry(262, 3, 1, 2);              // RGB
  entry(273, 4, 1, dataAt);         // strip offset
  entry(277, 3, 1, 3);              // samples per pixel
  entry(278, 4, 1, uint32_t(h));    // rows per strip
  entry(279, 4, 1, pixels);         // strip byte count
  entry(284, 3, 1, 1);              // chunky
  put32(0);
  put16(8), put16(8), put16(8);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TiffRgb c = at(x, y);
      t.insert(t.end(), {c.r, c.g, c.b});
    }
  return t;
}

inline std::vector<uint8_t> SolidTiff(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  return MakeTiff(w, h, [=](int, int) { return TiffRgb{r, g, b}; });
}

inline std::vector<uint8_t> SolidBmp(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  return OneColourBitmap(w, h, uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16);
}

// An icon file holding one size x size image: the bitmap's info header and pixels, the
// height counted twice as icons do, then an AND mask that leaves every pixel opaque.
inline std::vector<uint8_t> SolidIco(int size, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> body = SolidBmp(size, size, r, g, b);
  body.erase(body.begin(), body.begin() + 14);  // no file header inside an icon
  const uint32_t doubled = uint32_t(size) * 2;
  for (int i = 0; i < 4; ++i) body[8 + i] = uint8_t(doubled >> (8 * i));
  const std::size_t maskStride = ((std::size_t(size) + 31) / 32) * 4;  // rows of 32-bit units
  body.resize(body.size() + maskStride * std::size_t(size), 0);
  std::vector<uint8_t> v{0, 0, 1, 0, 1, 0};  // reserved, type icon, one image
  v.insert(v.end(), {uint8_t(size), uint8_t(size), 0, 0, 1, 0, 24, 0});
  const uint32_t bytes = uint32_t(body.size()), at = 6 + 16;
  for (uint32_t x : {bytes, at})
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
  v.insert(v.end(), body.begin(), body.end());
  return v;
}

}  // namespace prismora::testsupport
