// vexo: the screen saver program. The command line picks the settings dialog, the full
// screen run, the preview inside another window or the password change.
#include <windows.h>

#include "engine/gl/gl_device.h"
#include "platform/win32/process_launcher.h"
#include "platform/win32/win32_seams.h"
#include "platform/win32/windows_family.h"
#include "platform/win32/wingui/dialogs.h"
#include "runtime/core/command_line.h"
#include "runtime/win/config_dialog.h"
#include "runtime/win/saver.h"
#include "runtime/win/settings_store.h"

using namespace prismora;
using namespace prismora::runtime;

namespace {

HWND AsWindow(uint64_t handle) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle)); }

// Why the screen saver could not draw here: a context on a hidden window is tried once.
std::string DrawingProblem() {
  std::string why;
  if (gl::GlDevice::Offscreen(1, 1, &why)) return {};
  return why.empty() ? "no OpenGL context" : why;
}

int Configure(HWND owner, platform::MessageBoxes& boxes) {
  platform::Win32MessagePump pump;
  platform::Win32ProcessLauncher launcher(pump);
  wingui::CommonDialogs dialogs;
  wingui::ShellOpener shell;
  ConfigSeams seams{dialogs, shell, launcher, OwnProgramPath(), DrawingProblem(), &boxes};
  RunConfigDialog(owner, seams);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  platform::Win32MessageBoxes boxes;
  CommandLine line = ScanCommandLine(arguments ? arguments : "");
  switch (line.mode) {
    case RunMode::ConfigureUnowned: return Configure(nullptr, boxes);
    case RunMode::Configure: {
      HWND owner = AsWindow(line.handle);
      return Configure(line.handle != 0 && IsWindow(owner) ? owner : GetForegroundWindow(), boxes);
    }
    case RunMode::FullScreen: return RunFullScreen(boxes);
    case RunMode::Preview: {
      HWND parent = AsWindow(line.handle);
      if (line.handle == 0 || !IsWindow(parent)) return kExitRefused;
      return RunPreview(parent, boxes);
    }
    case RunMode::ChangePassword:
      if (!platform::IsWindows9xFamily()) return kExitRefused;
      return ChangePassword(GetForegroundWindow());
    case RunMode::Invalid: break;
  }
  return kExitRefused;
}
