#include "runtime/core/photo_paths.h"

namespace prismora::runtime {

PhotoSource PhotoSourceFor(std::string_view systemFolder, const trailer::Trailer& settings) {
  std::string folder(systemFolder);
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  if (settings.previewFlag()) return {folder + "preview\\", "preview"};
  std::string title = settings.title();
  return {folder + title + "\\", title};
}

std::string PhotoPath(const PhotoSource& source, int index) {
  return source.folder + source.stem + std::to_string(index) + ".bmp";
}

TextureChoice ChooseTexture(std::string_view systemFolder, const trailer::Trailer& settings,
                            Random& random) {
  PhotoSource source = PhotoSourceFor(systemFolder, settings);
  // photoCount() is at least one, also for the codes 1..223 that would give none.
  int index = random.Next() % settings.photoCount();
  return {PhotoPath(source, index), PhotoPath(source, 0)};
}

}  // namespace prismora::runtime
