// Plain procedural code around the screen saver conventions: one run state per
// process, a window procedure that hands each message to a named handler, set-up when the
// window is made, one animation tick per timer message.
#include "runtime/win/saver.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/windows_family.h"
#include "runtime/core/animation.h"
#include "runtime/core/command_line.h"
#include "runtime/core/frame_log.h"
#include "runtime/core/random.h"
#include "runtime/core/window_rules.h"
#include "runtime/win/monitors.h"
#include "runtime/win/settings_store.h"
#include "runtime/win/stage.h"

namespace prismora::runtime {
namespace {

constexpr UINT_PTR kTickTimer = 1;
// Without any OpenGL the timer only watches whether the window is still wanted.
constexpr UINT kBlankWatchMs = 250;

using ImmAssociateContextFn = HANDLE(WINAPI*)(HWND, HANDLE);
using VerifyPasswordFn = BOOL(WINAPI*)(HWND);

struct RunState {
  platform::MessageBoxes* boxes = nullptr;
  HWND window = nullptr;
  bool childPreview = false;  // input does not close a child preview
  POINT mouseStart{};
  bool closing = false;
  trailer::Trailer settings;
  Random random;
  Animation animation;
  std::unique_ptr<Stage> stage;  // null until set-up succeeded
  // No OpenGL context could be made: the window stays black and closes on input as usual.
  bool blank = false;
  // Full screen over several monitors: one view of the scene per monitor, relative to
  // the window. Empty: the whole window is one view.
  std::vector<gl::PixelRect> viewports;
  UINT_PTR timer = 0;
  // Input method editor, detached while the window exists.
  HMODULE imm = nullptr;
  ImmAssociateContextFn immAssociate = nullptr;
  HANDLE savedImeContext = nullptr;
  // Windows 95 family only.
  bool checkPassword = false;
  HMODULE passwordCpl = nullptr;
  VerifyPasswordFn verifyPassword = nullptr;
  UINT autoPlayMessage = 0;
  // PRISMORA_FRAME_LOG: where the tick times go when the window does (benchmarks only).
  std::string frameLogPath;
  FrameLog frameLog;
};

RunState run;

// ---- Windows 95 family ------------------------------------------------------------

void LoadPasswordCheck() {
  if (!platform::IsWindows9xFamily()) return;
  HKEY key = nullptr;
  DWORD use = 0, size = sizeof use;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    char text[16] = {};
    DWORD type = 0;
    size = sizeof text - 1;
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
        ERROR_SUCCESS)
      use = type == REG_DWORD ? *reinterpret_cast<DWORD*>(text) : DWORD(atoi(text));
    RegCloseKey(key);
  }
  if (use == 0) return;
  run.passwordCpl = LoadLibraryA("PASSWORD.CPL");
  if (run.passwordCpl)
    run.verifyPassword = reinterpret_cast<VerifyPasswordFn>(GetProcAddress(run.passwordCpl, "VerifyScreenSavePwd"));
  run.checkPassword = run.verifyPassword != nullptr;
  if (run.checkPassword) SystemParametersInfoA(SPI_SCREENSAVERRUNNING, TRUE, nullptr, 0);
}

// A refused password keeps the screen saver running.
bool PasswordAllowsClose() {
  if (!run.checkPassword) return true;
  ShowCursor(TRUE);
  bool ok = run.verifyPassword(run.window) != FALSE;
  ShowCursor(FALSE);
  if (!ok) GetCursorPos(&run.mouseStart);
  return ok;
}

// ---- the benchmarks' frame log ----------------------------------------------------

double NowMs() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / double(f.QuadPart);
}

// Milliseconds since this process was created.
double MsSinceStart() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimeAsFileTime(&now);
  auto ticks = [](FILETIME f) { return int64_t(uint64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime); };
  return double(ticks(now) - ticks(created)) / 1e4;
}

void OpenFrameLog() {
  char path[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA("PRISMORA_FRAME_LOG", path, MAX_PATH);
  if (n > 0 && n < MAX_PATH) run.frameLogPath = path;
}

void WriteFrameLog() {
  if (run.frameLogPath.empty()) return;
  const std::string text = run.frameLog.Text();
  HANDLE f = CreateFileA(run.frameLogPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(f, text.data(), DWORD(text.size()), &written, nullptr);
  CloseHandle(f);
}

// ---- closing ------------------------------------------------------------------------

void CloseByInput() {
  if (run.childPreview || run.closing) return;
  if (!PasswordAllowsClose()) return;
  run.closing = true;
  PostMessageA(run.window, WM_CLOSE, 0, 0);
}

// ---- handlers -----------------------------------------------------------------------

void DetachIme(HWND window) {
  run.imm = LoadLibraryA("IMM32.DLL");
  if (run.imm)
    run.immAssociate = reinterpret_cast<ImmAssociateContextFn>(GetProcAddress(run.imm, "ImmAssociateContext"));
  if (run.immAssociate) run.savedImeContext = run.immAssociate(window, nullptr);
}

void OnCreate(HWND window) {
  run.window = window;
  DetachIme(window);
  GetCursorPos(&run.mouseStart);

  OpenFrameLog();
  run.settings = LoadSettings(OwnProgramPath());
  run.random.Seed(GetTickCount());
  run.animation = AnimationFromSettings(run.settings);
  std::string why;
  auto device = gl::GlDevice::ForWindow(window, &why);
  if (device) {
    device->SetViewports(run.viewports);
    run.stage = SetUpStage(std::move(device), window, run.settings, run.random, run.animation, *run.boxes);
    if (!run.stage) {
      // Nothing to animate: the timer must never reach objects that were not made.
      PostMessageA(window, WM_CLOSE, 0, 0);
      return;
    }
    run.animation.time = RandomStartTime(run.random, run.settings.animEnd());
  } else {
    // No OpenGL at all (the settings dialog says so): a black screen rather than a screen
    // saver that vanishes the moment it starts.
    run.blank = true;
    InvalidateRect(window, nullptr, TRUE);
  }

  RECT r{};
  GetWindowRect(window, &r);
  run.childPreview = BehavesAsChildPreview(run.childPreview, r.right - r.left);
  if (!run.childPreview) {
    ShowCursor(FALSE);
    LoadPasswordCheck();
  }
  run.timer = SetTimer(window, kTickTimer, run.blank ? kBlankWatchMs : 1, nullptr);
}

void OnTimer(HWND window) {
  if (run.blank) {
    // A black preview goes with the panel it was shown in.
    HWND parent = GetParent(window);
    if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) && !IsWindow(parent)) DestroyWindow(window);
    return;
  }
  if (!run.stage) return;
  if (!run.stage->alive() || !IsWindow(window)) {
    // The window the picture went to is gone (a host destroyed the preview panel).
    DestroyWindow(window);
    return;
  }
  const double start = run.frameLogPath.empty() ? 0 : NowMs();
  ChangePhotos(*run.stage, GetTickCount());
  Tick(*run.stage->port, run.animation, run.random);
  if (run.frameLogPath.empty()) return;
  run.frameLog.tickMs.push_back(NowMs() - start);
  if (run.frameLog.firstFrameMs < 0) run.frameLog.firstFrameMs = MsSinceStart();
}

void OnDestroy(HWND window) {
  if (run.timer) KillTimer(window, run.timer);
  run.timer = 0;
  // The device's context belongs to this window: let it go while the window still exists
  // rather than at process exit.
  run.stage.reset();
  WriteFrameLog();
  if (run.immAssociate) run.immAssociate(window, run.savedImeContext);
  if (run.checkPassword) SystemParametersInfoA(SPI_SCREENSAVERRUNNING, FALSE, nullptr, 0);
  PostQuitMessage(0);
}

void OnMouseMove() {
  if (run.childPreview) return;
  POINT p{};
  GetCursorPos(&p);
  if (MouseTravelCloses(run.mouseStart.x, run.mouseStart.y, p.x, p.y)) CloseByInput();
}

// The system commands that would switch away from or restart a running screen saver.
bool SwallowsSystemCommand(WPARAM command) {
  if (run.childPreview) return false;
  UINT c = UINT(command & 0xFFF0);
  return c == SC_NEXTWINDOW || c == SC_PREVWINDOW || c == SC_SCREENSAVE;
}

// ---- window procedure -----------------------------------------------------------------

LRESULT CALLBACK SaverProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_TIMER:
      Sleep(0);  // a zero-length yield before every tick, as screen savers do
      OnTimer(window);
      return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    case WM_ERASEBKGND:
      if (run.blank) break;  // the black class background
      return 1;              // the device paints every pixel
    case WM_SETCURSOR:
      if (!run.childPreview) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE: OnMouseMove(); return 0;
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_XBUTTONDOWN:
      CloseByInput();
      if (!run.childPreview) return 0;
      break;
    case WM_ACTIVATEAPP:
      if (!wp) CloseByInput();
      break;
    case WM_POWERBROADCAST: CloseByInput(); break;
    case WM_SYSCOMMAND:
      if (SwallowsSystemCommand(wp)) return FALSE;
      break;
    case WM_HELP: case WM_CONTEXTMENU:
      if (run.childPreview) return SendMessageA(GetParent(window), msg, wp, lp);
      break;
    default:
      if (msg != 0 && msg == run.autoPlayMessage) {
        CloseByInput();
        return run.checkPassword ? TRUE : FALSE;
      }
      break;
  }
  return DefWindowProcA(window, msg, wp, lp);
}

bool RegisterSaverClass() {
  WNDCLASSA wc{};
  wc.style = CS_OWNDC | CS_DBLCLKS;
  wc.lpfnWndProc = SaverProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kSaverClassName;
  return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int MessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return int(msg.wParam);
}

}  // namespace

void AdoptDpiAwarenessOf(HWND window) {
  // Windows 10 1607 and later; resolved at run time so the program still starts on older
  // systems, where a process has one awareness for all its windows.
  using Context = HANDLE;  // DPI_AWARENESS_CONTEXT
  HMODULE user = GetModuleHandleA("user32.dll");
  if (!user) return;
  auto windowContext = reinterpret_cast<Context(WINAPI*)(HWND)>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetWindowDpiAwarenessContext")));
  auto setThreadContext = reinterpret_cast<Context(WINAPI*)(Context)>(
      reinterpret_cast<void*>(GetProcAddress(user, "SetThreadDpiAwarenessContext")));
  if (!windowContext || !setThreadContext) return;
  if (Context context = windowContext(window)) setThreadContext(context);
}

int ChangePassword(HWND owner) {
  using PwdChangeFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, void*);
  HMODULE mpr = LoadLibraryA("MPR.DLL");
  auto change = mpr ? reinterpret_cast<PwdChangeFn>(GetProcAddress(mpr, "PwdChangePasswordA")) : nullptr;
  if (change) change("SCRSAVE", owner, 0, nullptr);
  if (mpr) FreeLibrary(mpr);
  return 0;
}

int RunFullScreen(platform::MessageBoxes& boxes) {
  if (HWND other = FindWindowA(kSaverClassName, kSaverTitle)) {
    SetForegroundWindow(other);
    return 0;
  }
  if (!RegisterSaverClass()) return kExitRefused;
  run.boxes = &boxes;
  run.childPreview = false;
  if (platform::IsWindows9xFamily()) run.autoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");

  // One window over every monitor; with more than one, each shows the scene in its own
  // viewport so no picture is stretched across the seam.
  const gl::ScreenLayout screens = MonitorLayout();
  if (screens.viewports.size() > 1) run.viewports = screens.viewports;
  const gl::PixelRect& area = screens.window;
  HWND window = CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, kSaverTitle, WS_POPUP | WS_VISIBLE, area.left,
                                area.top, area.width(), area.height(), nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
  if (!window) return kExitRefused;
  SetForegroundWindow(window);
  return MessageLoop();
}

int RunPreview(HWND parent, platform::MessageBoxes& boxes) {
  AdoptDpiAwarenessOf(parent);
  if (!RegisterSaverClass()) return kExitRefused;
  run.boxes = &boxes;
  run.childPreview = true;
  RECT client{};
  GetClientRect(parent, &client);
  HWND window = CreateWindowExA(0, kSaverClassName, kPreviewTitle, WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                                client.bottom, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window) return kExitRefused;
  return MessageLoop();
}

}  // namespace prismora::runtime
