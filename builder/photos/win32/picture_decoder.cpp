#include "builder/photos/win32/picture_decoder.h"

#include <memory>

#include "builder/photos/win32/dib_surface.h"
#include "builder/photos/win32/picture.h"

namespace prismora::photos {

PhotoDecoder MakePlatformPhotoDecoder(platform::FileSystem& files) {
  // Loading gives the size; the drawing that follows uses what was loaded.
  auto picture = std::make_shared<photos::TIPicture>();
  return MakePhotoDecoder(
      files, DecoderFromPictureLoader(
                 [picture](std::span<const uint8_t> file, int& w, int& h, std::string& error) {
                   picture->Clear();
                   try {
                     picture->LoadFromBytes(file);
                   } catch (const photos::PictureError& e) {
                     picture->Clear();
                     error = e.what();
                     return false;
                   }
                   w = picture->Width();
                   h = picture->Height();
                   if (!picture->Empty() && w > 0 && h > 0) return true;
                   error = "The picture has no size";
                   return false;
                 },
                 [picture](HDC dc, const RECT& r) {
                   // Exactly into the rectangle: the wrapper's Draw leaves its first
                   // row empty, which would show as a line above the photo.
                   picture->DrawExact(dc, r);
                 }));
}

}  // namespace prismora::photos
