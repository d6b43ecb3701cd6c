// The main window's preview and build commands on the real platform: the template
// preview in TFrame7, the screen saver preview, and the build with its save dialog,
// compiler and finish window.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "builder/output/build.h"
#include "builder/output/win32/finish_window.h"
#include "builder/output/win32/host_frame.h"
#include "builder/photos/photo_runs.h"
#include "common/trailer.h"
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
  std::string builderProgramPath;  // the running Fotoprism.exe
  std::string systemFolder;        // as the platform reports it
  // Removes HKCU\<key> with everything below it.
  void (*deleteUserKey)(const std::string& key) = nullptr;
};

class BuilderOutput final : public window::OutputActions {
 public:
  BuilderOutput(OutputSeams seams, TFormFinishCompile& finish) : s_(seams), finish_(finish) {}

  void TemplateChosen(window::TForm1& form) override;
  void PreviewScreenSaver(window::TForm1& form) override;
  void Build(window::TForm1& form) override;
  void StopTemplatePreview(window::TForm1& form) override;

  // The running template preview's host panel, or null.
  HWND PreviewHostPanel() const { return frame_ ? frame_->Panel1() : nullptr; }
  std::string BuilderFolder() const;

 private:
  friend class PreviewStepsOnForm;
  friend class BuildStepsOnForm;
  OutputSeams s_;
  TFormFinishCompile& finish_;
  std::unique_ptr<TFrame7> frame_;
};

}  // namespace prismora::output
