// Fotoprism, the builder: creates its windows in their fixed order (the main window,
// the progress window, the about window, the finish window and the preview screen
// window; all but the main window hidden) and runs the message loop until the main
// window closes.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "builder/output/cli.h"
#include "builder/window/builder_output.h"
#include "builder/output/win32/cli_run.h"
#include "builder/output/win32/finish_window.h"
#include "builder/photos/win32/progress_window.h"
#include "builder/project/win32/folders_win.h"
#include "builder/scenes/template_cli.h"
#include "builder/scenes/win32/template_folder_win.h"
#include "builder/thumbnails/picture_preview.h"
#include "builder/window/about_box.h"
#include "builder/project/network_gate.h"
#include "builder/window/main_form.h"
#include "platform/win32/process_launcher.h"
#include "platform/win32/win32_seams.h"
#include "platform/win32/wingui/dialogs.h"
#include "platform/win32/wingui/window.h"

using namespace prismora;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  OleInitialize(nullptr);  // the picture decoder is an OLE object
  // Builds and photo preparation from the command line show no window at all.
  std::vector<std::string> args = output::SplitCommandLine(GetCommandLineA());
  if (!args.empty()) args.erase(args.begin());  // the program itself
  if (scenes::IsTemplateRequest(args)) {
    const int code = scenes::RunTemplateImportCli(args);
    OleUninitialize();
    return code;
  }
  const output::CliRequest request = output::ParseCliArguments(args);
  if (request.mode != output::CliMode::Gui) {
    const int code = output::RunCliRequest(request);
    OleUninitialize();
    return code;
  }
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  platform::Win32MessageBoxes boxes;
  platform::Win32FileSystem disk;
  // Every file the window, the strip and the runs open goes through the gate, which keeps
  // the computers a project named closed until the user agrees.
  project::NetworkGate files(disk);
  photos::SetPictureFileSystem(&files);
  wingui::CommonDialogs dialogs(thumbnails::DrawPicturePreview);
  wingui::ShellOpener shell;
  // An error nobody handled ends its handler; the user sees its text and goes on.
  wingui::SetErrorReporter([&boxes](HWND owner, const std::string& text) {
    boxes.ShowUnicode(owner, text, "Error", platform::BoxIcon::Error, platform::BoxButtons::Ok);
  });

  // The builder runs as the user who started it: it reads its program folder and writes
  // into the user's own folder only.
  const project::BuilderFolders folders = project::CurrentBuilderFolders();
  if (folders.user.empty()) {
    boxes.Show(nullptr, project::kNoUserFolder, "Error", platform::BoxIcon::Error, platform::BoxButtons::Ok);
    OleUninitialize();
    return 1;
  }
  scenes::Win32TemplateFolder templateFolder;
  window::TForm1 form({boxes, files, dialogs, dialogs, shell, folders.program, &templateFolder, folders.user, &files});
  if (!form.Create()) return 1;
  form.SetQuitOnDestroy(true);
  photos::ProgressPictureConvertWindow progress;
  progress.Create(instance, form.Handle());
  window::TAboutBox about(shell);
  about.Create(form.Handle());
  form.SetAboutBox(&about);
  platform::Win32MessagePump pump;
  // The photos' progress window, captioned for the import while one runs.
  struct SceneImportProgress final : scenes::ImportProgress {
    photos::ProgressPictureConvertWindow& window;
    explicit SceneImportProgress(photos::ProgressPictureConvertWindow& w) : window(w) {}
    void Show(std::string_view text) override {
      SetWindowTextA(window.Handle(), std::string(text).c_str());
      window.SetRange(0, 0);
      window.SetLabel(std::string(text));
      window.Show();
    }
    void Hide() override {
      window.Hide();
      SetWindowTextA(window.Handle(), photos::kProgressCaption);
    }
  } importProgress(progress);
  form.SetImportRunner(&pump, &importProgress);
  platform::Win32ProcessLauncher launcher(pump);
  output::TFormFinishCompile finish(launcher, pump);
  finish.Create(form.Handle());
  window::TFormPreviewScreen previewScreen;
  previewScreen.Create();

  output::BuilderOutput outputActions(
      {boxes, files, dialogs, pump, launcher, progress, folders, platform::DeleteUserRegistryKey,
       platform::ReadRegistryText},
      finish);
  form.SetOutputActions(&outputActions);
  if (!request.project.empty()) form.OpenProjectFile(request.project);

  form.Show(show);
  const int code = wingui::RunMessageLoop();
  OleUninitialize();
  return code;
}
