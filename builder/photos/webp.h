// WebP photos through libwebp: still pictures and the first frame of an animation, lossy
// or lossless, turned upright as their EXIF chunk says, transparent parts put onto the
// colour the photo is framed in.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "builder/photos/jpeg.h"
#include "builder/photos/photo_memory.h"
#include "builder/photos/reader_common.h"

namespace prismora::photos {

// "RIFF", a length, "WEBP".
bool LooksLikeWebp(std::span<const uint8_t> file);

// Decodes at the smallest size that covers what `drawSize` asks for (libwebp scales while
// decoding). Refuses, before libwebp allocates, a picture whose decoding the gate does
// not allow, naming its size.
bool DecodeWebp(std::span<const uint8_t> file, const DrawSizeFor& drawSize, DecodedPhoto& out,
                std::string& error, const MemoryGate& gate = {}, uint32_t background = kWhite);

}  // namespace prismora::photos
