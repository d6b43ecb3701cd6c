// Files and folders dropped onto the photo strip become photos: a file as it is, a
// folder as its picture files in name order (not its subfolders).
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace prismora::window {

// Picture kinds the builder reads, by extension (lower case, with the dot).
bool IsPictureFileName(std::string_view name);

struct DropSource {
  std::function<bool(const std::string& path)> isFolder;
  // The plain file names (no folders) directly inside a folder.
  std::function<std::vector<std::string>(const std::string& folder)> filesIn;
};

// The photo paths to append, in drop order: a dropped picture file as it is (other
// files are passed over), a dropped folder as its pictures sorted by name without regard
// to case.
std::vector<std::string> PhotosFromDrop(const std::vector<std::string>& dropped, const DropSource& source);

// The error for chosen or dropped photos that cannot be kept: their names have
// characters the system code page cannot hold, which the project file needs, and their
// volume made no 8.3 alias to store instead. Each is named as given (UTF-8).
std::string UnnamablePhotosText(const std::vector<std::string>& paths);

}  // namespace prismora::window
