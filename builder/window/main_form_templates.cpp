// The template combo beyond the six: imported templates found in the user folder,
// importing a scene as a new one, removing one, and falling back when a project names a
// template that is gone.
#include "builder/window/main_form.h"

#include "builder/scenes/import_worker.h"
#include "builder/scenes/template_import.h"

namespace prismora::window {

namespace {

std::string FolderWithoutSeparator(std::string folder) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

}  // namespace

void TForm1::RefillTemplates() {
  const auto combo = c_.Get<wingui::ComboBox>(ComboBoxScreensaverTemplate);
  const int32_t current = templates_.NumberOfItem(combo.ItemIndex());
  std::vector<scenes::ImportedTemplate> imported;
  if (seams_.templates)
    imported = scenes::FindImportedTemplates({seams_.files, *seams_.templates},
                                             FolderWithoutSeparator(seams_.userFolder));
  templates_ = scenes::TemplateList(project::kTemplateItems, imported);
  combo.SetItems(templates_.Items());
  combo.SetItemIndex(templates_.ItemOfNumber(current));
}

void TForm1::SelectTemplate(int32_t number) {
  const auto combo = c_.Get<wingui::ComboBox>(ComboBoxScreensaverTemplate);
  const int item = templates_.ItemOfNumber(number);
  if (number >= 0 && item < 0) {
    seams_.boxes.Show(Handle(), scenes::MissingTemplateWarning(number), "Warning!",
                      platform::BoxIcon::Warning);
    combo.SetItemIndex(0);
    return;
  }
  combo.SetItemIndex(item);
}

bool TForm1::ImportScene(const std::string& scenePath) {
  if (!seams_.templates || busy_) return false;
  const auto import = [&] {
    return scenes::ImportTemplate({seams_.files, *seams_.templates},
                                  {FolderWithoutSeparator(seams_.builderFolder), FolderWithoutSeparator(seams_.userFolder)},
                                  scenePath, {});
  };
  scenes::ImportOutcome made;
  {
    // Busy while the import runs and the window handles messages: commands that would
    // start another run are refused, and a close waits until the import has ended.
    busy_ = true;
    struct EndOfImport {
      TForm1& form;
      ~EndOfImport() {
        form.busy_ = false;
        if (!form.closeWhenIdle_) return;
        form.closeWhenIdle_ = false;
        PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
      }
    } end{*this};
    made = importPump_ && importProgress_ ? scenes::ImportWhileResponsive(import, *importPump_, *importProgress_)
                                          : import();
  }
  if (!made.ok()) {
    seams_.boxes.Show(Handle(), made.error, "Error", platform::BoxIcon::Error);
    return false;
  }
  RefillTemplates();
  c_.Get<wingui::ComboBox>(ComboBoxScreensaverTemplate).SetItemIndex(templates_.ItemOfNumber(made.number));
  // As if the user had picked it: the preview shows the new scene at once.
  ComboBoxScreensaverTemplateChange();
  return true;
}

void TForm1::PunltMenuImportSceneClick() {
  platform::FileDialogOptions options;
  options.filter = "DirectX scenes (*.x)|*.x|All files (*.*)|*.*";
  options.defaultExt = "x";
  options.mustExist = true;
  const std::vector<std::string> chosen = seams_.dialogs.Open(Handle(), options);
  if (!chosen.empty()) ImportScene(chosen.front());
}

void TForm1::PunltMenuRemoveImportedTemplateClick() {
  const auto combo = c_.Get<wingui::ComboBox>(ComboBoxScreensaverTemplate);
  const int item = combo.ItemIndex();
  const int32_t number = templates_.NumberOfItem(item);
  if (!templates_.IsImported(number)) {
    seams_.boxes.Show(Handle(),
                      "Only imported templates can be removed; choose one in the template list first.",
                      "Warning!", platform::BoxIcon::Warning);
    return;
  }
  if (seams_.boxes.Show(Handle(), scenes::RemoveTemplateQuestion(templates_.Items()[std::size_t(item)]),
                        "Confirm", platform::BoxIcon::Question,
                        platform::BoxButtons::YesNo) != platform::BoxAnswer::Yes)
    return;
  // The running preview is a copy, but it shows the scene that is going away.
  actions_->StopTemplatePreview(*this);
  seams_.files.RemoveFile(seams_.userFolder + "vexo" + std::to_string(number));
  RefillTemplates();
  combo.SetItemIndex(0);
}

}  // namespace prismora::window
