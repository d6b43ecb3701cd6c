// Uncompressed Windows bitmap files: the 24-bit photo bitmaps the builder and the
// converter write and the screen saver loads, the pictures the offline renderer writes,
// and photos handed to the builder as bitmaps. Platform-free and container-free: pixels
// come and go as rows someone else owns, in either channel order, and every read is
// checked against the file's size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace prismora::bmp {

// BITMAPFILEHEADER (14 bytes) followed by BITMAPINFOHEADER (40 bytes); offsets are from
// the start of the file, all values little-endian. Later info header versions extend
// the 40 bytes and keep these fields.
struct Layout {
  static constexpr std::size_t kMagic = 0;             // "BM"
  static constexpr std::size_t kFileSize = 2;          // u32
  static constexpr std::size_t kPixelOffset = 10;      // u32, where the rows start
  static constexpr std::size_t kInfoSize = 14;         // u32, 40 for BITMAPINFOHEADER
  static constexpr std::size_t kWidth = 18;            // i32
  static constexpr std::size_t kHeight = 22;           // i32, positive: rows stored bottom-up
  static constexpr std::size_t kPlanes = 26;           // u16, 1
  static constexpr std::size_t kBitCount = 28;         // u16
  static constexpr std::size_t kCompression = 30;      // u32
  static constexpr std::size_t kImageSize = 34;        // u32, often zero when uncompressed
  static constexpr std::size_t kXPelsPerMeter = 38;    // i32
  static constexpr std::size_t kYPelsPerMeter = 42;    // i32
  static constexpr std::size_t kColorsUsed = 46;       // u32
  static constexpr std::size_t kColorsImportant = 50;  // u32
  static constexpr std::size_t kFileHeaderBytes = 14;
  static constexpr std::size_t kInfoHeaderBytes = 40;
  static constexpr std::size_t kHeaderBytes = kFileHeaderBytes + kInfoHeaderBytes;
};

// Rows are padded to whole 32-bit words.
inline std::size_t RowBytes(int width, int bytesPerPixel = 3) {
  return (std::size_t(width) * std::size_t(bytesPerPixel) + 3) & ~std::size_t(3);
}

// Three bytes a pixel; the order names the first byte's channel. Bitmap files store
// blue first, so Bgr rows are copied as they are.
enum class Channels { Rgb, Bgr };

// Rows from the top, `stride` bytes apart.
struct SourceRows {
  const uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
  Channels order = Channels::Bgr;
};
struct TargetRows {
  uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
  Channels order = Channels::Bgr;
};

// The whole file into `file`, reusing its memory: bottom-up rows, 24 bits a pixel, no
// palette, 72 dots an inch.
void Encode24(const SourceRows& image, std::vector<uint8_t>& file);

// What the headers say about the pixels.
struct Header {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bytesPerPixel = 0;
  std::size_t pixelOffset = 0;
  std::size_t stride = 0;  // bytes from one stored row to the next
};

// "BM" and room for both headers: the file claims to be a bitmap.
bool LooksLikeBmp(std::span<const uint8_t> file);

// Reads and checks the headers of an uncompressed 24- or 32-bit bitmap (32-bit ones
// also with the bit-field masks they are often written with), rows bottom-up or
// top-down, neither side above `maxSide`. False, with a reason, for anything else.
// The pixel rows are not looked at: a caller can weigh the declared size first.
bool ReadHeader(std::span<const uint8_t> file, int maxSide, Header& header, std::string& error);

// Whether the rows the header points at lie inside the file. The last row need not
// carry its padding; some writers stop right after the pixels.
bool HasPixelRows(std::span<const uint8_t> file, const Header& header, std::string& error);

// Copies the rows of a file both checks above accepted into `target`, which has the
// header's size.
void CopyPixels(std::span<const uint8_t> file, const Header& header, const TargetRows& target);

}  // namespace prismora::bmp
