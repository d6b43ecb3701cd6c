// TForm1, the builder's main window: the shaped frame with the photo strip, the photo
// preview, the page and action buttons and the three settings pages. The project lives
// in the controls; ReadSettings and WriteSettings are the one way in and out of them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "builder/output/preview.h"
#include "builder/photos/fitting.h"
#include "builder/photos/photo_runs.h"
#include "builder/project/network_gate.h"
#include "builder/project/settings.h"
#include "common/code_page.h"
#include "builder/scenes/import_worker.h"
#include "builder/scenes/template_list.h"
#include "builder/photos/win32/picture.h"
#include "builder/thumbnails/thumbnail_list.h"
#include "builder/window/button_group.h"
#include "builder/window/form_layout.h"
#include "platform/seams.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/wingui/layout.h"
#include "platform/win32/wingui/window.h"

namespace prismora::window {

class TForm1;

// What the main window's preview and build buttons do. The template preview, the
// screen saver preview and the build are plugged in here; without them the buttons do
// nothing.
struct OutputActions {
  virtual ~OutputActions() = default;
  // The user picked a template in ComboBoxScreensaverTemplate.
  virtual void TemplateChosen(TForm1&) {}
  virtual void PreviewScreenSaver(TForm1&) {}
  virtual void Build(TForm1&) {}
  // A running template preview must give the photo preview back.
  virtual void StopTemplatePreview(TForm1&) {}
};

struct FormSeams {
  platform::MessageBoxes& boxes;
  platform::FileSystem& files;
  platform::FileDialogs& dialogs;
  platform::ColorDialogs& colors;
  platform::Shell& shell;
  std::string builderFolder;  // the program folder, only read; ends in a backslash
  // Imported templates in the user folder; without it the combo holds only the six.
  scenes::TemplateFolder* templates = nullptr;
  // Where the window writes: the auto-save and imported templates; ends in a backslash.
  std::string userFolder;
  // Holds back the computers a project named that the user did not agree to open;
  // `files` is expected to be this gate. Without it a project's network paths are opened
  // without a question.
  project::NetworkGate* network = nullptr;
  // The system code page's lead bytes, for the texts saved in project files and the
  // title checks of the output commands.
  text::LeadBytes codePage = platform::SystemLeadBytes();
};

class TAboutBox;

class TForm1 : public wingui::Window {
 public:
  explicit TForm1(FormSeams seams);
  ~TForm1() override;

  // Creates the window hidden: controls, shape, then the auto-save project is read and
  // the photos page shown.
  bool Create();
  void SetOutputActions(OutputActions* actions) { actions_ = actions; }
  void SetAboutBox(TAboutBox* about) { about_ = about; }
  // Imports then run off the window's thread, the window handling its messages and
  // showing `progress` when one takes more than a moment; without them an import runs
  // on the window's thread.
  void SetImportRunner(platform::MessagePump* pump, scenes::ImportProgress* progress) {
    importPump_ = pump;
    importProgress_ = progress;
  }
  // The program ends with this window (false for windows made by tests).
  void SetQuitOnDestroy(bool quit) { quitOnDestroy_ = quit; }

  // ---- the project
  project::ProjectSettings ReadSettings() const;
  void WriteSettings(const project::ProjectSettings& s);

  // ---- state other parts of the builder read and set
  int32_t PhotoCount() const { return photoCount_; }
  bool PreviewPhotosReady() const { return previewPhotos_.Ready(); }
  void SetPreviewPhotosReady(bool ready);
  output::PreviewPhotos& PreviewPhotosState() { return previewPhotos_; }
  // True while a preview or a build runs. They let window messages through (photo runs,
  // the compiler wait, the preview file's copy retries), so commands that would start
  // another run, change the photo list or open a dialog are refused meanwhile, and
  // closing waits until the run has ended.
  bool Busy() const { return busy_; }
  bool OldPlatform() const { return oldPlatform_; }
  photos::RandomColors& Random() { return random_; }
  thumbnails::TThumbnailList& Strip() { return strip_; }
  wingui::Surface& PreviewSurface() const;  // ImagePreview, 256 × 256
  wingui::Surface& ForSaveSurface() { return imageForSave_; }  // ImageForSave, 512 × 512
  // What ImageWizardImageFile (164 × 314) and ImageWizModernSmallImage (55 × 55) show.
  const wingui::Surface& WizardImage() const;
  const wingui::Surface& WizardSmallImage() const;
  uint32_t PreviewFillColor() const { return previewFill_; }
  uint32_t ForSaveFillColor() const { return forSaveFill_; }
  void SetForSaveFillColor(uint32_t c) { forSaveFill_ = c; }
  HWND PreviewPanel() const { return c_[PanelPreview]; }
  const wingui::Controls& Controls() const { return c_; }
  const FormSeams& Seams() const { return seams_; }
  void RepaintPreview() const;

  // ---- handlers (named as the events they answer)
  void ImagePanelPhotosClick();
  void ImagePanelInstallSettingsClick();
  void ImagePanelTitleAutorClick();
  void ImagePanelAddClick();
  void ImagePanelRemoveClick();
  void ImagePanelRemoveAllClick();
  void ImagePanelPreviewScreensaverClick();
  void ImageBuildClick();
  void ImageSmallButt_CloseClick();
  void ImageSmallButt_SvernutClick();
  void ImageVoprosPhotosClick();
  void ImageVoprosSelf_installClick();
  void ImageVoprosInformClick();
  void ImageWizardImageFileLupaClick();
  void ImageWizModernSmallImageLupaClick();
  void ThumbnailList1Click();
  bool ThumbnailList1KeyDown(WORD key);  // true: the key was used up
  void ComboBoxResizeMetodChange();
  void ComboBoxScreensaverTemplateChange();
  void CheckBoxRandomColorClick();
  void CheckBoxEnableLicenseAgreementClick();
  void ButtonBorderColorClick();
  void ButtonSelectColorClick();
  void PunltMenuNewProjectClick();
  void PunltMenuOpenClick();
  void PunltMenuSaveClick();
  void PunltMenuExitClick();
  void PunltMenuPrismorabuilderhelpClick();
  void PunltMenuAboutClick();
  void PunltMenuImportSceneClick();
  void PunltMenuRemoveImportedTemplateClick();
  void FormClose();

  // ---- photo list editing
  void AddPhotos();            // the open-picture dialog, then append
  void RemoveSelectedPhotos();
  void RemoveAllPhotos();
  // Ctrl+Up / Ctrl+Down in the strip: the current photo one place up or down.
  void MoveCurrentPhoto(int step);
  void ShowCurrentPhoto();
  // One entry, PhotoCount + 1; `path` as the photo list keeps it, shown by its real name.
  void AppendPhoto(const std::string& path);
  // Files and folders dropped onto the window (real paths, UTF-8), added like "Add photos".
  void AddDroppedPhotos(const std::vector<std::string>& dropped);
  // Files the user chose (real paths, UTF-8): each is kept by the name the project can
  // store (StoredPathOf); those that have none are named in one error box and left out.
  // Computers they are on count as agreed to. False when none was added.
  bool AddChosenPhotos(const std::vector<std::string>& utf8Paths);
  // Opens a project file as Open Project does, without the dialog (a project named on
  // the command line).
  void OpenProjectFile(const std::string& path);
  // The decoder the photo runs use, shared with the preview.
  const photos::PhotoDecoder& Decoder() { return PhotoDecoder(); }

  void ShowPage(Page page);

  // ---- templates (the six and the imported ones)
  // Lists the templates again from the builder folder, keeping the selected one.
  void RefillTemplates();
  // Selects a template by number; one that is gone selects the first, with a warning.
  void SelectTemplate(int32_t number);
  // Imports a scene file as a new template and selects it; errors are shown.
  bool ImportScene(const std::string& scenePath);

 protected:
  void OnCommand(int id, int code, HWND control) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void OnMouseMove(int x, int y) override;
  void OnControlMouseMove(int id) override;
  bool OnControlWheel(int id) override;
  bool OnClose() override;
  void OnEndSession() override;
  void OnDestroy() override;
  HBRUSH OnControlColor(HDC dc, HWND control) override;
  LRESULT OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void ApplyShape();
  void ApplyButtonLook();
  // Runs one output command with the busy state set; a command asked for while another
  // runs is dropped. A close asked for meanwhile happens when the command has ended.
  void RunOutputCommand(void (OutputActions::*command)(TForm1&));
  void ResetFileInfo();
  void SetFileInfoLabel(int id, const std::string& text);
  void UpdateTotalImages();
  void OpenHelp(std::string_view page);
  // The photo decoder of the preview, as the photo runs have it (JPEG, bitmaps and,
  // through the picture wrapper, every other format).
  const photos::PhotoDecoder& PhotoDecoder();
  // Reads a picture file into `picture`; errors of the file or the decoder are thrown.
  void LoadPicture(const std::string& path, photos::TIPicture& picture);
  // The magnifier of a wizard picture: the open dialog, then the label and the image.
  void ChooseWizardPicture(int labelId, int imageId);
  // Loads a wizard picture into its image control (stretched).
  void LoadWizardPicture(int imageId, const std::string& path);
  void LoadWizardPictures(const project::ProjectSettings& s);
  void WriteAutoSave();
  // A project just read, before it reaches the controls: device paths out, and the
  // question about the computers it names (project::ScreenProjectPaths).
  void ScreenProjectPaths(project::ProjectSettings& s);

  FormSeams seams_;
  wingui::Controls c_;
  thumbnails::TThumbnailList strip_;
  photos::PhotoDecoder decoder_;
  wingui::Surface imageForSave_;
  ButtonGroupLook look_;
  photos::RandomColors random_;
  OutputActions noActions_;
  OutputActions* actions_ = &noActions_;
  TAboutBox* about_ = nullptr;
  platform::MessagePump* importPump_ = nullptr;
  scenes::ImportProgress* importProgress_ = nullptr;
  HMENU menu_ = nullptr;
  scenes::TemplateList templates_{project::kTemplateItems, {}};

  int32_t photoCount_ = 0;
  output::PreviewPhotos previewPhotos_;
  bool busy_ = false;
  bool closeWhenIdle_ = false;
  // The template item the running command started with: a pick refused while busy puts
  // it back, so the combo, the running preview, Build and the auto-save agree.
  int templateItemOfRun_ = -1;
  bool oldPlatform_ = false;
  bool autoSaved_ = false;
  bool quitOnDestroy_ = false;
  uint32_t borderDialogColor_ = project::kBlack;   // ColorDialogBorderColor's colour
  uint32_t dialogBoxDialogColor_ = project::kMagenta;  // ColorDialog's colour
  uint32_t previewFill_ = project::kBlack;  // the canvas brushes of ImagePreview
  uint32_t forSaveFill_ = project::kBlack;  // and ImageForSave
};

// The filter of the add-photos dialog: every picture kind, then each on its own.
const char* AddPhotosFilter();

}  // namespace prismora::window
