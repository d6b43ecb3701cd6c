#include "engine/gl/mipmaps.h"

#include <algorithm>

namespace prismora::image {
namespace {

Image Halve(const Image& from) {
  Image to;
  to.width = std::max(from.width / 2, 1);
  to.height = std::max(from.height / 2, 1);
  to.rgb.resize(std::size_t(to.width) * to.height * 3);
  for (int y = 0; y < to.height; ++y) {
    // The source rows this row covers: two, or three for the last row of an odd height.
    const int y0 = std::min(y * 2, from.height - 1);
    const int y1 = (y == to.height - 1) ? from.height - 1 : std::min(y0 + 1, from.height - 1);
    for (int x = 0; x < to.width; ++x) {
      const int x0 = std::min(x * 2, from.width - 1);
      const int x1 = (x == to.width - 1) ? from.width - 1 : std::min(x0 + 1, from.width - 1);
      uint8_t* out = to.rgb.data() + (std::size_t(y) * to.width + x) * 3;
      for (int c = 0; c < 3; ++c) {
        unsigned sum = 0, n = 0;
        for (int sy = y0; sy <= y1; ++sy)
          for (int sx = x0; sx <= x1; ++sx) {
            sum += from.pixel(sx, sy)[c];
            ++n;
          }
        out[c] = uint8_t((sum + n / 2) / n);
      }
    }
  }
  return to;
}

}  // namespace

std::vector<Image> MipLevels(const Image& base) {
  std::vector<Image> levels;
  if (base.empty() || base.rgb.size() < std::size_t(base.width) * base.height * 3) return levels;
  const Image* above = &base;
  while (above->width > 1 || above->height > 1) {
    levels.push_back(Halve(*above));
    above = &levels.back();
  }
  return levels;
}

MippedPicture ReadMipped(const std::vector<std::string>& candidates) {
  MippedPicture out;
  out.error = "no picture offered";
  for (const std::string& file : candidates) {
    BmpReadResult read = LoadBmpFile(file);
    if (!read.ok()) {
      out.error = read.error;
      continue;
    }
    out.base = std::move(read.image);
    out.levels = MipLevels(out.base);
    out.file = file;
    out.error.clear();
    break;
  }
  return out;
}

bool HasExtension(std::string_view extensions, std::string_view extension) {
  if (extension.empty()) return false;
  std::size_t at = 0;
  while ((at = extensions.find(extension, at)) != std::string_view::npos) {
    const bool startsWord = at == 0 || extensions[at - 1] == ' ';
    const std::size_t end = at + extension.size();
    const bool endsWord = end == extensions.size() || extensions[end] == ' ';
    if (startsWord && endsWord) return true;
    at = end;
  }
  return false;
}

bool AnisotropyWorthIt(std::string_view renderer) {
  for (std::string_view software : {"llvmpipe", "softpipe", "Software Rasterizer", "GDI Generic", "SwiftShader"})
    if (renderer.find(software) != std::string_view::npos) return false;
  return true;
}

}  // namespace prismora::image
