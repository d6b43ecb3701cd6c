#include "builder/thumbnails/picture_preview.h"

#include <algorithm>
#include <vector>

#include "builder/thumbnails/jpeg_thumbnail.h"
#include "builder/thumbnails/picture.h"

namespace prismora::thumbnails {
namespace {

void CopyCentred(const BgrImage& image, wingui::Surface& pane) {
  const int left = (pane.Width() - image.width) / 2, top = (pane.Height() - image.height) / 2;
  const size_t row = size_t(image.width) * 3;
  for (int y = 0; y < image.height; ++y) {
    std::copy_n(&image.pixels[size_t(y) * row], row,
                pane.Bits() + std::ptrdiff_t(top + y) * pane.Stride() + left * 3);
  }
}

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
  if (auto jpeg = DecodeJpegThumbnail(bytes, {pane.Width(), pane.Height()})) {
    if (jpeg->image.width <= 0 || jpeg->image.height <= 0) return false;
    GdiFlush();  // drawing the platform queued on the pane lands before our pixels
    CopyCentred(jpeg->image, pane);
    return true;
  }
  return DrawThroughWrapper(bytes, pane);
}

}  // namespace prismora::thumbnails
