// The main window's front end of the output commands: its image surfaces, its progress
// window, its message boxes and dialogs, the template preview's host frame TFrame7 and
// the finish window. The commands themselves are OutputPipeline's.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "builder/output/pipeline.h"
#include "builder/output/win32/finish_window.h"
#include "builder/output/win32/host_frame.h"
#include "builder/photos/photo_runs.h"
#include "builder/window/main_form.h"
#include "platform/process.h"
#include "platform/seams.h"

namespace prismora::output {

struct OutputSeams {
  platform::MessageBoxes& boxes;
  platform::FileSystem& files;
  platform::FileDialogs& dialogs;
  platform::MessagePump& pump;
  platform::ProcessLauncher& launcher;
  photos::ProgressUi& progress;
  project::BuilderFolders folders;  // read from the program folder, write into the user folder
  // Removes HKCU\<key> with everything below it.
  void (*deleteUserKey)(const std::string& key) = nullptr;
  // Where installed Inno Setup compilers are recorded.
  platform::ReadRegistryString readRegistryString = nullptr;
};

// The window's answers to the pipeline. It lives as long as the builder: the preview
// frame outlives the command that made it, and the save dialog keeps the last name.
class FormFrontEnd final : public FrontEnd, private photos::FittingSurfaces {
 public:
  FormFrontEnd(OutputSeams& seams, TFormFinishCompile& finish) : s_(seams), finish_(finish) {}
  // The window the next command runs for.
  void Attach(window::TForm1& form) { form_ = &form; }
  HWND PreviewHostPanel() const { return frame_ ? frame_->Panel1() : nullptr; }

  project::ProjectSettings Project() override { return form_->ReadSettings(); }
  photos::FittingSurfaces& PhotoSurfaces() override { return *this; }
  photos::ProgressUi& Progress() override { return s_.progress; }
  PreviewPhotos& PreviewPhotosState() override { return form_->PreviewPhotosState(); }
  bool WizardPicture(WizardSlot slot, int width, int height, photos::PixelImage& out,
                     std::string& error) override;
  void FocusField(ProjectField field) override;
  void AddPhotos() override { form_->AddPhotos(); }
  std::optional<std::string> AskDestination() override;
  void ShowFinished(const std::string& summary, const std::string& destination) override {
    finish_.ShowSummary(summary, destination);
  }
  void StopTemplatePreview() override;
  uintptr_t CreateHostFrame() override;
  bool OldPlatform() override { return form_->OldPlatform(); }

 private:
  // ImagePreview and ImageForSave, as the photo runs see them.
  photos::PixelView Preview() override { return View(form_->PreviewSurface()); }
  photos::PixelView ForSave() override { return View(form_->ForSaveSurface()); }
  void Drawn() override { form_->RepaintPreview(); }
  static photos::PixelView View(wingui::Surface& s);

  OutputSeams& s_;
  TFormFinishCompile& finish_;
  window::TForm1* form_ = nullptr;
  std::unique_ptr<TFrame7> frame_;
  std::string lastDestination_;
};

class BuilderOutput final : public window::OutputActions {
 public:
  BuilderOutput(OutputSeams seams, TFormFinishCompile& finish) : s_(std::move(seams)), front_(s_, finish) {}

  void TemplateChosen(window::TForm1& form) override { PipelineFor(form).TemplatePreview(); }
  void PreviewScreenSaver(window::TForm1& form) override { PipelineFor(form).ScreenSaverPreview(); }
  void Build(window::TForm1& form) override { PipelineFor(form).Build(); }
  void StopTemplatePreview(window::TForm1& form) override;

  // The running template preview's host panel, or null.
  HWND PreviewHostPanel() const { return front_.PreviewHostPanel(); }

 private:
  OutputPipeline PipelineFor(window::TForm1& form);

  OutputSeams s_;
  FormFrontEnd front_;
};

}  // namespace prismora::output
