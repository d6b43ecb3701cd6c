#include "platform/win32/wingui/layout.h"

#include <commctrl.h>

#include "platform/win32/wingui/window.h"

namespace prismora::wingui {

HFONT DialogFont() {
  static HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  return font;
}

namespace {
HFONT BoldFont() {
  static HFONT font = CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  return font;
}

// Combo boxes ask their window before they let the wheel change the selection.
LRESULT CALLBACK WheelGuard(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_MOUSEWHEEL &&
      SendMessageA(GetAncestor(hwnd, GA_ROOT), kMsgControlWheel, GetDlgCtrlID(hwnd), 0) == 1)
    return 0;
  return DefSubclassProc(hwnd, msg, wp, lp);
}

// Labels that act as links show the hand.
LRESULT CALLBACK HandCursor(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_SETCURSOR) {
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    return TRUE;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

struct Made {
  const char* cls;
  DWORD style;
  DWORD exStyle;
};

Made ClassFor(const ControlRow& s) {
  switch (s.kind) {
    case Kind::Panel: return {Panel::ClassName(), WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
    case Kind::Image: return {Image::ClassName(), 0, 0};
    case Kind::Label:
      return {"STATIC", DWORD((s.flags & kCentered) ? SS_CENTER : SS_LEFT) | SS_NOPREFIX | SS_NOTIFY, 0};
    case Kind::Button:
      return {"BUTTON", WS_TABSTOP | DWORD((s.flags & kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
    case Kind::CheckBox: return {"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case Kind::ComboBox: return {"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case Kind::Edit: return {"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | WS_BORDER, 0};
    case Kind::Memo:
      return {"EDIT", WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER, 0};
    case Kind::GroupBox: return {"BUTTON", BS_GROUPBOX, WS_EX_TRANSPARENT};
    case Kind::Custom: break;
  }
  return {nullptr, 0, 0};
}

// The nearest ancestor row that is a real window (not a group box), or null.
const ControlRow* WindowAncestor(Layout layout, const ControlRow& s) {
  const ControlRow* p = FindRow(layout, s.parent);
  while (p && p->kind == Kind::GroupBox) p = FindRow(layout, p->parent);
  return p;
}
}  // namespace

HWND Controls::operator[](int id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : it->second;
}

int Controls::IdOf(HWND hwnd) const {
  for (const auto& [id, h] : byId_)
    if (h == hwnd) return id;
  return 0;
}

HWND ParentOf(const Controls& controls, Layout layout, const ControlRow& row, HWND window) {
  const ControlRow* p = WindowAncestor(layout, row);
  return p ? controls[p->id] : window;
}

Rect RelativeRect(Layout layout, const ControlRow& row) {
  Rect r = row.rect;
  if (const ControlRow* p = WindowAncestor(layout, row)) {
    r.left -= p->rect.left;
    r.top -= p->rect.top;
  }
  return r;
}

Controls BuildLayout(HWND window, Layout layout) {
  RegisterControlClasses();
  Controls controls;
  HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              0, 0, 0, 0, window, nullptr, GetModuleHandleA(nullptr), nullptr);
  for (const ControlRow& s : layout) {
    Made m = ClassFor(s);
    if (!m.cls) continue;
    HWND parent = ParentOf(controls, layout, s, window);
    Rect r = RelativeRect(layout, s);
    DWORD style = WS_CHILD | m.style | ((s.flags & kHidden) ? 0 : WS_VISIBLE);
    // A drop-down list's height is that of its opened list.
    const int height = s.kind == Kind::ComboBox ? 200 : r.height;
    HWND hwnd = CreateWindowExA(m.exStyle, m.cls, s.text, style, r.left, r.top, r.width, height, parent,
                                reinterpret_cast<HMENU>(INT_PTR(s.id)), GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) continue;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, LONG_PTR(s.flags));
    SendMessageA(hwnd, WM_SETFONT, WPARAM((s.flags & kBold) ? BoldFont() : DialogFont()), FALSE);
    controls.Add(s.id, hwnd);
    if (s.kind == Kind::Panel) {
      Panel p(hwnd);
      p.SetColor(GetSysColor((s.flags & kDecor) ? COLOR_ACTIVECAPTION : COLOR_BTNFACE));
      if (s.flags & kInnerLowered) p.SetInnerBevel(Bevel::Lowered);
      if (s.flags & kInnerRaised) p.SetInnerBevel(Bevel::Raised);
      if (s.flags & kOuterLowered) p.SetOuterBevel(Bevel::Lowered);
      if (s.flags & kOuterRaised) p.SetOuterBevel(Bevel::Raised);
    }
    if (s.kind == Kind::Image && s.picture) {
      const ControlRow* p = FindRow(layout, s.parent);
      const COLORREF back = (p && p->kind == Kind::Panel) ? Panel(parent).Color() : GetSysColor(COLOR_BTNFACE);
      Image(hwnd).Picture().LoadResource(s.picture, back);
    }
    if (s.kind == Kind::Label && (s.flags & kHandCursor)) SetWindowSubclass(hwnd, HandCursor, 1, 0);
    if (s.kind == Kind::Label && (s.flags & kAutoSize)) Label(hwnd).SetText(s.text);
    if (s.kind == Kind::ComboBox) SetWindowSubclass(hwnd, WheelGuard, 1, 0);
    if (const char* hint = EffectiveHint(layout, s); hint && tips) {
      TOOLINFOA ti{};
      ti.cbSize = sizeof ti;
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = window;
      ti.uId = reinterpret_cast<UINT_PTR>(hwnd);
      ti.lpszText = const_cast<char*>(hint);
      SendMessageA(tips, TTM_ADDTOOLA, 0, LPARAM(&ti));
    }
  }
  if (tips) SendMessageA(tips, TTM_SETMAXTIPWIDTH, 0, 320);
  return controls;
}

HMENU BuildMenu(std::span<const MenuRow> menu) {
  HMENU bar = CreateMenu();
  HMENU current = nullptr;
  for (const MenuRow& m : menu) {
    if (m.depth == 0) {
      current = CreatePopupMenu();
      AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(current), m.caption);
      continue;
    }
    if (!current) continue;
    if (!m.caption) {
      AppendMenuA(current, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    AppendMenuA(current, MF_STRING, UINT_PTR(m.id), m.caption);
    if (m.picture) {
      Surface picture;
      if (picture.LoadResource(m.picture, GetSysColor(COLOR_MENU))) {
        HBITMAP bmp = picture.Detach();  // the menu keeps it for the program's life
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_BITMAP;
        mi.hbmpItem = bmp;
        SetMenuItemInfoA(current, UINT(m.id), FALSE, &mi);
      }
    }
  }
  return bar;
}

}  // namespace prismora::wingui
