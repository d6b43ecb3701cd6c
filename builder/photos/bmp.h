// Uncompressed Windows bitmap files: the 24-bit photo bitmaps the runtime loads and the
// wizard pictures, and reading such files back.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "builder/photos/photo_memory.h"
#include "builder/photos/pixels.h"

namespace prismora::photos {

// BITMAPFILEHEADER (14 bytes) followed by BITMAPINFOHEADER (40 bytes); offsets are from
// the start of the file, all values little-endian.
struct BmpLayout {
  static constexpr size_t kMagic = 0;          // "BM"
  static constexpr size_t kFileSize = 2;       // u32
  static constexpr size_t kPixelOffset = 10;   // u32, where the rows start
  static constexpr size_t kInfoSize = 14;      // u32, 40 for BITMAPINFOHEADER
  static constexpr size_t kWidth = 18;         // i32
  static constexpr size_t kHeight = 22;        // i32, positive: rows stored bottom-up
  static constexpr size_t kPlanes = 26;        // u16, 1
  static constexpr size_t kBitCount = 28;      // u16
  static constexpr size_t kCompression = 30;   // u32, 0 = BI_RGB
  static constexpr size_t kImageSize = 34;     // u32
  static constexpr size_t kXPelsPerMeter = 38; // i32
  static constexpr size_t kYPelsPerMeter = 42; // i32
  static constexpr size_t kColorsUsed = 46;    // u32
  static constexpr size_t kColorsImportant = 50;  // u32
  static constexpr size_t kHeaderBytes = 54;
};

// Rows of a 24-bit bitmap are padded to whole 32-bit words.
inline size_t BmpRowBytes(int width) { return (size_t(width) * 3 + 3) & ~size_t(3); }

// The whole file: bottom-up rows, 24 bits per pixel, no palette.
std::vector<uint8_t> EncodeBmp24(const PixelView& image);
void EncodeBmp24(const PixelView& image, std::vector<uint8_t>& file);  // reuses `file`

// Reads an uncompressed 24- or 32-bit bitmap. False, with a reason, for anything else,
// for a file whose header points outside it, and for one whose pixels the gate does not
// allow (see photo_memory.h).
bool DecodeBmp(std::span<const uint8_t> file, PixelImage& out, std::string& error,
               const MemoryGate& gate = {});

bool LooksLikeBmp(std::span<const uint8_t> file);

}  // namespace prismora::photos
