// The engine's side of bitmap files: the photo textures the screen saver reads and the
// pictures the offline renderer writes, as red-green-blue images. The file format itself
// is common/bmp.h's.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace prismora::image {

// Pixels in rows from the top, three bytes per pixel in the order red, green, blue.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;

  bool empty() const { return width <= 0 || height <= 0; }
  const uint8_t* pixel(int x, int y) const { return rgb.data() + (std::size_t(y) * width + x) * 3; }
};

struct BmpReadResult {
  Image image;
  std::string error;  // empty on success
  bool ok() const { return error.empty(); }
};

// Largest side accepted: a hostile header must not make us allocate gigabytes.
inline constexpr int kMaxBmpSide = 16384;

// Reads what bmp::ReadHeader accepts, no side above kMaxBmpSide.
BmpReadResult ReadBmp(std::span<const uint8_t> file);

// Writes a 24-bit bottom-up bitmap with rows padded to four bytes; nothing for an empty
// image or one whose pixels are short.
std::vector<uint8_t> WriteBmp24(const Image& image);

}  // namespace prismora::image

namespace prismora::image {

// Largest file LoadBmpFile reads; far above any photo texture.
inline constexpr std::size_t kMaxBmpFileBytes = 64u << 20;

// Reads and decodes a bitmap file; a missing, unreadable or oversized file is an error.
BmpReadResult LoadBmpFile(const std::string& path);
// Writes a 24-bit bitmap file; false when it could not be written completely.
bool SaveBmpFile(const std::string& path, const Image& image);

}  // namespace prismora::image
