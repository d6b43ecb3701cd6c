#include "platform/win32/process_launcher.h"

#include <windows.h>
#include <shellapi.h>

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

int WaitForProcess(void* process, MessagePump& pump) {
  HANDLE h = static_cast<HANDLE>(process);
  // Wake for every message so the windows keep painting and answering; any other result
  // (the end of the process, or a failed wait) ends the wait.
  while (MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) pump.RunPending();
  DWORD code = 0;
  if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0 || !GetExitCodeProcess(h, &code)) return -1;
  return int(code);
}

int Win32ProcessLauncher::WaitForLastProcess() {
  if (!last_) return -1;
  // Taken over before the messages run: a program started from one of them must not
  // close the handle this wait is using.
  void* process = last_;
  last_ = nullptr;
  const int code = WaitForProcess(process, pump_);
  CloseHandle(static_cast<HANDLE>(process));
  return code;
}

bool Win32ProcessLauncher::StartDetached(const std::string& commandLine) {
  PROCESS_INFORMATION pi{};
  if (!Start(commandLine, nullptr, SW_SHOWNORMAL, pi)) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

bool Win32ProcessLauncher::StartProgramFile(const std::string& path) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC;  // the start is complete when the call returns
  info.lpVerb = "open";
  info.lpFile = path.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExA(&info) != FALSE;
}

}  // namespace prismora::platform
