// TIFF photos through libtiff's RGBA interface: every layout it reads (8 and 16 bits a
// sample, palette, grey, CMYK, JPEG and fax compression, strips or tiles, BigTIFF), the
// first page of a multi-page file, turned upright as its Orientation tag says and with
// transparent parts put onto the colour the photo is framed in.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "builder/photos/jpeg.h"
#include "builder/photos/photo_memory.h"
#include "builder/photos/reader_common.h"

namespace prismora::photos {

// "II*\0" or "MM\0*" (classic), "II+\0" or "MM\0+" (BigTIFF).
bool LooksLikeTiff(std::span<const uint8_t> file);

// Decodes the first page at full size (libtiff does not scale). Refuses, before the
// picture is allocated, one whose decoding the gate does not allow, naming its size.
bool DecodeTiff(std::span<const uint8_t> file, DecodedPhoto& out, std::string& error,
                const MemoryGate& gate = {}, uint32_t background = kWhite);

}  // namespace prismora::photos
