// Running another program from a test until it ends.
#pragma once
#include <windows.h>

#include <string>

namespace prismora::testsupport {

// Its exit code, or -1000 when it could not be started. `environment` is a block of
// NAME=value strings ended by an empty one; null passes this process's own.
inline int RunToEnd(std::string commandLine, const std::string& folder, char* environment = nullptr,
                    DWORD ms = 120000) {
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, environment, folder.c_str(), &si,
                      &pi))
    return -1000;
  WaitForSingleObject(pi.hProcess, ms);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return int(code);
}

}  // namespace prismora::testsupport
