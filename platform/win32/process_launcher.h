#pragma once
#include "platform/process.h"
#include "platform/seams.h"

namespace prismora::platform {

// Waits for a process while the windows keep answering; returns its exit code, or -1
// when the wait fails (a handle that is not, or no longer, a process).
int WaitForProcess(void* process, MessagePump& pump);

class Win32ProcessLauncher final : public ProcessLauncher {
 public:
  explicit Win32ProcessLauncher(MessagePump& pump) : pump_(pump) {}
  ~Win32ProcessLauncher() override;
  bool StartHidden(const std::string& commandLine, const std::string& workingFolder) override;
  int WaitForLastProcess() override;
  bool StartDetached(const std::string& commandLine) override;
  bool StartProgramFile(const std::string& path) override;

 private:
  MessagePump& pump_;
  void* last_ = nullptr;  // process handle of the last hidden start
};

}  // namespace prismora::platform
