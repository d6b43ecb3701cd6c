#include "platform/win32/process_launcher.h"

#include <windows.h>

#include <vector>

namespace prismora::platform {

namespace {
bool Start(const std::string& commandLine, const char* folder, WORD show, PROCESS_INFORMATION& pi) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = show;
  std::vector<char> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back('\0');
  return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &pi) != 0;
}
}  // namespace

Win32ProcessLauncher::~Win32ProcessLauncher() {
  if (last_) CloseHandle(last_);
}

bool Win32ProcessLauncher::StartHidden(const std::string& commandLine, const std::string& workingFolder) {
  PROCESS_INFORMATION pi{};
  if (!Start(commandLine, workingFolder.empty() ? nullptr : workingFolder.c_str(), SW_HIDE, pi))
    return false;
  CloseHandle(pi.hThread);
  if (last_) CloseHandle(last_);
  last_ = pi.hProcess;
  return true;
}

int Win32ProcessLauncher::WaitForLastProcess() {
  if (!last_) return -1;
  HANDLE h = static_cast<HANDLE>(last_);
  // Wait in slices so the windows keep painting and answering.
  while (MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
    pump_.RunPending();
  DWORD code = DWORD(-1);
  GetExitCodeProcess(h, &code);
  CloseHandle(h);
  last_ = nullptr;
  return int(code);
}

bool Win32ProcessLauncher::StartDetached(const std::string& commandLine) {
  PROCESS_INFORMATION pi{};
  if (!Start(commandLine, nullptr, SW_SHOWNORMAL, pi)) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace prismora::platform
