// The builder's output commands, each written once: the template preview, the screen
// saver preview (and its full-screen variant), the photo bitmaps alone, and the build.
// The main window and the command line run these same commands; what differs between
// them (where photos and pictures are drawn, how the user is asked, where messages go)
// comes through FrontEnd and the platform seams.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "builder/output/build.h"
#include "builder/output/preview.h"
#include "builder/photos/photo_runs.h"
#include "builder/project/folders.h"
#include "builder/project/settings.h"
#include "common/code_page.h"
#include "platform/process.h"
#include "platform/seams.h"

namespace prismora::output {

enum class WizardSlot { Large, Small };
enum class ProjectField { Title, Author };

struct FrontEnd {
  virtual ~FrontEnd() = default;
  // The project as it stands; each command reads it once, at its start.
  virtual project::ProjectSettings Project() = 0;
  // The two surfaces every photo of a run is fitted onto, and the run's progress display.
  virtual photos::FittingSurfaces& PhotoSurfaces() = 0;
  virtual photos::ProgressUi& Progress() = 0;
  virtual PreviewPhotos& PreviewPhotosState() = 0;
  // The picture of a wizard slot, stretched over exactly width × height pixels; false,
  // with `error` set, when there is no picture to draw.
  virtual bool WizardPicture(WizardSlot slot, int width, int height, photos::PixelImage& out,
                             std::string& error) = 0;
  // A refused field: its page is shown and it gets the focus, before the warning.
  virtual void FocusField(ProjectField field) = 0;
  // The add-photos dialog, after the "at least two photos" warning.
  virtual void AddPhotos() = 0;
  // Where the setup program goes; nothing when the user cancels.
  virtual std::optional<std::string> AskDestination() = 0;
  virtual void ShowFinished(const std::string& summary, const std::string& destination) = 0;
  // The template preview's frame in the main window.
  virtual void StopTemplatePreview() = 0;
  // Places a new black host frame; returns the window the runtime draws into.
  virtual uintptr_t CreateHostFrame() = 0;
  // Windows 95/98/Me, where the template preview is prepared but never started.
  virtual bool OldPlatform() = 0;
};

struct PipelineSeams {
  platform::FileSystem& files;
  platform::MessageBoxes& boxes;  // every warning and error, over `owner`
  platform::MessagePump& pump;
  platform::ProcessLauncher& launcher;
  photos::RandomColors& random;  // the program's one colour sequence
  const photos::PhotoDecoder& decode;
  platform::WindowHandle owner = nullptr;
  // Templates, the converter and a compiler beside the builder are read from the program
  // folder; the preview file, its photos and the build files go into the user folder.
  project::BuilderFolders folders;
  void (*deleteUserKey)(const std::string& key) = nullptr;  // below HKEY_CURRENT_USER
  char decimalSeparator = '.';
  // Where installed compilers are recorded; null: only the one next to the builder counts.
  platform::ReadRegistryString readRegistryString = nullptr;
  // The system code page's lead bytes: the title is checked and the record's texts are
  // cut in its characters.
  text::LeadBytes codePage;
};

enum class BuildResult { Done, Refused, Failed, Cancelled };
// Prepared: every preview file is ready but nothing was started (the old platform).
enum class PreviewResult { Refused, Failed, Prepared, Started, StartFailed };

class OutputPipeline {
 public:
  OutputPipeline(FrontEnd& front, PipelineSeams seams) : front_(front), s_(std::move(seams)) {}

  PreviewResult TemplatePreview();
  PreviewResult ScreenSaverPreview();
  // The screen saver preview without its settings dialog, straight to full screen.
  PreviewResult ScreenSaverShow();
  // The photo bitmaps alone, written as preview0.bmp ... into `folder`.
  bool WritePhotoBitmaps(const project::ProjectSettings& s, const std::string& folder);
  BuildResult Build();

 private:
  // In the main window's frame, through the preview file's settings dialog, or full screen.
  enum class PreviewKind { InFrame, SettingsDialog, FullScreen };
  PreviewResult Preview(PreviewKind kind);
  bool PreparePreviewFiles(const project::ProjectSettings& s, uint32_t photosStamp,
                           std::string& previewPath);
  bool CheckProject(const project::ProjectSettings& s);
  bool MakeScreenSaver(const project::ProjectSettings& s, const BuildNames& names);
  bool WriteScript(const project::ProjectSettings& s, const BuildNames& names);
  bool ExportPhotos(const project::ProjectSettings& s, const BuildNames& names);
  bool SaveWizardImages(const BuildNames& names);
  bool SaveWizardImage(WizardSlot slot, int width, int height, const std::string& path);
  bool StartCompiler(const BuildNames& names);
  void DeleteBuildFiles(const BuildNames& names);
  bool CopySetupProgram(const BuildNames& names, const std::string& destination);
  void ShowSummary(const BuildNames& names, const std::string& destination);

  void WarnTooFewPhotosThenAdd();
  bool Refuse(ProjectField field, const std::string& text);
  void Warn(const std::string& text);
  bool Fail(const std::string& text);

  FrontEnd& front_;
  PipelineSeams s_;
};

}  // namespace prismora::output
