// The size a picture file declares, read from its header before the platform's picture
// decoder sizes its buffers by it. That decoder trusts the header: a GIF of a few hundred
// bytes declaring a 65535 × 65535 screen, or a bitmap header declaring gigapixels, would
// make it try to allocate gigabytes in the builder's 2 GB of address space.
#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "builder/photos/picture_geometry.h"

namespace prismora::photos {

// What the header of a GIF (the widest and tallest of the logical screen and every
// frame), Windows bitmap (the 40-byte and the old 12-byte header) or PNG (IHDR) says.
// `bytesPerPixel` is what the platform's decoders keep at once per declared pixel for
// that kind. Nothing for other kinds and for headers cut short.
struct DeclaredSize {
  int64_t width = 0, height = 0;
  int bytesPerPixel = 0;
};
std::optional<DeclaredSize> ReadDeclaredSize(std::span<const uint8_t> data);

// False when the header declares a picture that one photo may not cost (see
// photo_memory.h); true for kinds whose header is not read here.
bool DeclaredSizeAffordable(std::span<const uint8_t> data);

}  // namespace prismora::photos
