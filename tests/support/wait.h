// Waiting in the Windows tests for something another thread, another process or the X
// server brings about: a window that appears, a picture on the screen, a file that goes.
#pragma once
#include <windows.h>

#include "tests/support/pump.h"

namespace prismora::testsupport {

// How long a wait rests between two looks: short, so it ends soon after the condition
// holds. Looks that read the screen back pass a longer rest, leaving the processor to the
// program that draws.
inline constexpr DWORD kWaitStepMs = 25;
inline constexpr DWORD kScreenWaitStepMs = 50;

// Looks at `condition` until it holds or `timeoutMs` has passed, and tells whether it
// held. Between looks the messages of the calling thread run, so windows the test owns go
// on answering while it waits. The condition is looked at once more when the time is up:
// a slow last look still counts.
template <class Condition>
bool WaitUntil(Condition&& condition, DWORD timeoutMs, DWORD stepMs = kWaitStepMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < end) {
    if (condition()) return true;
    Pump();
    Sleep(stepMs);
  }
  return condition();
}

}  // namespace prismora::testsupport
