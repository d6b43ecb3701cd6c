#include "builder/output/win32/photo_decoder.h"

#include <memory>

#include "builder/photos/win32/dib_surface.h"
#include "builder/thumbnails/picture.h"
#include "platform/win32/wic_decoder.h"

namespace prismora::output {

namespace {
// One loaded picture: from the OLE decoder when it reads the file, otherwise from the
// imaging component (PNG, TIFF, ...).
struct LoadedPicture {
  std::string path;
  thumbnails::TIPicture ole;
  HBITMAP wic = nullptr;
  int width = 0, height = 0;
  std::string error;

  ~LoadedPicture() { Forget(); }
  void Forget() {
    if (wic) DeleteObject(wic);
    wic = nullptr;
    width = height = 0;
  }
  void Load(const std::string& file) {
    Forget();
    path = file;
    ole.LoadFromFile(file);
    if (!ole.Empty() && ole.Width() > 0 && ole.Height() > 0) {
      width = ole.Width();
      height = ole.Height();
      return;
    }
    platform::WicImage image;
    if (platform::DecodeWithWic(file, image, error) && (wic = platform::MakeBitmap(image))) {
      width = image.width;
      height = image.height;
      return;
    }
    error = "Cannot load the picture " + file + " (" + error + ")";
  }
  void Draw(HDC dc, const RECT& r) const {
    if (!wic) {
      ole.Draw(dc, r);
      return;
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, wic);
    StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source, 0, 0, width, height, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
};
}  // namespace

photos::PhotoDecoder MakeBuilderPhotoDecoder(platform::FileSystem& files) {
  // Measuring and drawing come one after the other for the same file: keep the last one.
  auto cache = std::make_shared<LoadedPicture>();
  auto load = [cache](const std::string& path) -> LoadedPicture& {
    if (cache->path != path) cache->Load(path);
    return *cache;
  };
  return photos::MakePhotoDecoder(
      files, photos::DecoderFromPictureLoader(
                 [load](const std::string& path, int& w, int& h, std::string& error) {
                   LoadedPicture& p = load(path);
                   if (p.width <= 0 || p.height <= 0) {
                     error = p.error;
                     return false;
                   }
                   w = p.width;
                   h = p.height;
                   return true;
                 },
                 [load](const std::string& path, HDC dc, const RECT& r) { load(path).Draw(dc, r); }));
}

}  // namespace prismora::output
