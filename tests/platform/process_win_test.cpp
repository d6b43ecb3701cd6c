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
  UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK { ++ticks; });
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

// A pump that starts another hidden program the first time it runs: what a second Build
// clicked during the compiler wait would do.
struct StartingPump : MessagePump {
  Win32ProcessLauncher* launcher = nullptr;
  bool started = false;
  void RunPending() override {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (!started && launcher) started = launcher->StartHidden("cmd.exe /c exit 5", "");
  }
  void Pause(int) override {}
};

TEST(ProcessLauncher, AProgramStartedDuringTheWaitDoesNotSpoilIt) {
  StartingPump pump;
  Win32ProcessLauncher launcher(pump);
  pump.launcher = &launcher;
  ASSERT_TRUE(launcher.StartHidden("cmd.exe /c ping -n 2 127.0.0.1 >NUL & exit 3", ""));
  PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);  // wakes the wait, so the pump runs
  EXPECT_EQ(launcher.WaitForLastProcess(), 3);
  ASSERT_TRUE(pump.started);
  EXPECT_EQ(launcher.WaitForLastProcess(), 5);  // the second one is waited for on its own
}

TEST(ProcessLauncher, AFailedWaitEndsTheWait) {
  Win32MessagePump pump;
  PROCESS_INFORMATION pi{};
  STARTUPINFOA si{sizeof si};
  char cmd[] = "cmd.exe /c exit 0";
  ASSERT_TRUE(CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi));
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  // A handle that is no longer open: the wait fails at once instead of spinning for ever.
  EXPECT_EQ(WaitForProcess(pi.hProcess, pump), -1);
  EXPECT_EQ(WaitForProcess(nullptr, pump), -1);
}
