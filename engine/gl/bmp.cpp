#include "engine/gl/bmp.h"

#include <fstream>

#include "common/bytes.h"

namespace prismora::image {
namespace {

// BITMAPFILEHEADER, 14 bytes.
namespace file_header {
constexpr std::size_t Type = 0;        // "BM"
constexpr std::size_t Size = 2;
constexpr std::size_t PixelOffset = 10;
constexpr std::size_t Length = 14;
}  // namespace file_header

// BITMAPINFOHEADER, 40 bytes; later header versions extend it and keep these fields.
namespace info_header {
constexpr std::size_t Size = 0;
constexpr std::size_t Width = 4;
constexpr std::size_t Height = 8;
constexpr std::size_t Planes = 12;
constexpr std::size_t BitCount = 14;
constexpr std::size_t Compression = 16;
constexpr std::size_t ImageSize = 20;
constexpr std::size_t Length = 40;
}  // namespace info_header

constexpr uint32_t kCompressionNone = 0;

BmpReadResult Fail(std::string why) {
  BmpReadResult r;
  r.error = std::move(why);
  return r;
}

}  // namespace

BmpReadResult ReadBmp(std::span<const uint8_t> file) {
  using namespace bytes;
  if (file.size() < file_header::Length + info_header::Length) return Fail("file too short for a bitmap header");
  if (file[0] != 'B' || file[1] != 'M') return Fail("not a bitmap file (no BM signature)");
  const auto info = file.subspan(file_header::Length);
  const uint32_t headerSize = readU32(info, info_header::Size);
  if (headerSize < info_header::Length || !fits(info.size(), 0, headerSize))
    return Fail("bitmap info header size " + std::to_string(headerSize) + " is not supported");
  const int32_t width = readI32(info, info_header::Width);
  const int32_t rawHeight = readI32(info, info_header::Height);
  const uint16_t planes = uint16_t(readU32(info, info_header::Planes) & 0xFFFF);
  const uint16_t bits = uint16_t(readU32(info, info_header::BitCount) & 0xFFFF);
  const uint32_t compression = readU32(info, info_header::Compression);
  if (planes != 1) return Fail("bitmap has " + std::to_string(planes) + " planes");
  if (bits != 24 && bits != 32) return Fail("only 24- and 32-bit bitmaps are read, not " + std::to_string(bits) + "-bit");
  if (compression != kCompressionNone) return Fail("compressed bitmaps are not read");
  // INT32_MIN has no positive counterpart; reject before negating.
  if (rawHeight == INT32_MIN) return Fail("bitmap height out of range");
  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;
  if (width <= 0 || height <= 0 || width > kMaxBmpSide || height > kMaxBmpSide)
    return Fail("bitmap size " + std::to_string(width) + "x" + std::to_string(height) + " out of range");

  const std::size_t bytesPerPixel = bits / 8;
  const std::size_t stride = (std::size_t(width) * bytesPerPixel + 3) & ~std::size_t(3);
  const std::size_t pixelOffset = readU32(file, file_header::PixelOffset);
  if (pixelOffset < file_header::Length + headerSize) return Fail("pixel data overlaps the headers");
  // The last row need not carry its padding; some writers stop right after the pixels.
  const std::size_t needed = stride * std::size_t(height - 1) + std::size_t(width) * bytesPerPixel;
  if (!fits(file.size(), pixelOffset, needed)) return Fail("bitmap pixel data is truncated");
  (void)info_header::ImageSize;  // often zero for uncompressed files; the size comes from the dimensions

  BmpReadResult result;
  Image& img = result.image;
  img.width = width;
  img.height = height;
  img.rgb.resize(std::size_t(width) * height * 3);
  for (int32_t y = 0; y < height; ++y) {
    const int32_t fileRow = topDown ? y : height - 1 - y;
    const uint8_t* src = file.data() + pixelOffset + stride * std::size_t(fileRow);
    uint8_t* dst = img.rgb.data() + std::size_t(y) * width * 3;
    for (int32_t x = 0; x < width; ++x, src += bytesPerPixel, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return result;
}

std::vector<uint8_t> WriteBmp24(const Image& image) {
  using namespace bytes;
  if (image.empty() || image.rgb.size() < std::size_t(image.width) * image.height * 3) return {};
  const std::size_t stride = (std::size_t(image.width) * 3 + 3) & ~std::size_t(3);
  const std::size_t pixelOffset = file_header::Length + info_header::Length;
  std::vector<uint8_t> out(pixelOffset + stride * image.height, 0);
  std::span<uint8_t> rec(out);
  writeU8(rec, 0, 'B');
  writeU8(rec, 1, 'M');
  writeU32(rec, file_header::Size, uint32_t(out.size()));
  writeU32(rec, file_header::PixelOffset, uint32_t(pixelOffset));
  auto info = rec.subspan(file_header::Length);
  writeU32(info, info_header::Size, info_header::Length);
  writeI32(info, info_header::Width, image.width);
  writeI32(info, info_header::Height, image.height);
  writeU32(info, info_header::Planes, 1 | (24u << 16));  // planes, then bit count
  writeU32(info, info_header::Compression, kCompressionNone);
  writeU32(info, info_header::ImageSize, uint32_t(stride * image.height));
  for (int y = 0; y < image.height; ++y) {
    uint8_t* dst = out.data() + pixelOffset + stride * std::size_t(image.height - 1 - y);
    const uint8_t* src = image.rgb.data() + std::size_t(y) * image.width * 3;
    for (int x = 0; x < image.width; ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return out;
}

BmpReadResult LoadBmpFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return Fail("cannot open " + path);
  const std::streamoff size = in.tellg();
  if (size < 0 || std::size_t(size) > kMaxBmpFileBytes) return Fail("bitmap file too large: " + path);
  std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return Fail("cannot read " + path);
  BmpReadResult r = ReadBmp(bytes);
  if (!r.ok()) r.error = path + ": " + r.error;
  return r;
}

bool SaveBmpFile(const std::string& path, const Image& image) {
  const std::vector<uint8_t> bytes = WriteBmp24(image);
  if (bytes.empty()) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out.flush());
}

}  // namespace prismora::image
