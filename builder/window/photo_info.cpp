#include "builder/window/photo_info.h"

#include <algorithm>
#include <functional>

namespace prismora::window {

std::string TotalImagesText(int32_t photoCount) {
  return std::string(kTotalImagesPrefix) + std::to_string(photoCount);
}

std::string FileExtension(std::string_view path) {
  const size_t dot = path.find_last_of(".\\/:");
  if (dot == std::string_view::npos || path[dot] != '.') return {};
  return std::string(path.substr(dot));
}

int CentredLeft(int groupWidth, int labelWidth) { return groupWidth / 2 - labelWidth / 2; }

FileInfoValues PhotoFileInfo(std::string_view path, int width, int height, int64_t fileSize) {
  return {FileExtension(path), std::to_string(width), std::to_string(height), std::to_string(fileSize)};
}

std::vector<int> RemovalOrder(std::vector<int> selected, int count) {
  std::erase_if(selected, [count](int i) { return i < 0 || i >= count; });
  std::sort(selected.begin(), selected.end(), std::greater<int>());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
  return selected;
}

}  // namespace prismora::window
