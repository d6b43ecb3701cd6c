#include "engine/gl/bmp.h"

#include <fstream>

#include "common/bmp.h"

namespace prismora::image {
namespace {

BmpReadResult Fail(std::string why) {
  BmpReadResult r;
  r.error = std::move(why);
  return r;
}

}  // namespace

BmpReadResult ReadBmp(std::span<const uint8_t> file) {
  bmp::Header header;
  std::string error;
  if (!bmp::ReadHeader(file, kMaxBmpSide, header, error) || !bmp::HasPixelRows(file, header, error))
    return Fail(std::move(error));
  BmpReadResult result;
  Image& img = result.image;
  img.width = header.width;
  img.height = header.height;
  img.rgb.resize(std::size_t(header.width) * header.height * 3);
  bmp::CopyPixels(file, header,
                  {img.rgb.data(), img.width, img.height, std::ptrdiff_t(img.width) * 3, bmp::Channels::Rgb});
  return result;
}

std::vector<uint8_t> WriteBmp24(const Image& image) {
  if (image.empty() || image.rgb.size() < std::size_t(image.width) * image.height * 3) return {};
  std::vector<uint8_t> file;
  bmp::Encode24({image.rgb.data(), image.width, image.height, std::ptrdiff_t(image.width) * 3, bmp::Channels::Rgb},
                file);
  return file;
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
