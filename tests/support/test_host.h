// Starting and finding the test host program (test_host.cpp) from a test.
#pragma once
#include <windows.h>

#include <string>

#include "tests/support/wait.h"

namespace prismora::testsupport {

inline constexpr const char* kTestHostClass = "PrismoraTestHost";

// The quoted path of the host program, built into tests\support of the same tree.
inline std::string TestHostProgram() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  for (int up = 0; up < 2; ++up) s = s.substr(0, s.find_last_of("\\/"));  // tests\<folder>\x.exe
  return "\"" + s + "\\support\\prismora_test_host.exe\"";
}

// Starts the host program; the caller closes the handles in `process`.
inline bool StartTestHost(PROCESS_INFORMATION& process) {
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  std::string command = TestHostProgram();
  return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process) != 0;
}

// The host's window and its panel, once both exist (at most ten seconds).
inline HWND WaitForTestHostPanel(HWND& top) {
  HWND panel = nullptr;
  WaitUntil(
      [&] {
        top = FindWindowA(kTestHostClass, nullptr);
        return top && (panel = GetDlgItem(top, 1)) != nullptr;
      },
      10000);
  return panel;
}

}  // namespace prismora::testsupport
