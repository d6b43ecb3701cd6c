#include "builder/output/assets_win.h"

#include <cstring>

namespace prismora::output {

bool StretchedPicture(const photos::PictureDrawer& draw, int width, int height, photos::PixelImage& out,
                      std::string& error) {
  photos::DibSurface twin(width, height);
  if (!twin.Valid()) {
    error = "Out of memory for a " + std::to_string(width) + " x " + std::to_string(height) + " picture.";
    return false;
  }
  SetStretchBltMode(twin.Dc(), COLORONCOLOR);
  if (draw) draw(twin.Dc(), RECT{0, 0, width, height});
  const photos::PixelView pixels = twin.Pixels();
  out.Resize(width, height);
  const photos::PixelView target = out.View();
  for (int y = 0; y < height; ++y) std::memcpy(target.Row(y), pixels.Row(y), size_t(width) * 3);
  return true;
}

}  // namespace prismora::output
