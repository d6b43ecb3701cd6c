#include "builder/photos/gif_frames.h"

namespace prismora::photos::gif {

namespace {

// A graphic control extension (0x21 0xF9, block size 4, four data bytes, terminator)
// immediately followed by an image descriptor (0x2C).
bool IsFrameSignature(std::span<const uint8_t> d, std::size_t p) {
  return d[p] == 0x21 && p + 9 < d.size() && d[p + 1] == 0xF9 && d[p + 2] == 4 &&
         d[p + 8] == 0x2C;
}

uint16_t ReadU16(std::span<const uint8_t> d, std::size_t p) {
  if (p + 1 >= d.size()) return 0;
  return uint16_t(d[p] | d[p + 1] << 8);
}

}  // namespace

bool IsGifFile(std::span<const uint8_t> data) {
  return data.size() > 4 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F' && data[3] == '8';
}

std::vector<std::size_t> FrameSignatures(std::span<const uint8_t> data) {
  std::vector<std::size_t> found;
  for (std::size_t p = 0; p < data.size(); ++p)
    if (IsFrameSignature(data, p)) found.push_back(p);
  return found;
}

int FrameCount(std::span<const uint8_t> data) {
  if (!IsGifFile(data)) return -1;
  return int(FrameSignatures(data).size());
}

std::optional<FrameTiming> FrameTime(std::span<const uint8_t> data, int n) {
  if (!IsGifFile(data) || n < 1) return std::nullopt;
  std::vector<std::size_t> frames = FrameSignatures(data);
  if (std::size_t(n) > frames.size()) return std::nullopt;
  std::size_t p = frames[std::size_t(n) - 1];
  uint8_t packed = data[p + 3];
  FrameTiming t;
  t.transparent = (packed & 1) != 0;
  t.disposal = (packed >> 2) & 7;  // the disposal field: bits 2..4 counted from 0
  t.delay = ReadU16(data, p + 4);
  return t;
}

FrameSelection SelectFrame(std::span<const uint8_t> data, int frame) {
  FrameSelection out;
  if (!IsGifFile(data) || FrameCount(data) <= 0) {
    out.bytes.assign(data.begin(), data.end());
    return out;
  }
  out.screenWidth = ReadU16(data, 6);
  out.screenHeight = ReadU16(data, 8);
  out.bytes.reserve(data.size());
  // Everything before the first frame is header and global colour table. From there on
  // the frames before the chosen one are skipped, the chosen one and all after it kept.
  int counter = 1;
  bool skip = false;
  for (std::size_t p = 0; p < data.size(); ++p) {
    if (IsFrameSignature(data, p)) {
      if (counter == frame) {
        std::size_t descriptor = p + 9;  // after the 0x2C separator
        out.left = ReadU16(data, descriptor);
        out.top = ReadU16(data, descriptor + 2);
        out.width = ReadU16(data, descriptor + 4);
        out.height = ReadU16(data, descriptor + 6);
      }
      ++counter;
      skip = frame >= counter;
    }
    if (!skip) out.bytes.push_back(data[p]);
  }
  return out;
}

}  // namespace prismora::photos::gif
