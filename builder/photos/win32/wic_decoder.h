// Decoding through the platform's imaging component (WIC): PNG, TIFF and whatever else
// the system has a codec for. Used where the OLE picture decoder gives up
// (platform_picture.h).
#pragma once
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace prismora::photos {

struct WicImage {
  int width = 0, height = 0;
  std::vector<uint8_t> bgr;  // 24-bit rows, top down, packed (3 × width bytes a row)
};

// Decodes the first frame of the file. False (with `error` set) when no codec reads it.
bool DecodeWithWic(const std::string& path, WicImage& out, std::string& error);

// The same from bytes in memory.
bool DecodeWithWic(std::span<const uint8_t> bytes, WicImage& out, std::string& error);

// A 24-bit DIB section holding the image, for drawing with GDI; null on failure.
HBITMAP MakeBitmap(const WicImage& image);

}  // namespace prismora::photos
