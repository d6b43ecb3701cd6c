// One screen saver run with many photos, as installed: the template file with a builder
// record for COUNT photos and the change interval appended, the photos in the system
// folder's "<Title>\" folder (eight distinct 512 x 512 bitmaps, linked under every other
// name), started full screen (/s) with PRISMORA_FRAME_LOG set, closed after SECONDS.
//   saver_photos_bench TEMPLATE WORK_FOLDER COUNT INTERVAL SECONDS
// Prints one line:
//   "5000 photos, change every 5 s: start 420 ms, 3100 ticks, median 9.1 ms, 99th percentile
//    14.2 ms, worst 31.0 ms; peak 48 MB working set, 30 MB private"
// start is the time from the process's creation to the end of its first drawn tick.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/trailer.h"
#include "runtime/core/frame_log.h"

using namespace prismora;

namespace {

std::vector<uint8_t> Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}

// A 512 x 512 24-bit bitmap of noise over a colour of its own, so mip levels differ.
std::vector<uint8_t> Photo(int seed) {
  constexpr int side = 512;
  std::vector<uint8_t> f(54 + side * side * 3);
  auto put = [&](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) f[at + i] = uint8_t(v >> (8 * i));
  };
  f[0] = 'B', f[1] = 'M';
  put(2, uint32_t(f.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, side, 4);
  put(22, side, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, side * side * 3, 4);
  uint32_t state = uint32_t(seed) * 2654435761u + 1;
  for (size_t p = 54; p < f.size(); ++p) {
    state = state * 1664525u + 1013904223u;
    f[p] = uint8_t((state >> 24) / 2 + uint32_t(seed * 37 + int(p % 3) * 80) % 128);
  }
  return f;
}

std::string SystemFolder() {
  char folder[MAX_PATH + 1] = {};
  UINT n = GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder, n <= MAX_PATH ? n : 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: saver_photos_bench TEMPLATE WORK_FOLDER COUNT INTERVAL SECONDS\n");
    return 2;
  }
  const std::string templatePath = argv[1], work = std::string(argv[2]) + "\\";
  const int count = std::atoi(argv[3]), interval = std::atoi(argv[4]), seconds = std::atoi(argv[5]);
  const std::string title = "PhotoBench" + std::to_string(count);

  // The photos where the installed screen saver looks for them.
  const std::string photos = SystemFolder() + "\\" + title + "\\";
  CreateDirectoryA(photos.c_str(), nullptr);
  constexpr int kDistinct = 8;
  for (int i = 0; i < count; ++i) {
    const std::string path = photos + title + std::to_string(i) + ".bmp";
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    const bool made = i < kDistinct ? Write(path, Photo(i))
                                    : CreateHardLinkA(path.c_str(),
                                                      (photos + title + std::to_string(i % kDistinct) + ".bmp").c_str(),
                                                      nullptr) != FALSE;
    if (!made) {
      std::fprintf(stderr, "saver_photos_bench: cannot make %s\n", path.c_str());
      return 1;
    }
  }

  // The screen saver file, as a build writes it.
  trailer::BuilderRecordFields fields;
  fields.title = title;
  fields.author = "bench";
  fields.photoCount = count;
  fields.photoChangeSeconds = interval;
  std::vector<uint8_t> saver = Read(templatePath);
  if (saver.empty()) {
    std::fprintf(stderr, "saver_photos_bench: cannot read %s\n", templatePath.c_str());
    return 1;
  }
  const trailer::BuilderRecord record = trailer::makeBuilderRecord(fields);
  saver.insert(saver.end(), record.begin(), record.end());
  const std::string saverPath = work + title + ".scr";
  const std::string logPath = work + title + "-" + std::to_string(interval) + ".frames";
  if (!Write(saverPath, saver)) return 1;
  DeleteFileA(logPath.c_str());
  SetEnvironmentVariableA("PRISMORA_FRAME_LOG", logPath.c_str());

  std::string command = "\"" + saverPath + "\" /s";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::fprintf(stderr, "saver_photos_bench: cannot start %s\n", saverPath.c_str());
    return 1;
  }
  // The process's own peaks, asked for just before it is closed.
  if (WaitForSingleObject(pi.hProcess, DWORD(seconds) * 1000) != WAIT_TIMEOUT) {
    std::fprintf(stderr, "saver_photos_bench: the screen saver ended by itself\n");
    return 1;
  }
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc);
  if (HWND window = FindWindowA("WindowsScreenSaverClass", nullptr)) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) {
    TerminateProcess(pi.hProcess, 9);
    std::fprintf(stderr, "saver_photos_bench: the screen saver did not close\n");
    return 1;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);

  const std::vector<uint8_t> logBytes = Read(logPath);
  const runtime::FrameLog log = runtime::FrameLog::Parse({reinterpret_cast<const char*>(logBytes.data()), logBytes.size()});
  const runtime::FrameStats stats = runtime::Summarise(log.tickMs);
  std::printf("%d photos, change every %d s: start %.0f ms, %zu ticks, median %.1f ms, 99th percentile %.1f ms, "
              "worst %.1f ms; peak %.0f MB working set, %.0f MB private\n",
              count, interval, log.firstFrameMs, stats.ticks, stats.medianMs, stats.p99Ms, stats.worstMs,
              double(pmc.PeakWorkingSetSize) / 1048576.0,
              double(pmc.PeakPagefileUsage) / 1048576.0);
  return stats.ticks > 0 ? 0 : 1;
}
