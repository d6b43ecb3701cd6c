// Runs a piece of code in a forked child process under a limit on the memory it may
// allocate, and tells how it ended and the most it held at once.
//
// Under AddressSanitizer an address-space limit (RLIMIT_AS) cannot work: the sanitizer
// reserves terabytes of address space for itself. There the child counts its heap
// through the sanitizer's allocation hooks and ends itself the moment the live heap
// passes the limit, before the memory is touched. Without the sanitizer the child runs
// under RLIMIT_AS (so an allocation past it fails as it would on a full machine) and
// its peak resident size is reported.
#pragma once
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
extern "C" {
void __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                               void (*)(const volatile void*));
size_t __sanitizer_get_current_allocated_bytes();
}
#endif

namespace prismora::testsupport {

struct LimitedRun {
  bool returned = false;   // the code returned: no crash, not ended by the limit
  bool overLimit = false;  // the limit ended it
  int result = -1;         // what the code returned (0..255)
  int64_t peakBytes = 0;   // the most allocated at once, above what the child began with
};

namespace memory_limit_detail {
inline int reportFd = -1;
inline int64_t limit = 0;
inline int64_t peak = 0;
constexpr int kOverLimit = 254;

inline void Report() {
  const int64_t value = peak;
  if (write(reportFd, &value, sizeof value) != ssize_t(sizeof value)) _exit(253);
}

#if defined(__SANITIZE_ADDRESS__)
inline int64_t start = 0;
inline void OnMalloc(const volatile void*, size_t) {
  const int64_t now = int64_t(__sanitizer_get_current_allocated_bytes()) - start;
  if (now > peak) peak = now;
  if (now > limit) {
    Report();
    _exit(kOverLimit);
  }
}
inline void OnFree(const volatile void*) {}
#endif
}  // namespace memory_limit_detail

inline LimitedRun RunUnderMemoryLimit(int64_t limitBytes, const std::function<int()>& body) {
  namespace d = memory_limit_detail;
  int fds[2];
  if (pipe(fds) != 0) return {};
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    d::reportFd = fds[1];
    d::limit = limitBytes;
#if defined(__SANITIZE_ADDRESS__)
    d::start = int64_t(__sanitizer_get_current_allocated_bytes());
    __sanitizer_install_malloc_and_free_hooks(d::OnMalloc, d::OnFree);
#else
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    rlimit rl{};
    getrlimit(RLIMIT_AS, &rl);
    // What the process has mapped already (program, libraries, stacks) plus the limit.
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    rl.rlim_cur = rlim_t(pages * sysconf(_SC_PAGESIZE) + limitBytes);
    setrlimit(RLIMIT_AS, &rl);
#endif
    const int result = body();
#if !defined(__SANITIZE_ADDRESS__)
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    d::peak = int64_t(after.ru_maxrss - before.ru_maxrss) * 1024;
#endif
    d::Report();
    _exit(result & 0xFF);
  }
  close(fds[1]);
  LimitedRun run;
  int64_t peak = 0;
  if (read(fds[0], &peak, sizeof peak) == ssize_t(sizeof peak)) run.peakBytes = peak;
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) {
    run.overLimit = WEXITSTATUS(status) == d::kOverLimit;
    run.returned = !run.overLimit && WEXITSTATUS(status) != 253;
    run.result = WEXITSTATUS(status);
  }
  return run;
}

}  // namespace prismora::testsupport
