// Starting other programs: the compiler, the previews, the finished setup program.
#pragma once
#include <string>

namespace prismora::platform {

struct ProcessLauncher {
  virtual ~ProcessLauncher() = default;
  // Starts a program with a hidden window and keeps its handle; false when it could
  // not be started at all.
  virtual bool StartHidden(const std::string& commandLine, const std::string& workingFolder) = 0;
  // Waits for the program started last by StartHidden, keeping the windows answering.
  // Returns its exit code, or -1 when there is none to wait for.
  virtual int WaitForLastProcess() = 0;
  // Starts a program shown normally, without keeping anything of it.
  virtual bool StartDetached(const std::string& commandLine) = 0;
  // Starts a program file the way the shell does for a double click: its path needs no
  // quoting, and a program that asks for administrator rights gets the elevation prompt.
  virtual bool StartProgramFile(const std::string& path) { return StartDetached("\"" + path + "\""); }
};

}  // namespace prismora::platform
