#include "builder/thumbnails/picture_preview.h"

#include <vector>

#include "builder/photos/jpeg_thumbnail.h"
#include "builder/photos/win32/picture.h"

namespace prismora::thumbnails {

// The readers the pane shows its picture with.
using photos::BgrImage;
using photos::DecodeJpegThumbnail;
using photos::FitPicture;
using photos::JpegRefusal;
using photos::PictureError;
using photos::ReadPictureFile;
using photos::Size;
using photos::TIPicture;

namespace {

bool DrawThroughWrapper(const std::vector<uint8_t>& bytes, wingui::Surface& pane) {
  TIPicture picture;
  try {
    picture.LoadFromBytes(bytes);
  } catch (const PictureError&) {
    return false;
  }
  if (picture.Empty() || picture.Width() <= 0 || picture.Height() <= 0) return false;
  const Size fitted =
      FitPicture({picture.Width(), picture.Height()}, {pane.Width(), pane.Height()});
  RECT r{(pane.Width() - fitted.width) / 2, (pane.Height() - fitted.height) / 2, 0, 0};
  r.right = r.left + fitted.width;
  r.bottom = r.top + fitted.height;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, pane.Bitmap());
  SetStretchBltMode(dc, HALFTONE);
  picture.Draw(dc, r);
  SelectObject(dc, old);
  DeleteDC(dc);
  return true;
}

}  // namespace

bool DrawPicturePreview(const std::string& path, wingui::Surface& pane) {
  if (pane.Empty()) return false;
  std::vector<uint8_t> bytes;
  if (!ReadPictureFile(path, bytes)) return false;
  JpegRefusal refusal = JpegRefusal::None;
  if (auto jpeg = DecodeJpegThumbnail(bytes, {pane.Width(), pane.Height()}, &refusal)) {
    if (jpeg->image.width <= 0 || jpeg->image.height <= 0) return false;
    const BgrImage& image = jpeg->image;
    pane.CopyRows(image.pixels.data(), image.width, image.height,
                  (pane.Width() - image.width) / 2, (pane.Height() - image.height) / 2);
    return true;
  }
  // The wrapper would decode a JPEG too large for libjpeg at full size.
  if (refusal == JpegRefusal::TooLarge) return false;
  return DrawThroughWrapper(bytes, pane);
}

}  // namespace prismora::thumbnails
