// The two wizard pictures of the install page: read from their files, drawn stretched
// into their image controls, and chosen anew through the magnifier buttons.
#include "builder/window/main_form.h"

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace prismora::window {

void TForm1::LoadWizardPictures(const project::ProjectSettings& s) {
  c_.Get<wingui::Label>(LabelWizModernImagebmp).SetText(s.WizardImageFile);
  c_.Get<wingui::Label>(LabelWizModernSmallImagebmp).SetText(s.WizardSmallImageFile);
  // A picture that cannot be loaded keeps the previous one, without a message; the small
  // one is tried only after the large one loaded.
  try {
    LoadWizardPicture(ImageWizardImageFile, s.WizardImageFile);
    LoadWizardPicture(ImageWizModernSmallImage, s.WizardSmallImageFile);
  } catch (const std::exception&) {
  }
}

void TForm1::LoadPicture(const std::string& path, photos::TIPicture& picture) {
  std::vector<uint8_t> bytes;
  if (!seams_.files.ReadWholeFile(path, bytes)) throw std::runtime_error("Cannot open file \"" + path + "\".");
  picture.LoadFromStream(&bytes);
}

const wingui::Surface& TForm1::WizardImage() const {
  return c_.Get<wingui::Image>(ImageWizardImageFile).Picture();
}
const wingui::Surface& TForm1::WizardSmallImage() const {
  return c_.Get<wingui::Image>(ImageWizModernSmallImage).Picture();
}

void TForm1::LoadWizardPicture(int imageId, const std::string& path) {
  photos::TIPicture picture;
  // A bare name (the default pictures) is looked for in the current folder, then beside
  // the builder, as the command line does.
  if (path.find('\\') == std::string::npos && !seams_.files.FileExists(path) &&
      seams_.files.FileExists(seams_.builderFolder + path))
    LoadPicture(seams_.builderFolder + path, picture);
  else
    LoadPicture(path, picture);
  wingui::Image image = c_.Get<wingui::Image>(imageId);
  RECT r;
  GetClientRect(image.Handle(), &r);
  wingui::Surface& s = image.Picture();
  s.Resize(r.right, r.bottom);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, s.Bitmap());
  SetStretchBltMode(dc, COLORONCOLOR);  // rows and columns dropped or repeated, never blended
  picture.DrawExact(dc, r);
  SelectObject(dc, old);
  DeleteDC(dc);
  image.Invalidate();
}

void TForm1::ImageWizardImageFileLupaClick() { ChooseWizardPicture(LabelWizModernImagebmp, ImageWizardImageFile); }

void TForm1::ImageWizModernSmallImageLupaClick() {
  ChooseWizardPicture(LabelWizModernSmallImagebmp, ImageWizModernSmallImage);
}

void TForm1::ChooseWizardPicture(int labelId, int imageId) {
  platform::FileDialogOptions o;
  o.filter = AddPhotosFilter();
  o.mustExist = true;
  o.picturePreview = true;
  o.initialName = c_.Get<wingui::Label>(labelId).Text();
  auto chosen = seams_.dialogs.Open(Handle(), o);
  if (chosen.empty()) return;
  c_.Get<wingui::Label>(labelId).SetText(chosen.front());
  LoadWizardPicture(imageId, chosen.front());  // errors reach the error box
}

}  // namespace prismora::window
