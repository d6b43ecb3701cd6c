#include "common/bmp.h"

#include <cstring>

#include "common/bytes.h"

namespace prismora::bmp {
namespace {

constexpr uint32_t kCompressionNone = 0;   // BI_RGB
constexpr uint32_t kCompressionMasks = 3;  // BI_BITFIELDS
constexpr int32_t kDotsPerMeter = 2835;    // 72 dots an inch

// Copies one row of three-byte pixels (`stepIn` bytes apart in the source) and puts
// blue first or last as the two orders ask.
void CopyRow(const uint8_t* in, std::size_t stepIn, bool swap, uint8_t* out, int width) {
  if (!swap && stepIn == 3) {
    std::memcpy(out, in, std::size_t(width) * 3);
    return;
  }
  for (int x = 0; x < width; ++x, in += stepIn, out += 3) {
    out[0] = swap ? in[2] : in[0];
    out[1] = in[1];
    out[2] = swap ? in[0] : in[2];
  }
}

}  // namespace

void Encode24(const SourceRows& image, std::vector<uint8_t>& file) {
  using namespace bytes;
  const std::size_t rowBytes = RowBytes(image.width);
  const std::size_t pixelBytes = rowBytes * std::size_t(image.height);
  file.clear();
  file.reserve(Layout::kHeaderBytes + pixelBytes);
  appendU8(file, 'B');
  appendU8(file, 'M');
  appendU32(file, uint32_t(Layout::kHeaderBytes + pixelBytes));
  appendU32(file, 0);  // two reserved words
  appendU32(file, uint32_t(Layout::kHeaderBytes));
  appendU32(file, uint32_t(Layout::kInfoHeaderBytes));
  appendI32(file, image.width);
  appendI32(file, image.height);  // positive: bottom-up
  appendU16(file, 1);             // planes
  appendU16(file, 24);
  appendU32(file, kCompressionNone);
  appendU32(file, uint32_t(pixelBytes));
  appendI32(file, kDotsPerMeter);
  appendI32(file, kDotsPerMeter);
  appendU32(file, 0);  // colours used
  appendU32(file, 0);  // colours important
  file.resize(Layout::kHeaderBytes + pixelBytes, 0);
  const bool swap = image.order != Channels::Bgr;
  for (int y = 0; y < image.height; ++y) {
    uint8_t* out = file.data() + Layout::kHeaderBytes + std::size_t(image.height - 1 - y) * rowBytes;
    CopyRow(image.pixels + y * image.stride, 3, swap, out, image.width);
  }
}

bool LooksLikeBmp(std::span<const uint8_t> file) {
  return file.size() >= Layout::kHeaderBytes && file[0] == 'B' && file[1] == 'M';
}

bool ReadHeader(std::span<const uint8_t> file, int maxSide, Header& header, std::string& error) {
  using namespace bytes;
  using L = Layout;
  if (file.size() < L::kHeaderBytes) {
    error = "file too short for a bitmap header";
    return false;
  }
  if (!LooksLikeBmp(file)) {
    error = "not a bitmap file (no BM signature)";
    return false;
  }
  const uint32_t infoSize = readU32(file, L::kInfoSize);
  if (infoSize < L::kInfoHeaderBytes || !fits(file.size(), L::kFileHeaderBytes, infoSize)) {
    error = "bitmap info header size " + std::to_string(infoSize) + " is not supported";
    return false;
  }
  const int32_t width = readI32(file, L::kWidth);
  const int32_t rawHeight = readI32(file, L::kHeight);
  const uint16_t planes = uint16_t(readU32(file, L::kPlanes) & 0xFFFF);
  const uint16_t bits = uint16_t(readU32(file, L::kBitCount) & 0xFFFF);
  const uint32_t compression = readU32(file, L::kCompression);
  if (planes != 1) {
    error = "bitmap has " + std::to_string(planes) + " planes";
    return false;
  }
  if (bits != 24 && bits != 32) {
    error = "only 24- and 32-bit bitmaps are read, not " + std::to_string(bits) + "-bit";
    return false;
  }
  // Bit-field masks are how 32-bit bitmaps are often written; the pixels stay in order.
  if (compression != kCompressionNone && !(compression == kCompressionMasks && bits == 32)) {
    error = "compressed bitmaps are not read";
    return false;
  }
  // INT32_MIN has no positive counterpart; reject before negating.
  if (rawHeight == INT32_MIN) {
    error = "bitmap height out of range";
    return false;
  }
  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;
  if (width <= 0 || height <= 0 || width > maxSide || height > maxSide) {
    error = "bitmap size " + std::to_string(width) + "x" + std::to_string(height) + " out of range";
    return false;
  }
  const std::size_t pixelOffset = readU32(file, L::kPixelOffset);
  if (pixelOffset < L::kFileHeaderBytes + infoSize) {
    error = "pixel data overlaps the headers";
    return false;
  }
  header.width = width;
  header.height = height;
  header.topDown = topDown;
  header.bytesPerPixel = bits / 8;
  header.pixelOffset = pixelOffset;
  header.stride = RowBytes(width, header.bytesPerPixel);
  return true;
}

bool HasPixelRows(std::span<const uint8_t> file, const Header& header, std::string& error) {
  const std::size_t needed = header.stride * std::size_t(header.height - 1) +
                             std::size_t(header.width) * std::size_t(header.bytesPerPixel);
  if (bytes::fits(file.size(), header.pixelOffset, needed)) return true;
  error = "bitmap pixel data is truncated";
  return false;
}

void CopyPixels(std::span<const uint8_t> file, const Header& header, const TargetRows& target) {
  const bool swap = target.order != Channels::Bgr;
  for (int y = 0; y < header.height; ++y) {
    const int storedRow = header.topDown ? y : header.height - 1 - y;
    const uint8_t* in = file.data() + header.pixelOffset + header.stride * std::size_t(storedRow);
    CopyRow(in, std::size_t(header.bytesPerPixel), swap, target.pixels + y * target.stride,
            header.width);
  }
}

}  // namespace prismora::bmp
