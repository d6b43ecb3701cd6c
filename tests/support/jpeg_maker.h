// JPEG files for tests, encoded with libjpeg from a pixel function.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace prismora::testjpeg {

struct Rgb {
  uint8_t r, g, b;
};

// Interleaved samples, one (grey) or three (RGB) a pixel. `configure` may change the
// settings libjpeg's defaults and `quality` chose: sampling, tables, restarts, scans.
inline std::vector<uint8_t> EncodeSamples(
    int width, int height, int components, const std::vector<uint8_t>& samples, int quality,
    const std::function<void(jpeg_compress_struct&)>& configure = {}) {
  jpeg_compress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (configure) configure(info);
  jpeg_start_compress(&info, TRUE);
  const std::size_t stride = std::size_t(width) * std::size_t(components);
  while (info.next_scanline < info.image_height) {
    auto row = const_cast<JSAMPROW>(&samples[stride * info.next_scanline]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> bytes(out, out + size);
  jpeg_destroy_compress(&info);
  std::free(out);
  return bytes;
}

inline std::vector<uint8_t> MakeJpeg(int width, int height,
                                     const std::function<Rgb(int, int)>& pixel,
                                     int quality = 90) {
  std::vector<uint8_t> samples(std::size_t(width) * std::size_t(height) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = pixel(x, y);
      uint8_t* p = &samples[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
      p[0] = c.r, p[1] = c.g, p[2] = c.b;
    }
  }
  return EncodeSamples(width, height, 3, samples, quality);
}

inline std::vector<uint8_t> SolidJpeg(int width, int height, Rgb c) {
  return MakeJpeg(width, height, [c](int, int) { return c; });
}

// The file with an EXIF block holding only an Orientation tag, as a camera writes it;
// `at` is where the block goes (2: straight after the start marker).
inline std::vector<uint8_t> WithOrientation(std::vector<uint8_t> jpeg, int orientation,
                                            bool littleEndian = true, std::size_t at = 2) {
  auto u16 = [&](int v) -> std::vector<uint8_t> {
    return littleEndian ? std::vector<uint8_t>{uint8_t(v), uint8_t(v >> 8)}
                        : std::vector<uint8_t>{uint8_t(v >> 8), uint8_t(v)};
  };
  const auto order = uint8_t(littleEndian ? 'I' : 'M');
  std::vector<uint8_t> tiff{order, order};
  auto add = [&](const std::vector<uint8_t>& bytes) {
    tiff.insert(tiff.end(), bytes.begin(), bytes.end());
  };
  add(u16(42));
  add(littleEndian ? std::vector<uint8_t>{8, 0, 0, 0} : std::vector<uint8_t>{0, 0, 0, 8});
  add(u16(1));                                   // one directory entry:
  add(u16(0x0112));                              // Orientation,
  add(u16(3));                                   // SHORT,
  add(littleEndian ? std::vector<uint8_t>{1, 0, 0, 0} : std::vector<uint8_t>{0, 0, 0, 1});
  add(u16(orientation));
  add({0, 0, 0, 0, 0, 0});                       // value padding, no next directory
  std::vector<uint8_t> block{0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
  block.insert(block.end(), tiff.begin(), tiff.end());
  block[2] = uint8_t((block.size() - 2) >> 8);
  block[3] = uint8_t(block.size() - 2);
  jpeg.insert(jpeg.begin() + long(at), block.begin(), block.end());
  return jpeg;
}

}  // namespace prismora::testjpeg
