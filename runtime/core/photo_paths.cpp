#include "runtime/core/photo_paths.h"

namespace prismora::runtime {

namespace {
std::string WithSeparator(std::string_view folder) {
  std::string f(folder);
  if (f.empty() || f.back() != '\\') f += '\\';
  return f;
}
}  // namespace

PhotoSource PhotoSourceFor(PhotoFolders folders, const trailer::Trailer& settings) {
  if (settings.previewFlag()) return {WithSeparator(folders.ownFolder) + "preview\\", "preview"};
  std::string title = settings.title();
  return {WithSeparator(folders.system) + title + "\\", title};
}

std::string PhotoPath(const PhotoSource& source, int index) {
  return source.folder + source.stem + std::to_string(index) + ".bmp";
}

TextureChoice ChooseTexture(const PhotoSource& source, const trailer::Trailer& settings, Random& random) {
  // photoCount() is at least one, also for the codes 1..223 that would give none.
  int index = random.Next() % settings.photoCount();
  return {PhotoPath(source, index), PhotoPath(source, 0)};
}

std::string_view FolderOfProgram(std::string_view programPath) {
  const std::size_t cut = programPath.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string_view{} : programPath.substr(0, cut);
}

}  // namespace prismora::runtime
