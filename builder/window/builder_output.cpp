#include "builder/window/builder_output.h"

#include <windows.h>

#include "builder/output/assets_win.h"
#include "builder/window/form_layout.h"

namespace prismora::output {

photos::PixelView FormFrontEnd::View(wingui::Surface& s) {
  GdiFlush();  // GDI drawing must land before the pixels are touched
  return {s.Bits(), s.Width(), s.Height(), s.Stride()};
}

bool FormFrontEnd::WizardPicture(WizardSlot slot, int width, int height, photos::PixelImage& out,
                                 std::string& error) {
  // What the image control shows is what the installer gets, not the file its label names.
  const bool large = slot == WizardSlot::Large;
  const wingui::Surface& shown = large ? form_->WizardImage() : form_->WizardSmallImage();
  if (shown.Empty()) {
    const int label = large ? window::LabelWizModernImagebmp : window::LabelWizModernSmallImagebmp;
    error = "The wizard picture " + form_->Controls().Get<wingui::Label>(label).Text() + " could not be loaded.";
    return false;
  }
  return StretchedPicture(photos::DrawBitmapStretched(shown.Bitmap()), width, height, out, error);
}

void FormFrontEnd::FocusField(ProjectField field) {
  form_->ImagePanelTitleAutorClick();
  SetFocus(form_->Controls()[field == ProjectField::Title ? window::EditTitle : window::EditAutor]);
}

std::optional<std::string> FormFrontEnd::AskDestination() {
  platform::FileDialogOptions options;
  options.filter = "*.exe|*.exe";
  options.defaultExt = "exe";
  options.initialName = lastDestination_;
  std::optional<std::string> chosen = s_.dialogs.Save(form_->Handle(), options);
  if (chosen) lastDestination_ = *chosen;
  return chosen;
}

void FormFrontEnd::StopTemplatePreview() {
  frame_.reset();  // the runtime's window goes with it, and the runtime ends itself
  if (form_) form_->RepaintPreview();
}

uintptr_t FormFrontEnd::CreateHostFrame() {
  frame_ = std::make_unique<TFrame7>(form_->PreviewPanel(), form_->OldPlatform());
  return reinterpret_cast<uintptr_t>(frame_->Panel1());
}

OutputPipeline BuilderOutput::PipelineFor(window::TForm1& form) {
  front_.Attach(form);
  char separator[8] = ".";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
  return OutputPipeline(front_, {s_.files, s_.boxes, s_.pump, s_.launcher, form.Random(), form.Decoder(),
                                 form.Handle(), s_.folders, s_.deleteUserKey,
                                 separator[0], s_.readRegistryString, form.Seams().codePage});
}

void BuilderOutput::StopTemplatePreview(window::TForm1& form) {
  front_.Attach(form);
  front_.StopTemplatePreview();
}

}  // namespace prismora::output
