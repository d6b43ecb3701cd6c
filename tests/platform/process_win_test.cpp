#include "platform/win32/process_launcher.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_seams.h"

using namespace prismora::platform;

TEST(ProcessLauncher, WaitsForTheHiddenProgramAndReturnsItsExitCode) {
  Win32MessagePump pump;
  Win32ProcessLauncher launcher(pump);
  EXPECT_EQ(launcher.WaitForLastProcess(), -1);  // nothing started yet
  ASSERT_TRUE(launcher.StartHidden("cmd.exe /c exit 7", ""));
  EXPECT_EQ(launcher.WaitForLastProcess(), 7);
  EXPECT_EQ(launcher.WaitForLastProcess(), -1);
}

TEST(ProcessLauncher, KeepsHandlingMessagesWhileWaiting) {
  Win32MessagePump pump;
  Win32ProcessLauncher launcher(pump);
  static int ticks = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
  ASSERT_TRUE(launcher.StartHidden("cmd.exe /c ping -n 2 127.0.0.1 >NUL", ""));
  launcher.WaitForLastProcess();
  KillTimer(nullptr, timer);
  EXPECT_GT(ticks, 0);
}

TEST(ProcessLauncher, MissingProgramIsReportedAtOnce) {
  Win32MessagePump pump;
  Win32ProcessLauncher launcher(pump);
  EXPECT_FALSE(launcher.StartHidden("NoSuchCompiler-4711.exe \"x.iss\"", ""));
  EXPECT_FALSE(launcher.StartDetached("NoSuchCompiler-4711.exe"));
}
