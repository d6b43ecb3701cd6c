// Shows a strip of photos as the builder's main window does (137 x 393, thumbnails of
// 64 pixels), measures how long the first screen takes to draw, then scrolls through
// every photo and reports the process's peak memory.
//   thumbnail_strip_bench FOLDER COUNT [HOLD_MS]
// HOLD_MS keeps the window open at the top of the strip afterwards, for a screenshot.
// FOLDER holds photo0.jpg ... photo<COUNT-1>.jpg. Prints one line:
//   "<COUNT> photos: first screen <s> s processor time, <s> s wall (...), peak ..."
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "builder/thumbnails/thumbnail_list.h"

using prismora::thumbnails::TThumbnailList;

namespace {

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

// Processor time of this process so far: on a shared machine wall-clock time mostly
// measures the other load.
double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto s = [](FILETIME f) { return double(uint64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7; };
  return s(kernel) + s(user);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: thumbnail_strip_bench FOLDER COUNT\n");
    return 2;
  }
  std::string folder = argv[1];
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  int count = std::atoi(argv[2]);

  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "StripBench";
  wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
  RegisterClassA(&wc);
  HWND window = CreateWindowA("StripBench", "strip", WS_OVERLAPPEDWINDOW, 0, 0, 200, 480, nullptr,
                              nullptr, wc.hInstance, nullptr);
  TThumbnailList strip;
  strip.Create(window, RECT{8, 24, 145, 417}, 1);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  Pump();

  // The first screen, as after opening a project: from filling the shown strip until
  // its first paint is done.
  LARGE_INTEGER start, drawn, scrolled;
  double cpuStart = CpuSeconds();
  QueryPerformanceCounter(&start);
  strip.BeginUpdate();  // as opening a project fills the strip
  for (int i = 0; i < count; ++i) strip.AddFile(folder + "photo" + std::to_string(i) + ".jpg");
  strip.EndUpdate();
  UpdateWindow(strip.ListBox());
  QueryPerformanceCounter(&drawn);
  double cpuFirst = CpuSeconds() - cpuStart;
  int firstScreen = strip.DecodeCount();
  Pump();

  int visible = 393 / strip.ThumbnailSize();
  for (int top = 0; top < count; top += visible) {
    strip.SetTopIndex(top);
    strip.Repaint();
    Pump();
  }
  QueryPerformanceCounter(&scrolled);
  int loaded = 0;
  for (int i = 0; i < strip.Count(); ++i) loaded += strip.HasBitmap(i);

  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  std::printf("%d photos: first screen %.2f s processor time, %.2f s wall (%d photos drawn), peak %.0f MB working set, "
              "%.0f MB private; %d of %d thumbnails held, %d decodes, %.0f ms per photo scrolling\n",
              count, cpuFirst, Seconds(start, drawn), firstScreen, double(pmc.PeakWorkingSetSize) / 1048576.0,
              double(pmc.PeakPagefileUsage) / 1048576.0, loaded, count, strip.DecodeCount(),
              1000.0 * Seconds(drawn, scrolled) / std::max(1, count - firstScreen));
  if (argc > 3) {
    strip.SetTopIndex(0);
    strip.SetSelected(1, true);
    strip.Repaint();
    DWORD end = GetTickCount() + DWORD(std::atoi(argv[3]));
    while (int(end - GetTickCount()) > 0) {
      Pump();
      Sleep(20);
    }
  }
  DestroyWindow(window);
  return loaded == count ? 0 : 1;
}
