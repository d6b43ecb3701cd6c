#include "builder/photos/win32/picture_decoder.h"

#include <memory>

#include "builder/photos/win32/dib_surface.h"
#include "builder/thumbnails/picture.h"

namespace prismora::photos {

namespace {
struct LoadedPicture {
  std::string path;
  thumbnails::TIPicture picture;
  std::string error;

  void Load(platform::FileSystem& files, const std::string& file) {
    path = file;
    error.clear();
    picture.Clear();
    std::vector<uint8_t> bytes;
    if (!files.ReadWholeFile(file, bytes)) {
      error = "Cannot open file \"" + file + "\".";
      return;
    }
    try {
      picture.LoadFromStream(&bytes);
    } catch (const thumbnails::PictureError& e) {
      picture.Clear();
      error = e.what();
    }
  }
};
}  // namespace

PhotoDecoder MakePlatformPhotoDecoder(platform::FileSystem& files) {
  // Measuring reads the file; the drawing that follows for the same file uses what
  // the measuring loaded.
  auto last = std::make_shared<LoadedPicture>();
  return MakePhotoDecoder(
      files, DecoderFromPictureLoader(
                 [&files, last](const std::string& path, int& w, int& h, std::string& error) {
                   last->Load(files, path);
                   w = last->picture.Width();
                   h = last->picture.Height();
                   if (!last->picture.Empty() && w > 0 && h > 0) return true;
                   error = last->error.empty() ? "The picture has no size" : last->error;
                   return false;
                 },
                 [&files, last](const std::string& path, HDC dc, const RECT& r) {
                   if (last->path != path) last->Load(files, path);
                   // Exactly into the rectangle: the wrapper's Draw leaves its first
                   // row empty, which would show as a line above the photo.
                   last->picture.DrawExact(dc, r);
                 }));
}

}  // namespace prismora::photos
