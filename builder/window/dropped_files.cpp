#include "builder/window/dropped_files.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace prismora::window {

namespace {
std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return out;
}
}  // namespace

bool IsPictureFileName(std::string_view name) {
  static constexpr std::array<std::string_view, 16> kExtensions = {
      ".jpg", ".jpeg", ".jpe", ".jfif", ".bmp", ".gif", ".png", ".tif", ".tiff", ".webp",
      ".heic", ".heif", ".avif", ".ico", ".wmf", ".emf"};
  std::size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return false;
  std::string ext = Lower(name.substr(dot));
  return std::find(kExtensions.begin(), kExtensions.end(), ext) != kExtensions.end();
}

std::vector<std::string> PhotosFromDrop(const std::vector<std::string>& dropped, const DropSource& source) {
  std::vector<std::string> photos;
  for (const std::string& path : dropped) {
    if (!source.isFolder(path)) {
      if (IsPictureFileName(path)) photos.push_back(path);
      continue;
    }
    std::vector<std::string> names;
    for (const std::string& name : source.filesIn(path))
      if (IsPictureFileName(name)) names.push_back(name);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
    std::string folder = path;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    for (const std::string& name : names) photos.push_back(folder + name);
  }
  return photos;
}

std::string UnnamablePhotosText(const std::vector<std::string>& paths) {
  const bool one = paths.size() == 1;
  std::string names;
  for (const std::string& p : paths) names += "\r\n    " + p;
  return std::string(one ? "This photo was not added:" : "These photos were not added:") + names +
         "\r\n\r\n" + (one ? "Its name has" : "Their names have") +
         " characters that this computer's language setting for non-Unicode programs cannot "
         "hold, and the drive keeps no short (8.3) name for " + (one ? "it" : "them") +
         ", so a project could not store " + (one ? "it" : "them") +
         ". Rename the file or its folder, or turn on short names for the drive.";
}

}  // namespace prismora::window
