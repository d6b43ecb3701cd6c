// Thumbnails of the photo formats the builder reads itself: JPEG (libjpeg, scaled while
// decoding), WebP (libwebp, scaled while decoding), TIFF (libtiff) and HEIC/AVIF (libheif),
// averaged down to the exact drawn size. A file of these kinds never goes to the platform's decoder, which
// may decode a declared giant at full size or not know the format at all; the one
// exception is a JPEG libjpeg refuses for its kind (12-bit, lossless), which the platform
// may still read.
#pragma once
#include <cstdint>
#include <span>

#include "builder/photos/jpeg_thumbnail.h"

namespace prismora::photos {

enum class OwnThumbnail {
  Decoded,
  Refused,      // ours but damaged or too large: shown as an empty frame
  OtherFormat,  // for the platform's decoder
};

// `background` (0x00BBGGRR) shows through transparent parts.
OwnThumbnail DecodeOwnThumbnail(std::span<const uint8_t> data, Size area, DecodedThumbnail& out,
                                uint32_t background = 0x00FFFFFF);

}  // namespace prismora::photos
