// HEIF photos through libheif: HEIC (HEVC, by libde265) and AVIF (AV1, by dav1d). The
// primary image of a file that holds several (bursts, depth maps, thumbnails), turned
// upright by the file's own rotation and mirroring (irot, imir; libheif applies them and
// the cropping while decoding, and an EXIF Orientation beside them says the same again,
// so it is never applied on top), transparent parts put onto the colour the photo is
// framed in.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "builder/photos/jpeg.h"
#include "builder/photos/photo_memory.h"
#include "builder/photos/reader_common.h"

namespace prismora::photos {

// An ISO media file's first box, 'ftyp', whose major or compatible brands name a HEIF
// image kind (heic, heix, hevc, mif1, avif, ...).
//   0  u32 box size (big-endian), at least 16
//   4  "ftyp"
//   8  major brand
//  12  u32 minor version
//  16  compatible brands, four bytes each, to the end of the box
struct FtypBox {
  static constexpr size_t kSize = 0;
  static constexpr size_t kType = 4;
  static constexpr size_t kMajorBrand = 8;
  static constexpr size_t kCompatibleBrands = 16;
};
bool LooksLikeHeif(std::span<const uint8_t> file);

// libheif decodes at full size; the result is averaged down by a whole factor to the
// smallest size that still covers what `drawSize` asks for. Refuses, before libheif
// decodes, a picture whose decoding the gate does not allow, naming its size.
bool DecodeHeif(std::span<const uint8_t> file, const DrawSizeFor& drawSize, DecodedPhoto& out,
                std::string& error, const MemoryGate& gate = {}, uint32_t background = kWhite);

}  // namespace prismora::photos
