// Running another program from a test until it ends.
#pragma once
#include <windows.h>

#include <string>

namespace prismora::testsupport {

inline constexpr int kNotStarted = -1000;
inline constexpr int kTimedOut = -1001;

// Its exit code, kNotStarted when it could not be started, or kTimedOut when it was still
// running after `ms` (it is ended then, so it cannot outlive the test). `environment` is
// a block of NAME=value strings ended by an empty one; null passes this process's own.
inline int RunToEnd(std::string commandLine, const std::string& folder, char* environment = nullptr,
                    DWORD ms = 120000) {
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, environment, folder.empty() ? nullptr : folder.c_str(), &si,
                      &pi))
    return kNotStarted;
  DWORD code = 0;
  if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) {
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
    code = DWORD(kTimedOut);
  } else {
    GetExitCodeProcess(pi.hProcess, &code);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return int(code);
}

}  // namespace prismora::testsupport
