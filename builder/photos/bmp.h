// The builder's side of Windows bitmap files (common/bmp.h): the 24-bit photo bitmaps the
// runtime loads and the wizard pictures from pixel images, and photos given as bitmaps
// read under the photo memory rule.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "builder/photos/photo_memory.h"
#include "builder/photos/pixels.h"
#include "common/bmp.h"

namespace prismora::photos {

// The file layout, shared with the screen saver and the converter.
using BmpLayout = bmp::Layout;
inline size_t BmpRowBytes(int width) { return bmp::RowBytes(width); }

// The whole file: bottom-up rows, 24 bits per pixel, no palette.
std::vector<uint8_t> EncodeBmp24(const PixelView& image);
void EncodeBmp24(const PixelView& image, std::vector<uint8_t>& file);  // reuses `file`

// Reads what bmp::ReadHeader accepts, no side above 30000. False, with a reason, for
// anything else, for a file whose header points outside it, and for one whose pixels the
// gate does not allow (see photo_memory.h), asked before the rows are checked or any
// pixel memory is taken.
bool DecodeBmp(std::span<const uint8_t> file, PixelImage& out, std::string& error,
               const MemoryGate& gate = {});

inline bool LooksLikeBmp(std::span<const uint8_t> file) { return bmp::LooksLikeBmp(file); }

}  // namespace prismora::photos
