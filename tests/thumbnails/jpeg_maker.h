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

inline std::vector<uint8_t> MakeJpeg(int width, int height, const std::function<Rgb(int, int)>& pixel,
                                     int quality = 90) {
  jpeg_compress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(std::size_t(width) * 3);
  while (info.next_scanline < info.image_height) {
    int y = int(info.next_scanline);
    for (int x = 0; x < width; ++x) {
      Rgb c = pixel(x, y);
      row[std::size_t(x) * 3] = c.r;
      row[std::size_t(x) * 3 + 1] = c.g;
      row[std::size_t(x) * 3 + 2] = c.b;
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&info, &r, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> bytes(out, out + size);
  jpeg_destroy_compress(&info);
  std::free(out);
  return bytes;
}

inline std::vector<uint8_t> SolidJpeg(int width, int height, Rgb c) {
  return MakeJpeg(width, height, [c](int, int) { return c; });
}

}  // namespace prismora::testjpeg
