// The builder's main window made in the test process with its real output front end: a
// program folder (the temporary folder unless a test names another) holding the templates, the converter and the
// default wizard pictures, the progress and finish windows, and the stand-in compiler
// on the search path.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "builder/output/preview.h"
#include "builder/window/builder_output.h"
#include "builder/photos/win32/progress_window.h"
#include "platform/win32/process_launcher.h"
#include "tests/runtime/win_support.h"
#include "tests/window/window_test_support.h"

namespace prismora::testsupport {

// A visible top-level dialog of another process: the preview file's settings dialog.
inline HWND ForeignDialog() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND w, LPARAM p) CALLBACK -> BOOL {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (std::string(cls) != "#32770" || pid == GetCurrentProcessId() || !IsWindowVisible(w)) return TRUE;
        *reinterpret_cast<HWND*>(p) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class BuilderWindowTest : public MainWindowTest {
 protected:
  platform::Win32MessagePump pump;
  platform::Win32ProcessLauncher launcher{pump};
  photos::ProgressPictureConvertWindow progress;
  output::TFormFinishCompile finish{launcher, pump};
  std::unique_ptr<output::BuilderOutput> out;
  // Where the previews write the photo bitmaps: below the user folder.
  std::string PhotoFolder() const { return userFolder + "preview\\"; }

  void SetUp() override {
    MainWindowTest::SetUp();
    for (int n = 0; n < 6; ++n) CopyFromTree("vexo" + std::to_string(n));
    for (const char* f : {"pixolve.exe", "WizModernImage.bmp", "WizModernSmallImage.bmp"}) CopyFromTree(f);
    // The stand-in compiler, next to the builder, where the build looks first.
    CopyFileA((BinaryDir() + "tests\\output\\fake_iscc.exe").c_str(), (programFolder + "ISCC.exe").c_str(), FALSE);
  }
  void TearDown() override {
    if (out && form) out->StopTemplatePreview(*form);
    out.reset();
    SetEnvironmentVariableA("PRISMORA_FAKE_ISCC_KEEP", nullptr);
    SetEnvironmentVariableA("PRISMORA_FAKE_ISCC_SLEEP", nullptr);
    MainWindowTest::TearDown();
  }

  window::TForm1& StartBuilder() {
    Start();
    progress.Create(GetModuleHandleA(nullptr), form->Handle());
    finish.Create(form->Handle());
    out = std::make_unique<output::BuilderOutput>(
        output::OutputSeams{boxes, files, dialogs, pump, launcher, progress, {programFolder, userFolder},
                            platform::DeleteUserRegistryKey},
        finish);
    form->SetOutputActions(out.get());
    return *form;
  }
  void CopyFromTree(const std::string& name) {
    TempFolder::Write(programFolder + name, TempFolder::Read(BinaryDir() + name));
  }
  // Whether the main window still exists, after its pending messages ran.
  bool MainWindowAlive() {
    Pump();
    return IsWindow(form->Handle()) != FALSE;
  }

 private:
};

}  // namespace prismora::testsupport
