// What a process holds, as another process (or it itself) can ask Windows: private
// bytes, working set, GDI and USER objects, kernel handles. Under Wine some answers are
// missing (GetGuiResources always says 0, GetProcessHandleCount and PrivateUsage too):
// the private bytes then come from the page-file figure, which is the same number on
// Windows NT, and the handles are counted one by one, by duplicating every handle value
// up to the size of the process's handle table (which the system's process list gives:
// Wine reports the table's allocated size there, not the handles in use).
#pragma once
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace prismora::bench {

struct ProcessCounters {
  int64_t privateBytes = 0, peakPrivateBytes = 0, workingSet = 0;
  long gdi = 0, user = 0, handles = 0;
};

inline long HandleCountFromProcessList(DWORD pid) {
  using Query = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
  static const auto query =
      reinterpret_cast<Query>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation"));
  if (!query) return 0;
  std::vector<uint8_t> buffer(1 << 20);
  ULONG needed = 0;
  while (query(SystemProcessInformation, buffer.data(), ULONG(buffer.size()), &needed) != 0) {
    if (buffer.size() >= (size_t(64) << 20)) return 0;
    buffer.resize(buffer.size() * 2);
  }
  for (size_t at = 0;;) {
    const auto* p = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
    if (DWORD(uintptr_t(p->UniqueProcessId)) == pid) return long(p->HandleCount);
    if (p->NextEntryOffset == 0) return 0;
    at += p->NextEntryOffset;
  }
}

// Handle values are multiples of four; a value duplicates when it names an open handle.
// Needs PROCESS_DUP_HANDLE access to the process.
inline long HandlesByDuplicating(HANDLE process, long slots) {
  long n = 0;
  for (long i = 1; i <= slots; ++i) {
    HANDLE copy = nullptr;
    if (DuplicateHandle(process, HANDLE(uintptr_t(i) * 4), GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
      ++n;
      CloseHandle(copy);
    }
  }
  return n;
}

// The same handles by their kind ("Event", "File", "Process", ...): where a count grows,
// the kind says which code to look at.
inline std::map<std::string, int> HandleKinds(HANDLE process, long slots) {
  using Query = NTSTATUS(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);
  static const auto query = reinterpret_cast<Query>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject"));
  std::map<std::string, int> kinds;
  for (long i = 1; i <= slots; ++i) {
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process, HANDLE(uintptr_t(i) * 4), GetCurrentProcess(), &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
      continue;
    alignas(8) uint8_t info[1024] = {};
    std::string name = "?";
    if (query && query(copy, OBJECT_INFORMATION_CLASS(2), info, sizeof info, nullptr) == 0) {
      const auto* type = reinterpret_cast<const UNICODE_STRING*>(info);
      name.clear();
      for (USHORT c = 0; c < type->Length / 2; ++c) name += char(type->Buffer[c]);
    }
    ++kinds[name];
    CloseHandle(copy);
  }
  return kinds;
}

inline ProcessCounters CountersOf(HANDLE process) {
  ProcessCounters c;
  PROCESS_MEMORY_COUNTERS_EX m{};
  m.cb = sizeof m;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m)) {
    c.privateBytes = int64_t(m.PrivateUsage ? m.PrivateUsage : m.PagefileUsage);
    c.peakPrivateBytes = int64_t(m.PeakPagefileUsage);
    c.workingSet = int64_t(m.WorkingSetSize);
  }
  c.gdi = long(GetGuiResources(process, GR_GDIOBJECTS));
  c.user = long(GetGuiResources(process, GR_USEROBJECTS));
  DWORD handles = 0;
  if (GetProcessHandleCount(process, &handles) && handles > 0) {
    c.handles = long(handles);
  } else {
    const long table = HandleCountFromProcessList(GetProcessId(process));
    c.handles = HandlesByDuplicating(process, table > 0 ? table + 64 : 4096);
  }
  return c;
}

// The windows a process has (top-level ones and all their children): what can be
// counted of its USER objects where GetGuiResources says nothing.
inline long WindowCountOf(DWORD pid) {
  struct Count {
    DWORD pid;
    long n = 0;
  } count{pid};
  EnumWindows(
      [](HWND w, LPARAM p) CALLBACK -> BOOL {
        auto& c = *reinterpret_cast<Count*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != c.pid) return TRUE;
        ++c.n;
        EnumChildWindows(
            w, [](HWND, LPARAM q) CALLBACK -> BOOL { return ++*reinterpret_cast<long*>(q), TRUE; },
            reinterpret_cast<LPARAM>(&c.n));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.n;
}

}  // namespace prismora::bench
