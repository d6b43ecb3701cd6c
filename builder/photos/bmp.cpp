#include "builder/photos/bmp.h"

namespace prismora::photos {
namespace {

// Larger than any picture the builder handles; keeps a hostile header from asking for
// gigabytes.
constexpr int kMaxSide = 30000;

bmp::SourceRows Rows(const PixelView& image) {
  return {image.pixels, image.width, image.height, image.stride, bmp::Channels::Bgr};
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const PixelView& image) {
  std::vector<uint8_t> file;
  bmp::Encode24(Rows(image), file);
  return file;
}

void EncodeBmp24(const PixelView& image, std::vector<uint8_t>& file) { bmp::Encode24(Rows(image), file); }

bool DecodeBmp(std::span<const uint8_t> file, PixelImage& out, std::string& error,
               const MemoryGate& gate) {
  bmp::Header header;
  if (!bmp::ReadHeader(file, kMaxSide, header, error)) return false;
  // Reading is one pass over rows the file must hold: only the memory limits the size.
  if (!MayTake(gate, int64_t(header.width) * header.height * 3)) {
    error = TooLargeError(header.width, header.height);
    return false;
  }
  if (!bmp::HasPixelRows(file, header, error)) return false;
  out.Resize(header.width, header.height);
  const PixelView v = out.View();
  bmp::CopyPixels(file, header, {v.pixels, v.width, v.height, v.stride, bmp::Channels::Bgr});
  return true;
}

}  // namespace prismora::photos
