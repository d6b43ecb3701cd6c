// Fotoprism, the builder: creates its windows in their fixed order (the main window,
// the progress window, the about window, the finish window and the preview screen
// window; all but the main window hidden) and runs the message loop until the main
// window closes.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "builder/photos/win32/progress_window.h"
#include "builder/window/about_box.h"
#include "builder/window/main_form.h"
#include "platform/win32/win32_seams.h"
#include "platform/win32/wingui/dialogs.h"
#include "platform/win32/wingui/window.h"

using namespace prismora;

namespace {

// The finish window of the build; the build shows it with its summary. Until the build
// is connected it is an empty hidden window, made here so the start-up order holds.
class TFormFinishCompile : public wingui::Window {
 public:
  bool Create(HWND owner) {
    wingui::WindowStyle style;
    style.className = "TFormFinishCompile";
    style.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    style.owner = owner;
    style.clientWidth = 400;
    style.clientHeight = 200;
    return Window::Create(style, "Prismora Builder");
  }
};

// The add-photos dialog's preview pane: the picture fitted into the pane, centred.
bool PreviewPicture(const std::string& path, wingui::Surface& pane) {
  thumbnails::TIPicture picture;
  picture.LoadFromFile(path);
  if (picture.Empty() || picture.Width() <= 0 || picture.Height() <= 0) return false;
  const double scale = std::min(1.0, std::min(double(pane.Width()) / picture.Width(),
                                              double(pane.Height()) / picture.Height()));
  const int w = int(picture.Width() * scale), h = int(picture.Height() * scale);
  RECT r{(pane.Width() - w) / 2, (pane.Height() - h) / 2, 0, 0};
  r.right = r.left + w;
  r.bottom = r.top + h;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, pane.Bitmap());
  SetStretchBltMode(dc, HALFTONE);
  picture.Draw(dc, r);
  SelectObject(dc, old);
  DeleteDC(dc);
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  OleInitialize(nullptr);  // the picture decoder is an OLE object
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  platform::Win32MessageBoxes boxes;
  platform::Win32FileSystem files;
  wingui::CommonDialogs dialogs(PreviewPicture);
  wingui::ShellOpener shell;
  // An error nobody handled ends its handler; the user sees its text and goes on.
  wingui::SetErrorReporter([&boxes](HWND owner, const std::string& text) {
    boxes.Show(owner, text, "Error", platform::BoxIcon::Error, platform::BoxButtons::Ok);
  });

  window::TForm1 form({boxes, files, dialogs, dialogs, shell, platform::ProgramFolder()});
  if (!form.Create()) return 1;
  form.SetQuitOnDestroy(true);
  photos::ProgressPictureConvertWindow progress;
  progress.Create(instance, form.Handle());
  window::TAboutBox about(shell);
  about.Create(form.Handle());
  form.SetAboutBox(&about);
  TFormFinishCompile finish;
  finish.Create(form.Handle());
  window::TFormPreviewScreen previewScreen;
  previewScreen.Create();

  form.Show(show);
  const int code = wingui::RunMessageLoop();
  OleUninitialize();
  return code;
}
