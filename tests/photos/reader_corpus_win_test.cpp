// The readers that go through the platform's decoders (PNG, TIFF, GIF, icons and the
// bitmap kinds our own reader leaves to them) over other projects' test pictures and
// their damaged copies (tests/support/picture_suites.h): the photo decoder as the runs
// use it, and the picture wrapper as the thumbnail strip uses it, GIF frames included.
// Each copy decodes or is refused with a message naming the file; the strip's decoding
// throws nothing but its own error; GDI objects and handles are all given back (see
// bench/process_counters.h for how they are counted under Wine); the
// process never holds more than one photo may cost on top of what it started with; and
// no copy takes more than a processor-time limit that only a loop without end reaches
// (checked on the decoding thread's own processor time, not the clock).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>

#include "bench/process_counters.h"
#include "builder/photos/photo_memory.h"
#include "builder/photos/photo_runs.h"
#include "builder/photos/win32/picture_decoder.h"
#include "builder/photos/win32/picture.h"
#include "tests/photos/one_photo_project.h"
#include "tests/support/fake_seams.h"
#include "tests/support/memory_surfaces.h"
#include "tests/support/picture_suites.h"

using namespace prismora;
using namespace prismora::photos;

namespace {

double ThreadSeconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  auto s = [](FILETIME f) { return double(uint64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7; };
  return s(kernel) + s(user);
}

// Processor seconds one copy may take on the decoding thread.
constexpr double kCopySeconds = 30;

// Ends the test process, naming the copy, when the decoding thread has spent more than
// kCopySeconds of processor time on one copy.
class Watchdog {
 public:
  explicit Watchdog(HANDLE thread) : thread_(thread), worker_([this] { Watch(); }) {}
  ~Watchdog() {
    stop_ = true;
    worker_.join();
  }
  void Reading(const std::string& name) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      name_ = name;
    }
    ++copy_;
  }

 private:
  void Watch() {
    int seen = -1;
    double start = 0;
    while (!stop_) {
      Sleep(200);  // the watch's beat: five looks a second at the reader's processor time
      const int now = copy_;
      const double spent = ThreadSeconds(thread_);
      if (now != seen) {
        seen = now;
        start = spent;
      } else if (spent - start > kCopySeconds) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::fprintf(stderr, "reader corpus: %s took more than %.0f s of processor time\n",
                     name_.c_str(), kCopySeconds);
        std::fflush(stderr);
        ExitProcess(3);
      }
    }
  }
  HANDLE thread_;
  std::mutex mutex_;
  std::string name_;
  std::atomic<int> copy_{0};
  std::atomic<bool> stop_{false};
  std::thread worker_;
};

struct Counts {
  int decoded = 0, refused = 0, shown = 0, copies = 0;
};

// Every reader over one copy; false, with `failure`, when one breaks a rule.
bool ReadCopy(const std::string& path, const std::vector<uint8_t>& bytes, Counts& counts,
              std::string& failure) {
  testphotos::OnePhotoProject one(path, bytes, MakePlatformPhotoDecoder);
  try {
    const RunResult r = DrawFittedPhoto(one.job, 0);
    if (r.ok) {
      ++counts.decoded;
    } else {
      ++counts.refused;
      if (!testphotos::NamesFileAndWhy(r.error, path)) {
        failure = "refused without naming the file and why: \"" + r.error + "\"";
        return false;
      }
    }
  } catch (const std::exception& e) {
    failure = std::string("the photo decoder threw: ") + e.what();
    return false;
  }
  // The strip: any error but the wrapper's own would leave its thumbnail thread.
  try {
    photos::TIPicture picture;
    try {
      picture.LoadFromStream(&bytes);
    } catch (const photos::PictureError&) {
      return true;
    }
    ++counts.shown;
    const int w = picture.MaxWidth(), h = picture.MaxHeight();
    if (w <= 0 || h <= 0) return true;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 64, 64);
    HGDIOBJ old = SelectObject(dc, bitmap);
    picture.DrawExact(dc, RECT{0, 0, 64, 64});
    if (picture.IsGIFFile() && picture.FrameCount() > 1) {
      picture.FrameTime(2);
      try {
        picture.SetFrame(2);
        picture.DrawExact(dc, RECT{0, 0, 64, 64});
      } catch (const photos::PictureError&) {
      }
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  } catch (const std::exception& e) {
    failure = std::string("the picture wrapper threw: ") + e.what();
    return false;
  }
  return true;
}

}  // namespace

TEST(ReaderCorpusWin, PlatformReadersDecodeOrNameAndRefuseEveryPictureAndGiveEverythingBack) {
  HANDLE self = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  Watchdog watchdog(self);
  // One decode first, so that the codecs' own lasting state is in the starting figures.
  {
    Counts c;
    std::string f;
    ReadCopy("C:\\warm.bmp", {'B', 'M'}, c, f);
  }
  // The first pass goes over every copy and leaves the heap and the codecs at the size
  // the largest picture needed; four more over the suites' own pictures follow, and
  // what they add to that is a leak. (Only over the pictures themselves: Wine's imaging
  // component keeps about a kilobyte of every broken PNG and 16 of every broken GIF it
  // refuses, with every reference we had released, which the damaged copies would add.)
  const bench::ProcessCounters start = bench::CountersOf(GetCurrentProcess());
  bench::ProcessCounters afterFirst;
  for (int pass = 1; pass <= 5; ++pass) {
    for (const testsupport::PictureSuite& suite : testsupport::PictureSuites()) {
      std::string where;
      const std::vector<std::filesystem::path> pictures = testsupport::SuiteFiles(suite, where);
      EXPECT_GE(pictures.size(), 5u)
          << suite.name << "'s test pictures are missing from " << where
          << ": run scripts/bootstrap.sh, which fetches Debian's source package";
      Counts counts;
      for (const std::filesystem::path& picture : pictures) {
        const std::vector<uint8_t> file = testsupport::ReadAll(picture);
        for (const testsupport::DamagedCopy& copy : testsupport::DamagedCopies(file, pass == 1 ? 8 : 0)) {
          if (pass > 1 && copy.label != "whole") continue;
          const std::string name = std::string(suite.name) + "/" + picture.filename().string() + " (" + copy.label + ")";
          watchdog.Reading(name);
          std::string failure;
          ++counts.copies;
          EXPECT_TRUE(ReadCopy("C:\\corpus\\" + picture.filename().string(), copy.bytes, counts, failure))
              << name << ": " << failure;
        }
      }
      if (pass == 1) std::printf("%s: %zu pictures, %d copies: %d photo decodes, %d refusals naming the file, %d shown in the strip\n",
                  suite.name, pictures.size(), counts.copies, counts.decoded, counts.refused, counts.shown);
    }
    if (pass == 1) afterFirst = bench::CountersOf(GetCurrentProcess());
  }
  const bench::ProcessCounters end = bench::CountersOf(GetCurrentProcess());
  std::printf("private bytes %lld MB at the start, %lld MB after every copy, %lld MB after four more passes, peak %lld MB; "
              "GDI objects %ld -> %ld -> %ld, USER objects %ld -> %ld -> %ld, handles %ld -> %ld -> %ld\n",
              (long long)(start.privateBytes >> 20), (long long)(afterFirst.privateBytes >> 20),
              (long long)(end.privateBytes >> 20), (long long)(end.peakPrivateBytes >> 20), start.gdi,
              afterFirst.gdi, end.gdi, start.user, afterFirst.user, end.user, start.handles, afterFirst.handles,
              end.handles);
  EXPECT_GT(start.privateBytes, 0) << "the process's memory could not be read";
  EXPECT_GT(start.handles, 0) << "the process's handles could not be counted";
  EXPECT_LE(end.peakPrivateBytes - start.privateBytes, kPhotoMemoryLimit) << "one copy took more than one photo may";
  EXPECT_LE(end.privateBytes - afterFirst.privateBytes, int64_t(8) << 20) << "the passes over the pictures kept memory";
  EXPECT_LE(end.gdi, afterFirst.gdi + 2);
  EXPECT_LE(end.user, afterFirst.user + 2);
  EXPECT_LE(end.handles, afterFirst.handles + 4);
  CloseHandle(self);
}
