// The project in the main window's controls: ReadSettings gathers it from them,
// WriteSettings puts one into them. They are the only way in and out.
#include "builder/window/main_form.h"

namespace prismora::window {

using wingui::Panel;

project::ProjectSettings TForm1::ReadSettings() const {
  project::ProjectSettings s;
  s.Title = c_.Get<wingui::Edit>(EditTitle).Text();
  s.Author = c_.Get<wingui::Edit>(EditAutor).Text();
  s.Email = c_.Get<wingui::Edit>(EditEmail).Text();
  s.Website = c_.Get<wingui::Edit>(EditWebsite).Text();
  s.LicenseEnabled = c_.Get<wingui::CheckBox>(CheckBoxEnableLicenseAgreement).Checked();
  s.LicenseText = c_.Get<wingui::Memo>(MemoLicenseAgreement).Text();
  s.WizardImageFile = c_.Get<wingui::Label>(LabelWizModernImagebmp).Text();
  s.WizardSmallImageFile = c_.Get<wingui::Label>(LabelWizModernSmallImagebmp).Text();
  s.DialogBoxColor = c_.Get<Panel>(PanelColorDialogBox).Color();
  s.TemplateIndex = templates_.NumberOfItem(c_.Get<wingui::ComboBox>(ComboBoxScreensaverTemplate).ItemIndex());
  s.BorderColor = c_.Get<Panel>(PanelBorderColor).Color();
  s.ResizeMethod = c_.Get<wingui::ComboBox>(ComboBoxResizeMetod).ItemIndex();
  s.RandomColor = c_.Get<wingui::CheckBox>(CheckBoxRandomColor).Checked();
  s.EraseBackground = c_.Get<wingui::CheckBox>(CheckBoxErBack).Checked();
  s.PhotoChangeSeconds = project::ParsePhotoChangeText(c_.Get<wingui::Edit>(EditPhotoChange).Text());
  s.Photos = strip_.Filenames();
  return s;
}

// In the order a project file is read: texts, licence, colours, wizard pictures, the
// photo list, then the indices (setting them runs no change handler).
void TForm1::WriteSettings(const project::ProjectSettings& s) {
  c_.Get<wingui::Edit>(EditTitle).SetText(s.Title);
  c_.Get<wingui::Edit>(EditAutor).SetText(s.Author);
  c_.Get<wingui::Edit>(EditEmail).SetText(s.Email);
  c_.Get<wingui::Edit>(EditWebsite).SetText(s.Website);
  c_.Get<wingui::CheckBox>(CheckBoxEnableLicenseAgreement).SetChecked(s.LicenseEnabled);
  c_.Get<wingui::Memo>(MemoLicenseAgreement).SetEnabled(s.LicenseEnabled);
  c_.Get<wingui::Memo>(MemoLicenseAgreement).SetText(s.LicenseText);
  c_.Get<Panel>(PanelColorDialogBox).SetColor(s.DialogBoxColor);
  c_.Get<Panel>(PanelBorderColor).SetColor(s.BorderColor);
  borderDialogColor_ = s.BorderColor;
  LoadWizardPictures(s);
  RemoveAllPhotos();
  // One repaint for the whole list: hundreds of photos appear at once.
  strip_.BeginUpdate();
  for (const std::string& path : s.Photos) AppendPhoto(path);
  strip_.EndUpdate();
  SelectTemplate(s.TemplateIndex);
  c_.Get<wingui::ComboBox>(ComboBoxResizeMetod).SetItemIndex(s.ResizeMethod);
  c_.Get<wingui::CheckBox>(CheckBoxRandomColor).SetChecked(s.RandomColor);
  c_.Get<wingui::CheckBox>(CheckBoxErBack).SetChecked(s.EraseBackground);
  c_.Get<wingui::Edit>(EditPhotoChange).SetText(project::PhotoChangeText(s.PhotoChangeSeconds));
}

}  // namespace prismora::window
