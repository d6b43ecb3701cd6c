// JPEG through libjpeg: decoding photos at the smallest scale that still covers the size
// they are drawn at, and encoding the installer's photos.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "builder/photos/photo_memory.h"
#include "builder/photos/pixels.h"

namespace prismora::photos {

// A decoded photo and the size of the picture itself, both upright (JPEG photos are turned
// as their EXIF Orientation tag says); the pixels may be smaller when the decoder scaled
// it down.
struct DecodedPhoto {
  PixelImage pixels;
  int fullWidth = 0;
  int fullHeight = 0;
};

struct PixelSize {
  int width = 0;
  int height = 0;
};

// Given the picture's own upright size, the size it will be drawn at (the largest, if
// there are several). The decoder never goes below it.
using DrawSizeFor = std::function<PixelSize(int width, int height)>;

// A JPEG file by its first marker, whatever its name: the photo runs, the strip and the
// preview pane all decide by this.
inline bool LooksLikeJpeg(std::span<const uint8_t> file) {
  return file.size() >= 3 && file[0] == 0xFF && file[1] == 0xD8 && file[2] == 0xFF;
}

// libjpeg scales by n/8. The smallest n whose output still covers `draw`; 8 when even
// the full picture is smaller.
int JpegScaleEighths(int width, int height, PixelSize draw);

// Refuses, before allocating, a picture of kMaxPhotoPixels or more and one whose decoding
// the gate does not allow (see photo_memory.h); the error then names its size.
bool DecodeJpeg(std::span<const uint8_t> file, const DrawSizeFor& drawSize, DecodedPhoto& out,
                std::string& error, const MemoryGate& gate = {});

// Quality 90, baseline quantisation tables, sequential, three colour components.
bool EncodeJpeg(const PixelView& image, int quality, std::vector<uint8_t>& out,
                std::string& error);

inline constexpr int kExportQuality = 90;

}  // namespace prismora::photos
