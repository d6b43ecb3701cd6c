#pragma once
#include "platform/process.h"
#include "platform/seams.h"

namespace prismora::platform {

class Win32ProcessLauncher final : public ProcessLauncher {
 public:
  explicit Win32ProcessLauncher(MessagePump& pump) : pump_(pump) {}
  ~Win32ProcessLauncher() override;
  bool StartHidden(const std::string& commandLine, const std::string& workingFolder) override;
  int WaitForLastProcess() override;
  bool StartDetached(const std::string& commandLine) override;

 private:
  MessagePump& pump_;
  void* last_ = nullptr;  // process handle of the last hidden start
};

}  // namespace prismora::platform
