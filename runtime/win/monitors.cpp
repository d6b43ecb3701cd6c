#include "runtime/win/monitors.h"

#include <windows.h>

#include <vector>

namespace prismora::runtime {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT area, LPARAM list) {
  reinterpret_cast<std::vector<gl::PixelRect>*>(list)->push_back(
      {int(area->left), int(area->top), int(area->right), int(area->bottom)});
  return TRUE;
}

}  // namespace

gl::ScreenLayout MonitorLayout() {
  std::vector<gl::PixelRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  gl::ScreenLayout layout = gl::LayOutScreens(monitors);
  if (layout.window.empty()) {
    HDC screen = GetDC(nullptr);
    RECT box{};
    GetClipBox(screen, &box);
    ReleaseDC(nullptr, screen);
    const gl::PixelRect whole{int(box.left), int(box.top), int(box.right), int(box.bottom)};
    layout = gl::LayOutScreens({&whole, 1});
  }
  return layout;
}

}  // namespace prismora::runtime
