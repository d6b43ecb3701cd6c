#include "builder/photos/win32/progress_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

namespace prismora::photos {
namespace {

constexpr int kClientWidth = 272, kClientHeight = 57;

struct ControlRow {
  int id;
  const char* windowClass;
  const char* text;
  int left, top, width, height;
  DWORD style;
};

// Layout of the window: one row per control. The label sizes itself to its text, so its
// width here is only the starting size; it names the photo, so it starts at the bar's left
// edge and a name too long for the bar's width ends in an ellipsis. The Cancel button
// exists but is never shown.
constexpr int kLabelLeft = 8, kLabelMostWidth = 257;
const std::array<ControlRow, 3> kLayout = {{
    {ProgressPictureConvertWindow::kLabel, "STATIC", "", kLabelLeft, 8, 0, 13,
     WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS | SS_NOPREFIX},
    {ProgressPictureConvertWindow::kProgressBar, PROGRESS_CLASSA, "", 8, 32, 257, 17, WS_VISIBLE},
    {ProgressPictureConvertWindow::kCancel, "BUTTON", "Cancel", 168, 8, 75, 25, BS_PUSHBUTTON},
}};

// A captioned window with a single fixed border and no system menu, hence no border icons.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION;

HFONT MakeDialogFont() {
  HDC screen = GetDC(nullptr);
  int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

}  // namespace

ProgressPictureConvertWindow::~ProgressPictureConvertWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (font_) DeleteObject(font_);
}

bool ProgressPictureConvertWindow::Create(HINSTANCE instance, HWND owner) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  WNDCLASSA wc{};
  if (!GetClassInfoA(instance, kProgressWindowClass, &wc)) {
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kProgressWindowClass;
    if (!RegisterClassA(&wc)) return false;
  }
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  hwnd_ = CreateWindowExA(0, kProgressWindowClass, kProgressCaption, kWindowStyle, left, top,
                          width, height, owner, nullptr, instance, this);
  return hwnd_ != nullptr;
}

LRESULT CALLBACK ProgressPictureConvertWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam,
                                                         LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<ProgressPictureConvertWindow*>(create->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<ProgressPictureConvertWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wparam, lparam);
  return self->Handle(message, wparam, lparam);
}

LRESULT ProgressPictureConvertWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: FormCreate(); return 0;
    case WM_CLOSE:
      if (!FormCloseQuery()) return 0;
      break;
    case WM_NCDESTROY: {
      HWND hwnd = hwnd_;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return DefWindowProcA(hwnd, message, wparam, lparam);
    }
  }
  return DefWindowProcA(hwnd_, message, wparam, lparam);
}

void ProgressPictureConvertWindow::FormCreate() {
  font_ = MakeDialogFont();
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
  for (const ControlRow& row : kLayout) {
    HWND child = CreateWindowExA(0, row.windowClass, row.text, WS_CHILD | row.style, row.left,
                                 row.top, row.width, row.height, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance,
                                 nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
}

void ProgressPictureConvertWindow::Show() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
}

void ProgressPictureConvertWindow::Hide() { ShowWindow(hwnd_, SW_HIDE); }

void ProgressPictureConvertWindow::SetRange(int minimum, int maximum) {
  SendMessageA(Child(kProgressBar), PBM_SETRANGE32, WPARAM(minimum), LPARAM(maximum));
}

void ProgressPictureConvertWindow::SetPosition(int position) {
  HWND bar = Child(kProgressBar);
  SendMessageA(bar, PBM_SETPOS, WPARAM(position), 0);
  UpdateWindow(bar);
}

void ProgressPictureConvertWindow::SetLabel(const std::string& text) {
  HWND label = Child(kLabel);
  // The label grows and shrinks with its text, from its fixed left edge, up to the width
  // of the bar below it.
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, font_);
  SIZE extent{};
  GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  SetWindowPos(label, nullptr, 0, 0, std::min<int>(extent.cx, kLabelMostWidth), extent.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowTextA(label, text.c_str());
  InvalidateRect(label, nullptr, TRUE);
  UpdateWindow(label);  // shown at once, before the next photo is worked on
}

}  // namespace prismora::photos
