#include "builder/photos/bmp.h"

#include <cstring>

namespace prismora::photos {
namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
uint16_t Get16(std::span<const uint8_t> b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }
uint32_t Get32(std::span<const uint8_t> b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}

// Larger than any picture the builder handles; keeps a hostile header from asking for
// gigabytes.
constexpr int64_t kMaxSide = 30000;

}  // namespace

bool LooksLikeBmp(std::span<const uint8_t> file) {
  return file.size() >= BmpLayout::kHeaderBytes && file[0] == 'B' && file[1] == 'M';
}

std::vector<uint8_t> EncodeBmp24(const PixelView& image) {
  std::vector<uint8_t> file;
  EncodeBmp24(image, file);
  return file;
}

void EncodeBmp24(const PixelView& image, std::vector<uint8_t>& file) {
  using L = BmpLayout;
  const size_t rowBytes = BmpRowBytes(image.width);
  const size_t pixelBytes = rowBytes * size_t(image.height);
  file.assign(L::kHeaderBytes + pixelBytes, 0);
  file[L::kMagic] = 'B';
  file[L::kMagic + 1] = 'M';
  Put32(file, L::kFileSize, uint32_t(file.size()));
  Put32(file, L::kPixelOffset, uint32_t(L::kHeaderBytes));
  Put32(file, L::kInfoSize, 40);
  Put32(file, L::kWidth, uint32_t(image.width));
  Put32(file, L::kHeight, uint32_t(image.height));
  Put16(file, L::kPlanes, 1);
  Put16(file, L::kBitCount, 24);
  Put32(file, L::kCompression, 0);
  Put32(file, L::kImageSize, uint32_t(pixelBytes));
  Put32(file, L::kXPelsPerMeter, 2835);  // 72 dpi
  Put32(file, L::kYPelsPerMeter, 2835);
  for (int y = 0; y < image.height; ++y) {
    uint8_t* out = file.data() + L::kHeaderBytes + size_t(image.height - 1 - y) * rowBytes;
    std::memcpy(out, image.Row(y), size_t(image.width) * 3);
  }
}

bool DecodeBmp(std::span<const uint8_t> file, PixelImage& out, std::string& error,
               const MemoryGate& gate) {
  using L = BmpLayout;
  if (!LooksLikeBmp(file)) {
    error = "not a Windows bitmap";
    return false;
  }
  const uint32_t infoSize = Get32(file, L::kInfoSize);
  const int32_t width = int32_t(Get32(file, L::kWidth));
  const int32_t rawHeight = int32_t(Get32(file, L::kHeight));
  const uint16_t bits = Get16(file, L::kBitCount);
  const uint32_t compression = Get32(file, L::kCompression);
  const uint32_t pixelOffset = Get32(file, L::kPixelOffset);
  if (infoSize < 40 || Get16(file, L::kPlanes) != 1) {
    error = "unsupported bitmap header";
    return false;
  }
  // BI_BITFIELDS with the standard masks is how 32-bit bitmaps are often written.
  if ((bits != 24 && bits != 32) || !(compression == 0 || (compression == 3 && bits == 32))) {
    error = "only uncompressed 24- and 32-bit bitmaps are read";
    return false;
  }
  const bool bottomUp = rawHeight > 0;
  const int64_t height = bottomUp ? int64_t(rawHeight) : -int64_t(rawHeight);
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
    error = "bitmap size out of range";
    return false;
  }
  // Reading is one pass over rows the file must hold: only the memory limits the size.
  if (!MayTake(gate, int64_t(width) * height * 3)) {
    error = TooLargeError(width, height);
    return false;
  }
  const size_t bytesPerPixel = bits / 8;
  const size_t rowBytes = (size_t(width) * bytesPerPixel + 3) & ~size_t(3);
  if (pixelOffset > file.size() || (file.size() - pixelOffset) / rowBytes < size_t(height)) {
    error = "bitmap file is shorter than its header says";
    return false;
  }
  out.Resize(width, int(height));
  PixelView v = out.View();
  for (int y = 0; y < v.height; ++y) {
    size_t storedRow = bottomUp ? size_t(v.height - 1 - y) : size_t(y);
    const uint8_t* in = file.data() + pixelOffset + storedRow * rowBytes;
    uint8_t* o = v.Row(y);
    for (int x = 0; x < v.width; ++x, in += bytesPerPixel, o += 3) {
      o[0] = in[0];
      o[1] = in[1];
      o[2] = in[2];
    }
  }
  return true;
}

}  // namespace prismora::photos
