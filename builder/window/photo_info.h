// The text rules of the photos page: the file info values, their centring in the group
// and the photo counter, and which entries a removal keeps.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace prismora::window {

inline constexpr std::string_view kTotalImagesPrefix = "Total Images: ";
std::string TotalImagesText(int32_t photoCount);

// The extension of a path as written, dot included (".jpg", ".JPEG"); empty when the
// file name has none. A dot in a folder name does not count.
std::string FileExtension(std::string_view path);

// A label's left edge that centres it in a group: half of each width, each half
// truncated toward zero.
int CentredLeft(int groupWidth, int labelWidth);

// The four values shown under " File info  ".
struct FileInfoValues {
  std::string format = "0", width = "0", height = "0", size = "0";
};
FileInfoValues PhotoFileInfo(std::string_view path, int width, int height, int64_t fileSize);

// The indices to delete, highest first, so that earlier indices stay valid while
// deleting; `selected` may be in any order and hold duplicates.
std::vector<int> RemovalOrder(std::vector<int> selected, int count);

}  // namespace prismora::window
