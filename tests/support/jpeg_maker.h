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

// A small JPEG whose frame header (SOF) is rewritten to declare `width` x `height`: the
// few kilobytes of scan data stay those of the small picture, as in a hostile file. The
// picture is colour (4:2:0, as cameras write) or grey, sequential or progressive.
inline std::vector<uint8_t> DeclaringSize(int width, int height, bool progressive,
                                          bool colour = true) {
  const int side = 64;
  const int components = colour ? 3 : 1;
  std::vector<uint8_t> samples(std::size_t(side * side * components));
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = uint8_t(i * 7 % 251);
  std::vector<uint8_t> jpeg =
      EncodeSamples(side, side, components, samples, 80, [progressive](jpeg_compress_struct& c) {
        if (progressive) jpeg_simple_progression(&c);
      });
  // Segments after the start marker: FF, type, big-endian length (which counts itself).
  for (std::size_t at = 2; at + 9 < jpeg.size();) {
    const uint8_t type = jpeg[at + 1];
    if (type >= 0xC0 && type <= 0xC2) {  // baseline, extended or progressive frame
      jpeg[at + 5] = uint8_t(height >> 8), jpeg[at + 6] = uint8_t(height);
      jpeg[at + 7] = uint8_t(width >> 8), jpeg[at + 8] = uint8_t(width);
      return jpeg;
    }
    at += 2 + (std::size_t(jpeg[at + 2]) << 8 | jpeg[at + 3]);
  }
  return {};
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
