#include "platform/win32/wingui/controls.h"

#include <commctrl.h>

#include "platform/win32/wingui/window.h"

namespace prismora::wingui {

uint32_t Control::Flags() const { return uint32_t(GetWindowLongPtrA(hwnd_, GWLP_USERDATA)); }

std::string Control::Text() const {
  int n = GetWindowTextLengthA(hwnd_);
  std::string s(size_t(n) + 1, '\0');
  n = GetWindowTextA(hwnd_, s.data(), n + 1);
  s.resize(size_t(n < 0 ? 0 : n));
  return s;
}

void Control::SetText(const std::string& text) const { SetWindowTextA(hwnd_, text.c_str()); }

RECT Control::Bounds() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Control::SetBounds(int left, int top, int width, int height) const {
  SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Label::SetText(const std::string& text) const {
  Control::SetText(text);
  if (!(Flags() & kAutoSize)) return;
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  RECT r = Bounds();
  SetBounds(r.left, r.top, size.cx, r.bottom - r.top);
}

int Label::Width() const {
  RECT r = Bounds();
  return r.right - r.left;
}

void Label::SetLeft(int left) const {
  RECT r = Bounds();
  SetBounds(left, r.top, r.right - r.left, r.bottom - r.top);
}

void ComboBox::SetItems(const std::vector<std::string>& items) const {
  SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
  for (const std::string& s : items) SendMessageA(hwnd_, CB_ADDSTRING, 0, LPARAM(s.c_str()));
}

void ComboBox::SetItemIndex(int index) const {
  SendMessageA(hwnd_, CB_SETCURSEL, (index >= 0 && index < Count()) ? WPARAM(index) : WPARAM(-1), 0);
}

std::string ComboBox::Item(int index) const {
  LRESULT n = SendMessageA(hwnd_, CB_GETLBTEXTLEN, index, 0);
  if (n == CB_ERR) return {};
  std::string s(size_t(n) + 1, '\0');
  SendMessageA(hwnd_, CB_GETLBTEXT, index, LPARAM(s.data()));
  s.resize(size_t(n));
  return s;
}

// ---- Panel -----------------------------------------------------------------------

namespace {

struct PanelState {
  COLORREF color = 0;
  Bevel inner = Bevel::None, outer = Bevel::None;
};

PanelState* StateOf(HWND hwnd) { return reinterpret_cast<PanelState*>(GetWindowLongPtrA(hwnd, 0)); }

HWND TopWindow(HWND hwnd) { return GetAncestor(hwnd, GA_ROOT); }

void Frame(HDC dc, RECT& r, Bevel bevel) {
  if (bevel == Bevel::None) return;
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  COLORREF topLeft = bevel == Bevel::Raised ? light : dark;
  COLORREF bottomRight = bevel == Bevel::Raised ? dark : light;
  auto line = [dc](int x0, int y0, int x1, int y1, COLORREF c) {
    RECT l{x0, y0, x1, y1};
    SetBkColor(dc, c);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &l, nullptr, 0, nullptr);
  };
  line(r.left, r.top, r.right, r.top + 1, topLeft);
  line(r.left, r.top, r.left + 1, r.bottom, topLeft);
  line(r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
  line(r.right - 1, r.top, r.right, r.bottom, bottomRight);
  InflateRect(&r, -1, -1);
}

LRESULT CALLBACK PanelProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(new PanelState{}));
      break;
    case WM_NCDESTROY:
      delete StateOf(hwnd);
      SetWindowLongPtrA(hwnd, 0, 0);
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      if (PanelState* s = StateOf(hwnd)) {
        Frame(dc, r, s->outer);
        Frame(dc, r, s->inner);
        SetBkColor(dc, s->color);
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_MOUSEMOVE:
      SendMessageA(TopWindow(hwnd), kMsgControlMouseMove, GetDlgCtrlID(hwnd), 0);
      return 0;
    // Children of a panel talk to the window that owns the behaviour.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
      return SendMessageA(TopWindow(hwnd), msg, wp, lp);
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// ---- Image -----------------------------------------------------------------------

Surface* PictureOf(HWND hwnd) { return reinterpret_cast<Surface*>(GetWindowLongPtrA(hwnd, 0)); }

LRESULT CALLBACK ImageProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(new Surface));
      break;
    case WM_NCDESTROY:
      delete PictureOf(hwnd);
      SetWindowLongPtrA(hwnd, 0, 0);
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      Surface* pic = PictureOf(hwnd);
      const bool stretch = GetWindowLongPtrA(hwnd, GWLP_USERDATA) & kStretch;
      // Whatever the picture leaves uncovered shows the parent's colour.
      HWND parent = GetParent(hwnd);
      HBRUSH back = GetSysColorBrush(COLOR_BTNFACE);
      char cls[32] = {};
      GetClassNameA(parent, cls, sizeof cls);
      if (lstrcmpiA(cls, Panel::ClassName()) == 0) {
        SetBkColor(dc, Panel(parent).Color());
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
      } else {
        FillRect(dc, &r, back);
      }
      if (pic && !pic->Empty()) {
        RECT target = r;
        if (!stretch) target = {0, 0, pic->Width(), pic->Height()};
        pic->StretchTo(dc, target);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETCURSOR:
      if (GetWindowLongPtrA(hwnd, GWLP_USERDATA) & kHandCursor) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      SendMessageA(TopWindow(hwnd), kMsgControlMouseMove, GetDlgCtrlID(hwnd), 0);
      return 0;
    case WM_LBUTTONDOWN:
      SetCapture(hwnd);
      return 0;
    case WM_LBUTTONUP: {
      bool captured = GetCapture() == hwnd;
      if (captured) ReleaseCapture();
      RECT r;
      GetClientRect(hwnd, &r);
      POINT p{short(LOWORD(lp)), short(HIWORD(lp))};
      // A click is a press and a release over the picture, as on a button.
      if (captured && PtInRect(&r, p))
        SendMessageA(TopWindow(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                     LPARAM(hwnd));
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void Register(const char* name, WNDPROC proc) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), name, &wc)) return;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

}  // namespace

Bevel Panel::InnerBevel() const { return StateOf(hwnd_) ? StateOf(hwnd_)->inner : Bevel::None; }
Bevel Panel::OuterBevel() const { return StateOf(hwnd_) ? StateOf(hwnd_)->outer : Bevel::None; }

void Panel::SetInnerBevel(Bevel b) const {
  if (PanelState* s = StateOf(hwnd_); s && s->inner != b) {
    s->inner = b;
    Invalidate();
  }
}

void Panel::SetOuterBevel(Bevel b) const {
  if (PanelState* s = StateOf(hwnd_); s && s->outer != b) {
    s->outer = b;
    Invalidate();
  }
}

COLORREF Panel::Color() const { return StateOf(hwnd_) ? StateOf(hwnd_)->color : 0; }

void Panel::SetColor(COLORREF color) const {
  if (PanelState* s = StateOf(hwnd_)) {
    s->color = color;
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
}

Surface& Image::Picture() const { return *PictureOf(hwnd_); }

void Image::Clear() const {
  Picture().Release();
  Invalidate();
}

void RegisterControlClasses() {
  Register(Panel::ClassName(), PanelProcedure);
  Register(Image::ClassName(), ImageProcedure);
}

}  // namespace prismora::wingui
