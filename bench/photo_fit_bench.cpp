// Times the builder's two photo runs on a list of one photo repeated: libjpeg decoding at
// the reduced scale, the border fit onto the 512 × 512 canvas (and the 256 × 256
// preview), and writing the photo bitmap or the installer's quality-90 JPEG. Run by
// bench/photo-fit, which compares it with ImageMagick.
//   photo_fit_bench <photo.jpg> <output folder> <photos per run>
// Prints "bmp <ms per photo>" and "jpg <ms per photo>": processor time of the fastest of
// three runs on one thread. The machine this runs on is shared; wall-clock time and
// averages would measure the other load as well.
//   photo_fit_bench threads <photo.jpg> <output folder> <photos> [<n>]
// Prints "threads <n>", then "bmp <s with one thread> <s with n>" and the same for "jpg":
// wall-clock seconds of the fastest of five runs each, taken in turns, since processor
// time cannot show what several cores gain. n is one per core unless given; given, only n is timed (the
// one-thread figure is 0), to watch one setting with a profiler or `time`.
//   photo_fit_bench peak
// Decodes crafted JPEGs (small files whose frame header declares a huge size, sequential
// and progressive) with both decoders, each in a child process, and prints
// "peak <MB> <what>": the largest peak resident size of those children and the photo
// that caused it.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "builder/photos/jpeg_thumbnail.h"
#include "builder/photos/photo_runs.h"
#include "tests/support/jpeg_maker.h"

using namespace prismora;
using namespace prismora::photos;

namespace {

// Just the file operations the runs use, on the plain C++ library.
struct StdFiles : platform::FileSystem {
  bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) override {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    out.resize(size_t(in.tellg()));
    in.seekg(0);
    return bool(in.read(reinterpret_cast<char*>(out.data()), std::streamsize(out.size())));
  }
  bool ReplaceFileContents(const std::string& path, std::span<const uint8_t> data) override {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(out);
  }
  bool CopyReplacing(const std::string&, const std::string&) override { return false; }
  bool CanOpenForRead(const std::string&) override { return false; }
  bool AppendToFile(const std::string&, std::span<const uint8_t>) override { return false; }
  bool RemoveFile(const std::string&) override { return false; }
  bool FileExists(const std::string&) override { return false; }
};

struct NoPump : platform::MessagePump {
  void RunPending() override {}
  void Pause(int) override {}
};

struct NoProgress : ProgressUi {
  void Show() override {}
  void Hide() override {}
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
  void SetLabel(const std::string&) override {}
};

struct Canvases : FittingSurfaces {
  PixelImage preview{kPreviewSide, kPreviewSide}, forSave{kTextureSide, kTextureSide};
  PixelView Preview() override { return preview.View(); }
  PixelView ForSave() override { return forSave.View(); }
  void Drawn() override {}
};

struct Timing {
  double processorMs = -1;  // per photo
  double wallSeconds = -1;  // the whole run
};

// The fastest of `runs` runs over `photos` copies of the photo.
Timing TimeRuns(const std::string& photo, const std::string& folder, bool jpeg, int photos,
                int threads, int runs = 3) {
  StdFiles files;
  NoPump pump;
  NoProgress progress;
  Canvases surfaces;
  RandomColors random;
  project::ProjectSettings settings;
  settings.Title = "fitted";
  settings.ResizeMethod = project::kUseBorder;
  settings.RandomColor = true;
  settings.Photos.assign(size_t(photos), photo);
  PhotoDecoder decode = MakePhotoDecoder(files, nullptr);
  Timing best;
  for (int run = 0; run < runs; ++run) {
    PhotoJob job{settings, random, surfaces, decode, {}, threads};
    const std::clock_t start = std::clock();
    const auto wallStart = std::chrono::steady_clock::now();
    RunResult r = jpeg ? ExportPhotoJpegs(job, {files, pump, progress}, folder)
                       : PrepareTextures(job, {files, pump, progress}, folder, "preview");
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double ms = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC / photos;
    if (!r.ok) {
      std::fprintf(stderr, "%s\n", r.error.c_str());
      return {};
    }
    if (best.processorMs < 0 || ms < best.processorMs) best.processorMs = ms;
    if (best.wallSeconds < 0 || wall < best.wallSeconds) best.wallSeconds = wall;
  }
  return best;
}

// The crafted photos: refused ones of every kind, and the costliest of each kind that is
// still decoded (found through the decoder's own count).
struct Crafted {
  std::string what;
  std::vector<uint8_t> file;
};

int64_t CountedBytes(const std::vector<uint8_t>& file) {
  int64_t counted = -1;
  DecodedPhoto photo;
  std::string error;
  DecodeJpeg(file, [](int, int) { return PixelSize{512, 512}; }, photo, error, [&](int64_t bytes) {
    counted = bytes;
    return false;
  });
  return counted;
}

std::vector<Crafted> CraftedPhotos() {
  std::vector<Crafted> all;
  auto add = [&](int side, bool progressive) {
    all.push_back({std::string(progressive ? "progressive " : "sequential ") +
                       std::to_string(side) + " x " + std::to_string(side),
                   testjpeg::DeclaringSize(side, side, progressive)});
  };
  for (int side : {65500, 30000, 12000}) {
    add(side, true);
    add(side, false);
  }
  for (bool progressive : {true, false}) {
    int side = 1000;
    while (side + 250 < 30000 &&
           CountedBytes(testjpeg::DeclaringSize(side + 250, side + 250, progressive)) <=
               kPhotoMemoryLimit)
      side += 250;
    add(side, progressive);
  }
  return all;
}

// Peak resident kilobytes of a child process that decodes the file with both decoders.
long PeakKilobytesDecoding(const std::vector<uint8_t>& file) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    DecodedPhoto photo;
    std::string error;
    DecodeJpeg(file, [](int, int) { return PixelSize{512, 512}; }, photo, error);
    photo = {};
    photos::DecodeJpegThumbnail(file, {120, 90});
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status)) return -1;
  return usage.ru_maxrss;
}

int Peak() {
  long worst = 0;
  std::string what;
  for (const Crafted& c : CraftedPhotos()) {
    const long kb = PeakKilobytesDecoding(c.file);
    if (kb < 0) {
      std::fprintf(stderr, "decoding %s crashed\n", c.what.c_str());
      return 1;
    }
    if (kb > worst) worst = kb, what = c.what;
  }
  std::printf("peak %ld %s\n", worst / 1024, what.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "peak") return Peak();
  if ((argc == 5 || argc == 6) && std::string(argv[1]) == "threads") {
    const std::string photo = argv[2], folder = std::string(argv[3]) + "/";
    const int photos = std::max(1, std::atoi(argv[4]));
    const int threads = argc == 6 ? std::max(1, std::atoi(argv[5]))
                                  : int(std::max(1u, std::thread::hardware_concurrency()));
    std::printf("threads %d\n", threads);
    for (bool jpeg : {false, true}) {
      // Rounds of one run each way, so that both see the quiet moments of a shared
      // machine alike; the fastest of each.
      double one = argc == 6 ? 0 : -1, many = -1;
      for (int round = 0; round < 5; ++round) {
        auto fastest = [](double best, double t) { return best < 0 || t < best ? t : best; };
        if (argc == 5) one = fastest(one, TimeRuns(photo, folder, jpeg, photos, 1, 1).wallSeconds);
        many = fastest(many, TimeRuns(photo, folder, jpeg, photos, threads, 1).wallSeconds);
      }
      if (one < 0 || many < 0) return 1;
      std::printf("%s %.3f %.3f\n", jpeg ? "jpg" : "bmp", one, many);
    }
    return 0;
  }
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: %s <photo.jpg> <output folder> <photos per run>\n"
                 "       %s threads <photo.jpg> <output folder> <photos>\n"
                 "       %s peak\n",
                 argv[0], argv[0], argv[0]);
    return 2;
  }
  const std::string photo = argv[1], folder = std::string(argv[2]) + "/";
  const int photos = std::max(1, std::atoi(argv[3]));
  double bmp = TimeRuns(photo, folder, false, photos, 1).processorMs;
  double jpg = TimeRuns(photo, folder, true, photos, 1).processorMs;
  if (bmp < 0 || jpg < 0) return 1;
  std::printf("bmp %.2f\njpg %.2f\n", bmp, jpg);
  return 0;
}
