#include "platform/win32/wingui/window.h"

#include <exception>

namespace prismora::wingui {

namespace {
ErrorReporter& Reporter() {
  static ErrorReporter reporter = [](HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), "Error", MB_OK | MB_ICONERROR);
  };
  return reporter;
}

void RegisterClassOnce(const WindowStyle& s, WNDPROC procedure) {
  WNDCLASSEXA wc{};
  if (GetClassInfoExA(GetModuleHandleA(nullptr), s.className, &wc)) return;
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = s.background ? s.background : GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = s.className;
  wc.hIcon = s.icon;
  wc.hIconSm = s.smallIcon;
  RegisterClassExA(&wc);
}
}  // namespace

void SetErrorReporter(ErrorReporter reporter) { Reporter() = std::move(reporter); }

void ReportError(HWND owner, const std::string& text) {
  // The reporter itself may fail (a box that cannot be shown); nothing more can be done.
  try {
    Reporter()(owner, text);
  } catch (...) {
  }
}

Window::~Window() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool Window::Create(const WindowStyle& s, const std::string& caption) {
  RegisterClassOnce(s, &Window::Procedure);
  RECT r{0, 0, s.clientWidth, s.clientHeight};
  // The menu, if any, is added by the window later; sizing happens again then.
  AdjustWindowRectEx(&r, s.style, FALSE, s.exStyle);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
  if (s.centred) {
    x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  }
  HWND hwnd = CreateWindowExA(s.exStyle, s.className, caption.c_str(), s.style, x, y, w, h, s.owner,
                              nullptr, GetModuleHandleA(nullptr), this);
  if (!hwnd) return false;
  if (s.icon) SendMessageA(hwnd, WM_SETICON, ICON_BIG, LPARAM(s.icon));
  if (s.smallIcon) SendMessageA(hwnd, WM_SETICON, ICON_SMALL, LPARAM(s.smallIcon));
  OnCreated();
  return true;
}

void Window::Show(int how) {
  ShowWindow(hwnd_, how);
  UpdateWindow(hwnd_);
}

int Window::ShowModal(HWND owner) {
  if (owner) EnableWindow(owner, FALSE);
  modal_ = true;
  modalResult_ = 0;
  Show(SW_SHOW);
  MSG msg;
  while (modal_ && IsWindow(hwnd_)) {
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
      PostQuitMessage(int(msg.wParam));  // the program is ending: let the outer loop see it
      break;
    }
    if (!IsDialogMessageA(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (owner) EnableWindow(owner, TRUE);
  Hide();
  if (owner) SetActiveWindow(owner);
  return modalResult_;
}

void Window::EndModal(int result) {
  modalResult_ = result;
  modal_ = false;
}

LRESULT Window::OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // The first messages arrive before CreateWindowEx returns; the object comes with
  // WM_NCCREATE and is kept in the window from then on.
  if (msg == WM_NCCREATE) {
    auto* created = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    created->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  try {
    return self->Dispatch(msg, wp, lp);
  } catch (const std::exception& e) {
    ReportError(hwnd, e.what());
  } catch (...) {
    ReportError(hwnd, "Unknown error");
  }
  return 0;
}

LRESULT Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      OnPaint(dc, ps);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_MOUSEMOVE:
      OnMouseMove(short(LOWORD(lp)), short(HIWORD(lp)));
      return 0;
    case kMsgControlMouseMove:
      OnControlMouseMove(int(wp));
      return 0;
    case kMsgControlWheel:
      return OnControlWheel(int(wp)) ? 1 : 0;
    case WM_CLOSE:
      if (OnClose()) DestroyWindow(hwnd_);
      return 0;
    case WM_ENDSESSION:
      if (wp) OnEndSession();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (HBRUSH b = OnControlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)))
        return reinterpret_cast<LRESULT>(b);
      break;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_DRAWITEM:
      if (OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
      break;
    case WM_MEASUREITEM:
      if (OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
      break;
    case WM_VKEYTOITEM:
      return OnListKey(LOWORD(wp), reinterpret_cast<HWND>(lp));
    default:
      break;
  }
  return OnOtherMessage(msg, wp, lp);
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return int(msg.wParam);
}

void RunPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));  // leave it for the loop that owns the program
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace prismora::wingui
