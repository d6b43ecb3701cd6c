// The builder's main window with a project of thousands of photos, made in this process
// with the program's own code (as the window tests do), timing what a user does with it:
//   builder_photos_bench BUILDER_FOLDER PHOTO_FOLDER COUNT DROP_FOLDER
// BUILDER_FOLDER (ends in a backslash) gets an auto-save naming PHOTO_FOLDER\photo<i>.jpg
// for i < COUNT, so the window opens it as it opens the last session's project at start.
// DROP_FOLDER holds the photos dropped onto the window. Prints one line per step,
// "<step> <ms> ms" (processor time of this process in brackets), then the peak memory.
#include <windows.h>
#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "builder/project/project_commands.h"
#include "builder/window/main_form.h"
#include "platform/win32/win32_seams.h"
#include "platform/win32/wingui/window.h"

using namespace prismora;

namespace {

struct CountingBoxes : platform::MessageBoxes {
  int shown = 0;
  platform::BoxAnswer Show(platform::WindowHandle, const std::string& text, const std::string&,
                           platform::BoxIcon, platform::BoxButtons) override {
    ++shown;
    std::fprintf(stderr, "box: %s\n", text.c_str());
    return platform::BoxAnswer::Ok;
  }
};
struct NoDialogs : platform::FileDialogs {
  std::vector<std::string> Open(platform::WindowHandle, const platform::FileDialogOptions&) override { return {}; }
  std::optional<std::string> Save(platform::WindowHandle, const platform::FileDialogOptions&) override {
    return std::nullopt;
  }
};
struct NoColors : platform::ColorDialogs {
  std::optional<uint32_t> Choose(platform::WindowHandle, uint32_t) override { return std::nullopt; }
};
struct NoShell : platform::Shell {
  void Open(const std::string&) override {}
};

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

double NowMs() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / double(f.QuadPart);
}

double CpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](FILETIME f) { return double(uint64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e4; };
  return ms(kernel) + ms(user);
}

// Times one step: wall clock and this process's processor time.
template <typename Step>
void Time(const char* name, Step step, int repeats = 1) {
  const double wall = NowMs(), cpu = CpuMs();
  for (int i = 0; i < repeats; ++i) step();
  const double wallMs = (NowMs() - wall) / repeats, cpuMs = (CpuMs() - cpu) / repeats;
  std::printf("%s %.1f ms (%.1f ms processor)\n", name, wallMs, cpuMs);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: builder_photos_bench BUILDER_FOLDER PHOTO_FOLDER COUNT DROP_FOLDER\n");
    return 2;
  }
  const std::string builderFolder = argv[1], photoFolder = argv[2], dropFolder = argv[4];
  const int count = std::atoi(argv[3]);
  OleInitialize(nullptr);
  platform::Win32FileSystem files;
  CountingBoxes boxes;
  NoDialogs dialogs;
  NoColors colors;
  NoShell shell;
  wingui::SetErrorReporter([](HWND, const std::string& text) { std::fprintf(stderr, "error: %s\n", text.c_str()); });

  // The last session's project, as closing the builder left it.
  {
    project::ProjectSettings s = project::FirstStartSettings();
    s.Title = "Holiday";
    s.Author = "Anna";
    for (int i = 0; i < count; ++i) s.Photos.push_back(photoFolder + "\\photo" + std::to_string(i) + ".jpg");
    project::WriteAutoSave(nullptr, builderFolder, s, files, boxes);
  }

  window::TForm1 form(window::FormSeams{boxes, files, dialogs, colors, shell, builderFolder, nullptr});
  thumbnails::TThumbnailList& strip = form.Strip();
  const int decodesBefore = strip.DecodeCount();
  // Start: the window made, the project read, the window shown and its first screen drawn.
  Time("open", [&] {
    form.Create();
    form.Show(SW_SHOWNORMAL);
    UpdateWindow(form.Handle());
    UpdateWindow(strip.ListBox());
  });
  std::printf("  %d photos in the strip, %d thumbnails made for the first screen\n", form.PhotoCount(),
              strip.DecodeCount() - decodesBefore);
  Pump();

  // Scrolling: pages at twenty places through the list, each drawn at once.
  const int page = std::max(1, 393 / strip.ThumbnailSize());
  Time("scroll one page", [&, at = 0]() mutable {
    at += std::max(page, count / 20);
    strip.SetTopIndex(std::min(at, count - 1));
    UpdateWindow(strip.ListBox());
    Pump();
  }, 20);
  // Then through the whole list, page by page, as a user dragging the scroll bar slowly:
  // every thumbnail made once, at most the strip's limit of them kept.
  Time("scroll through all, per page", [&, at = 0]() mutable {
    strip.SetTopIndex(at);
    UpdateWindow(strip.ListBox());
    Pump();
    at += page;
  }, (count + page - 1) / page);
  int held = 0;
  for (int i = 0; i < strip.Count(); ++i) held += strip.HasBitmap(i);
  std::printf("  %d thumbnails made in all, %d held\n", strip.DecodeCount() - decodesBefore, held);
  strip.SetTopIndex(0);
  strip.SetSelected(0, true);
  strip.SetItemIndex(0);
  Pump();

  // Reordering: the current photo down one place at a time, from the middle.
  strip.SetSelected(0, false);
  strip.SetSelected(count / 2, true);
  strip.SetItemIndex(count / 2);
  Time("move one photo", [&] {
    form.MoveCurrentPhoto(1);
    Pump();
  }, 50);

  // Clicking a photo: the preview square shows it fitted.
  Time("show a photo", [&] {
    form.ShowCurrentPhoto();
    Pump();
  }, 5);

  // A folder dropped onto the window.
  const int before = form.PhotoCount();
  Time("drop a folder", [&] {
    form.AddDroppedPhotos({dropFolder});
    UpdateWindow(strip.ListBox());
    Pump();
  });
  const int dropped = form.PhotoCount() - before;
  std::printf("  %d photos dropped\n", dropped);

  // Removing: one photo from the middle, then the dropped ones selected together.
  strip.SetSelected(count / 2 + 50, false);
  strip.SetSelected(count / 3, true);
  strip.SetItemIndex(count / 3);
  Time("remove one photo", [&] {
    form.RemoveSelectedPhotos();
    Pump();
  });
  for (int i = form.PhotoCount() - dropped; i < form.PhotoCount(); ++i) strip.SetSelected(i, true);
  Time("remove the dropped photos", [&] {
    form.RemoveSelectedPhotos();
    Pump();
  });

  // Closing writes the auto-save.
  Time("auto-save", [&] { form.FormClose(); });
  std::printf("  %d photos saved, %d message boxes\n", form.PhotoCount(), boxes.shown);

  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  std::printf("peak %.0f MB working set, %.0f MB private\n", double(pmc.PeakWorkingSetSize) / 1048576.0,
              double(pmc.PeakPagefileUsage) / 1048576.0);
  return 0;
}
