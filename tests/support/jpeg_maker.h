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

inline std::vector<uint8_t> MakeJpeg(int width, int height, const std::function<Rgb(int, int)>& pixel,
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

}  // namespace prismora::testjpeg
