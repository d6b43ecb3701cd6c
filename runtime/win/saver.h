// The screen saver window: full screen, or a child preview inside another window.
#pragma once
#include <windows.h>

#include "platform/seams.h"

namespace prismora::runtime {

inline constexpr const char* kSaverClassName = "WindowsScreenSaverClass";
inline constexpr const char* kSaverTitle = "Screen Saver";
inline constexpr const char* kPreviewTitle = "Preview";

// Runs until the window is closed; returns the process exit code. A full-screen start
// while another screen saver window exists brings that one forward and returns at once.
int RunFullScreen(platform::MessageBoxes& boxes);
// `parent` must be a window; the preview fills its client area.
int RunPreview(HWND parent, platform::MessageBoxes& boxes);

// The program declares per-monitor DPI awareness (its manifest), so full screen it draws
// in the screen's own pixels. A preview window inside another program's window instead
// takes that window's awareness on this thread, so both count its size in the same
// pixels (a DPI-unaware host is scaled by Windows as a whole, the preview with it).
void AdoptDpiAwarenessOf(HWND window);

// "a": the system's password change dialog, on the Windows 95 family only.
int ChangePassword(HWND owner);

}  // namespace prismora::runtime
