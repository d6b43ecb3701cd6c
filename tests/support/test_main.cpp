// The test programs' main: GoogleTest as usual, except that a test that skips itself fails
// the program, so a skip can never pass for a success. The one exception: tests of 32-bit
// programs on a machine that cannot run those at all, which scripts/run-tests announces
// and marks with PRISMORA_I386=none.
//
// On Windows every process a test starts (a screen saver, the compiler, a setup program,
// and what those start in turn) runs in one job with the test program: at the end of each
// test whatever is still running is ended, and when the test program itself ends, however
// it ends, the job takes the rest with it. A stray process can then never hold the test
// runner's output pipe open until its timeout.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include <string>
#include <vector>

namespace {

HANDLE g_job = nullptr;

void JoinOwnJob() {
  g_job = CreateJobObjectA(nullptr, nullptr);
  if (!g_job) return;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(g_job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
      !AssignProcessToJobObject(g_job, GetCurrentProcess())) {
    std::printf("test_main: could not put the test program in a job of its own (error %lu)\n", GetLastError());
    CloseHandle(g_job);
    g_job = nullptr;
  }
}

std::string ImageName(HANDLE process) {
  char path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (!QueryFullProcessImageNameA(process, 0, path, &size)) return {};
  std::string s(path, size);
  return s.substr(s.find_last_of("\\/") + 1);
}

// Processes the system starts on a program's behalf (under Wine the desktop and the
// services start from the first program that needs them): never ended here.
bool IsSystemProcess(const std::string& name) {
  for (const char* system : {"conhost.exe", "explorer.exe", "services.exe", "svchost.exe", "rpcss.exe",
                             "plugplay.exe", "winedevice.exe", "wineboot.exe", "rundll32.exe"})
    if (_stricmp(name.c_str(), system) == 0) return true;
  return false;
}

// Ends every process of the job but this one and the system's own.
void EndStrayProcesses(const char* test) {
  if (!g_job) return;
  struct {
    JOBOBJECT_BASIC_PROCESS_ID_LIST list;
    ULONG_PTR more[255];
  } ids{};
  ids.list.NumberOfAssignedProcesses = 256;
  if (!QueryInformationJobObject(g_job, JobObjectBasicProcessIdList, &ids, sizeof ids, nullptr)) return;
  const DWORD self = GetCurrentProcessId();
  for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList; ++i) {
    const DWORD pid = DWORD(ids.list.ProcessIdList[i]);
    if (pid == self) continue;
    HANDLE p = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
    if (!p) continue;
    const std::string name = ImageName(p);
    if (!name.empty() && !IsSystemProcess(name) && WaitForSingleObject(p, 0) == WAIT_TIMEOUT) {
      std::printf("test_main: %s left %s (process %lu) running; ended\n", test, name.c_str(), pid);
      TerminateProcess(p, 1);
      WaitForSingleObject(p, 5000);
    }
    CloseHandle(p);
  }
}

class StrayProcessSweeper : public testing::EmptyTestEventListener {
  void OnTestEnd(const testing::TestInfo& info) override {
    const std::string name = std::string(info.test_suite_name()) + "." + info.name();
    EndStrayProcesses(name.c_str());
  }
};

}  // namespace
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
  // A program that crashes ends at once with its exception code, here and in every process
  // it starts (they inherit the mode), instead of waiting in a debugger or an error box
  // until the test's timeout.
  SetErrorMode(GetErrorMode() | SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
  JoinOwnJob();
  testing::UnitTest::GetInstance()->listeners().Append(new StrayProcessSweeper);
#endif
  const int result = RUN_ALL_TESTS();
  const int skipped = testing::UnitTest::GetInstance()->skipped_test_count();
  const char* i386 = std::getenv("PRISMORA_I386");
  if (result == 0 && skipped > 0 && !(i386 && std::strcmp(i386, "none") == 0)) {
    std::printf("%d test(s) skipped on a machine where nothing may be skipped\n", skipped);
    return 1;
  }
  return result;
}
