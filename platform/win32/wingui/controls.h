// Typed views of child controls, one small class per kind. A view is a window handle
// with the operations that kind supports; the state a custom control needs (bevels,
// colour, picture) lives with the window itself, so views can be copied freely.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wingui/layout_table.h"
#include "platform/win32/wingui/surface.h"

namespace prismora::wingui {

class Control {
 public:
  Control() = default;
  explicit Control(HWND hwnd) : hwnd_(hwnd) {}
  HWND Handle() const { return hwnd_; }
  int Id() const { return GetDlgCtrlID(hwnd_); }
  uint32_t Flags() const;  // the layout flags the control was made with

  std::string Text() const;
  void SetText(const std::string& text) const;
  bool Visible() const { return IsWindowVisible(hwnd_) != FALSE; }
  void SetVisible(bool visible) const { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
  bool Enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
  void SetEnabled(bool enabled) const { EnableWindow(hwnd_, enabled); }
  void Focus() const { SetFocus(hwnd_); }
  bool Focused() const { return GetFocus() == hwnd_; }
  // Position and size relative to the parent window.
  RECT Bounds() const;
  void SetBounds(int left, int top, int width, int height) const;
  void Invalidate() const { InvalidateRect(hwnd_, nullptr, TRUE); }

 protected:
  HWND hwnd_ = nullptr;
};

class Label : public Control {
 public:
  using Control::Control;
  // Sizes the label to its text when it was laid out with kAutoSize.
  void SetText(const std::string& text) const;
  int Width() const;
  void SetLeft(int left) const;
};

class Button : public Control {
 public:
  using Control::Control;
};

class CheckBox : public Control {
 public:
  using Control::Control;
  bool Checked() const { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(bool on) const { SendMessageA(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
};

class ComboBox : public Control {
 public:
  using Control::Control;
  void SetItems(const std::vector<std::string>& items) const;
  int Count() const { return int(SendMessageA(hwnd_, CB_GETCOUNT, 0, 0)); }
  // -1 when no item is selected.
  int ItemIndex() const { return int(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0)); }
  // An index outside the items leaves no selection.
  void SetItemIndex(int index) const;
  std::string Item(int index) const;
};

class Edit : public Control {
 public:
  using Control::Control;
  void SetLimit(int chars) const { SendMessageA(hwnd_, EM_SETLIMITTEXT, chars, 0); }
};

// Multi-line text; lines are joined with CR LF, as the platform keeps them.
class Memo : public Edit {
 public:
  using Edit::Edit;
};

class GroupBox : public Control {
 public:
  using Control::Control;
};

enum class Bevel { None, Lowered, Raised };

// A surface in one colour with an outer and an inner one-pixel bevel. It passes the
// notifications of its children on to the top-level window and reports mouse moves.
class Panel : public Control {
 public:
  using Control::Control;
  static const char* ClassName() { return "PrismoraPanel"; }
  Bevel InnerBevel() const;
  Bevel OuterBevel() const;
  void SetInnerBevel(Bevel b) const;
  void SetOuterBevel(Bevel b) const;
  COLORREF Color() const;
  void SetColor(COLORREF color) const;
};

// Shows a picture, stretched to the control or at its own size; reports clicks as
// WM_COMMAND/BN_CLICKED and mouse moves to the top-level window.
class Image : public Control {
 public:
  using Control::Control;
  static const char* ClassName() { return "PrismoraImage"; }
  // The picture the control owns and shows; change it, then Invalidate.
  Surface& Picture() const;
  void Clear() const;
};

// Registers the window classes above; called once by BuildLayout.
void RegisterControlClasses();

}  // namespace prismora::wingui
