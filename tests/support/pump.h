// Runs the window messages waiting on the test's thread.
#pragma once
#include <windows.h>

namespace prismora::testsupport {

inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace prismora::testsupport
