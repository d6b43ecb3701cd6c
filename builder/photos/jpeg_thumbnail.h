// Decoding a JPEG straight to thumbnail size. libjpeg scales during the inverse DCT (by
// 1/2, 1/4 or 1/8), so a 12-megapixel photo never exists in memory at full size: it is
// decoded at the smallest scale that is still at least as large as the thumbnail, turned
// upright as its EXIF Orientation tag says, then averaged down to the exact size.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "builder/photos/jpeg.h"  // LooksLikeJpeg
#include "builder/photos/picture_geometry.h"

namespace prismora::photos {

// Pixels top-down, 3 bytes per pixel in the order blue, green, red (the order device
// independent bitmaps use), rows without padding.
struct BgrImage {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

struct DecodedThumbnail {
  Size fullSize;   // the photo's own size, upright
  BgrImage image;  // FitPicture(fullSize, area)
};

// Why DecodeJpegThumbnail gave nothing.
enum class JpegRefusal {
  None,
  // Not a JPEG libjpeg can decode to colour (for example a truncated file or an
  // unsupported colour space): the caller may try another decoder.
  NotForLibjpeg,
  // A JPEG whose declared size costs more memory than one photo may take (see
  // photo_memory.h), or with more scans than kMaxJpegScans (see jpeg_memory.h). No other
  // decoder may try it: they would all decode it at full size, and every scan.
  TooLarge,
};

std::optional<DecodedThumbnail> DecodeJpegThumbnail(std::span<const uint8_t> data, Size area,
                                                    JpegRefusal* refusal = nullptr);

// The largest libjpeg scale denominator (1, 2, 4 or 8) whose output is still at least
// `target` in both directions.
int JpegScaleDenominator(Size full, Size target);

// Averages every source pixel into the destination pixel it falls in.
BgrImage ScaleDown(const BgrImage& source, Size target);

}  // namespace prismora::photos
