#include "builder/photos/declared_size.h"

#include <algorithm>

#include "builder/photos/gif_frames.h"
#include "builder/photos/photo_memory.h"

namespace prismora::photos {
namespace {

uint32_t U16Le(std::span<const uint8_t> d, size_t at) { return d[at] | uint32_t(d[at + 1]) << 8; }
uint32_t U32Le(std::span<const uint8_t> d, size_t at) { return U16Le(d, at) | U16Le(d, at + 2) << 16; }
uint32_t U32Be(std::span<const uint8_t> d, size_t at) {
  return uint32_t(d[at]) << 24 | uint32_t(d[at + 1]) << 16 | uint32_t(d[at + 2]) << 8 | d[at + 3];
}

// The data sub-blocks that follow an extension or a frame's LZW code size: a length
// byte, that many bytes, until a zero length. Where the next block starts, or the end.
size_t SkipSubBlocks(std::span<const uint8_t> d, size_t at) {
  while (at < d.size() && d[at] != 0) at += size_t(d[at]) + 1;
  return std::min(at + 1, d.size());
}

// Logical screen descriptor at 6: width, height, packed (bit 7: global colour table,
// bits 0..2: its size as 2^(n+1) entries). Then blocks: 0x21 extension (label, sub-blocks),
// 0x2C frame (left, top, width, height, packed with the local table in the same form,
// LZW code size, sub-blocks), 0x3B end.
DeclaredSize GifSize(std::span<const uint8_t> d) {
  // Index bytes of the frame and the decoded colour picture.
  DeclaredSize size{U16Le(d, 6), U16Le(d, 8), 5};
  auto tableBytes = [](uint8_t packed) { return packed & 0x80 ? 3 * (size_t(2) << (packed & 7)) : 0; };
  size_t at = 13 + tableBytes(d[10]);
  while (at < d.size() && d[at] != 0x3B) {
    if (d[at] == 0x21 && at + 1 < d.size()) {
      at = SkipSubBlocks(d, at + 2);
    } else if (d[at] == 0x2C && at + 10 < d.size()) {
      size.width = std::max<int64_t>(size.width, U16Le(d, at + 5));
      size.height = std::max<int64_t>(size.height, U16Le(d, at + 7));
      at = SkipSubBlocks(d, at + 11 + tableBytes(d[at + 9]));
    } else {
      break;  // damaged: what was read so far is all the decoder will see either
    }
  }
  return size;
}

}  // namespace

std::optional<DeclaredSize> ReadDeclaredSize(std::span<const uint8_t> d) {
  if (gif::IsGifFile(d) && d.size() >= 13) return GifSize(d);
  // BITMAPFILEHEADER (14 bytes), then the info header's size: 12 for the old core
  // header (16-bit sides), 40 or more for the others (32-bit sides, height negative for
  // top-down rows). Counted as a 32-bit copy.
  if (d.size() >= 26 && d[0] == 'B' && d[1] == 'M') {
    const uint32_t info = U32Le(d, 14);
    if (info == 12) return DeclaredSize{U16Le(d, 18), U16Le(d, 20), 4};
    const int64_t height = int32_t(U32Le(d, 22));
    return DeclaredSize{int32_t(U32Le(d, 18)), height < 0 ? -height : height, 4};
  }
  // Signature, then IHDR: length, type, width, height (big-endian). The imaging
  // component's decoder, our colour copy and the bitmap made from it: ten bytes a pixel.
  static constexpr uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (d.size() >= 24 && std::equal(kPng, kPng + 8, d.begin()) && d[12] == 'I' && d[13] == 'H')
    return DeclaredSize{U32Be(d, 16), U32Be(d, 20), 10};
  return std::nullopt;
}

bool DeclaredSizeAffordable(std::span<const uint8_t> data) {
  const std::optional<DeclaredSize> s = ReadDeclaredSize(data);
  if (!s) return true;
  if (s->width <= 0 || s->height <= 0) return true;  // the decoder refuses these itself
  return photos::PixelCountAllowed(s->width, s->height) &&
         s->width * s->height * s->bytesPerPixel <= photos::kPhotoMemoryLimit;
}

}  // namespace prismora::photos
