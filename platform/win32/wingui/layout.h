// Turns a layout table into child windows, and a menu table into a menu bar.
#pragma once
#include <windows.h>

#include <map>
#include <span>

#include "platform/win32/wingui/controls.h"
#include "platform/win32/wingui/layout_table.h"

namespace prismora::wingui {

// The classic dialog font of the product ("MS Sans Serif", 8 point).
HFONT DialogFont();

// The child windows of one window, by layout id.
class Controls {
 public:
  HWND operator[](int id) const;
  template <class T>
  T Get(int id) const {
    return T((*this)[id]);
  }
  void Add(int id, HWND hwnd) { byId_[id] = hwnd; }
  // The layout id of a child window, 0 when it is not one of ours.
  int IdOf(HWND hwnd) const;

 private:
  std::map<int, HWND> byId_;
};

// Creates every control of `layout` in table order (a parent row comes before its
// children). Group boxes are frames only: their contents become children of the
// group's own parent, so notifications reach the window through ordinary parents.
// Controls with a hint get a tooltip. Kind::Custom rows are skipped; the window
// makes them itself (see ParentOf and RelativeRect).
Controls BuildLayout(HWND window, Layout layout);

// The window a row's control lives in, and its rectangle relative to that window.
HWND ParentOf(const Controls& controls, Layout layout, const ControlRow& row, HWND window);
Rect RelativeRect(Layout layout, const ControlRow& row);

HMENU BuildMenu(std::span<const MenuRow> menu);

}  // namespace prismora::wingui
