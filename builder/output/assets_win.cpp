#include "builder/output/assets_win.h"

#include "builder/output/assets.h"
#include "builder/output/build.h"
#include "builder/photos/bmp.h"

namespace prismora::output {
namespace {

bool SaveStretched(const photos::PictureDrawer& draw, int width, int height,
                   const std::string& path, platform::FileSystem& files, std::string& error) {
  photos::DibSurface twin(width, height);
  if (!twin.Valid()) {
    error = "Out of memory for \"" + path + "\".";
    return false;
  }
  SetStretchBltMode(twin.Dc(), COLORONCOLOR);
  if (draw) draw(twin.Dc(), RECT{0, 0, width, height});
  std::vector<uint8_t> bytes = photos::EncodeBmp24(twin.Pixels());
  if (!files.ReplaceFileContents(path, bytes)) {
    error = "Cannot create file \"" + path + "\".";
    return false;
  }
  return true;
}

}  // namespace

bool SaveWizardImages(const photos::PictureDrawer& wizardImage,
                      const photos::PictureDrawer& wizardSmallImage, const std::string& folder,
                      platform::FileSystem& files, std::string& error) {
  return SaveStretched(wizardImage, kWizardImageWidth, kWizardImageHeight,
                       folder + kWizardImageBmp, files, error) &&
         SaveStretched(wizardSmallImage, kWizardSmallImageSide, kWizardSmallImageSide,
                       folder + kWizardSmallImageBmp, files, error);
}

}  // namespace prismora::output
