#include "builder/output/win32/photo_decoder.h"

#include <memory>

#include "builder/photos/win32/dib_surface.h"
#include "builder/thumbnails/picture.h"

namespace prismora::output {

photos::PhotoDecoder MakeBuilderPhotoDecoder(platform::FileSystem& files) {
  // Measuring and drawing come one after the other for the same file: keep the last one.
  struct Cache {
    std::string path;
    thumbnails::TIPicture picture;
  };
  auto cache = std::make_shared<Cache>();
  auto load = [cache](const std::string& path) -> thumbnails::TIPicture& {
    if (cache->path != path) {
      cache->picture.LoadFromFile(path);
      cache->path = path;
    }
    return cache->picture;
  };
  return photos::MakePhotoDecoder(
      files, photos::DecoderFromPictureLoader(
                 [load](const std::string& path, int& w, int& h, std::string& error) {
                   thumbnails::TIPicture& p = load(path);
                   if (p.Empty() || p.Width() <= 0 || p.Height() <= 0) {
                     error = "Cannot load the picture " + path;
                     return false;
                   }
                   w = p.Width();
                   h = p.Height();
                   return true;
                 },
                 [load](const std::string& path, HDC dc, const RECT& r) { load(path).Draw(dc, r); }));
}

}  // namespace prismora::output
