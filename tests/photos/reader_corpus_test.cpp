// Every platform-free photo reader over the pictures other projects publish for testing
// their own readers, and over copies of each cut short and with bits flipped (see
// tests/support/picture_suites.h): the photo runs' decoding (the window's thread and the
// workers'), the strip's JPEG thumbnails, the declared-size check before the platform's
// decoders, GIF frame rewriting and the EXIF orientation. Each file either decodes or is
// refused with a message that names it; none crashes (the sanitizers watch every read),
// takes more memory than one photo may, or runs past a processor-time limit that only a
// loop without end reaches. The suites are fetched by scripts/bootstrap.sh; without them
// the test fails and says so.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "builder/photos/bmp.h"
#include "builder/photos/declared_size.h"
#include "builder/photos/fitting_workers.h"
#include "builder/photos/gif_frames.h"
#include "builder/photos/jpeg_orientation.h"
#include "builder/photos/jpeg_thumbnail.h"
#include "builder/photos/photo_runs.h"
#include "tests/photos/one_photo_project.h"
#include "tests/support/fake_seams.h"
#include "tests/support/memory_limit.h"
#include "tests/support/memory_surfaces.h"
#include "tests/support/picture_suites.h"

using namespace prismora;
using namespace prismora::photos;

namespace {

// What the child that reads one file's copies tells the test, in memory both share.
struct Report {
  char current[256];   // the copy being read, so a crash or a limit names it
  char failure[1024];  // the first broken rule, if any
  int decoded, refused, copies;
};

// The most one file's copies may take at once: one photo's limit and the copies' bytes.
constexpr int64_t kMemoryLimit = kPhotoMemoryLimit + (int64_t(64) << 20);
// Processor seconds for one copy, sanitizers included: a suite's largest picture (24
// megapixels, decoded at both fittings and by a worker) takes a few seconds, a slow machine
// a few times that. Only a reader that never ends reaches it. The limit is per copy: the
// copies of one large picture together take minutes of honest work.
constexpr rlim_t kProcessorSecondsPerCopy = 60;

// Lets this process run `seconds` more of processor time, then ends it (SIGXCPU). Only the
// soft limit moves, so it can be raised again for the next copy without privileges.
void AllowProcessorSeconds(rlim_t seconds) {
  rusage used{};
  getrusage(RUSAGE_SELF, &used);
  rlimit cpu{};
  getrlimit(RLIMIT_CPU, &cpu);
  cpu.rlim_cur = rlim_t(used.ru_utime.tv_sec + used.ru_stime.tv_sec + 1) + seconds;
  if (cpu.rlim_max != RLIM_INFINITY && cpu.rlim_cur > cpu.rlim_max) cpu.rlim_cur = cpu.rlim_max;
  setrlimit(RLIMIT_CPU, &cpu);
}

// Every reader over one copy; false, with `failure`, when one breaks a rule.
bool ReadCopy(const std::string& path, const std::vector<uint8_t>& bytes, Report& report,
              std::string& failure) {
  // The window's thread: the photo decoder as the runs and the preview use it, under
  // both fittings (they decode at different scales).
  testphotos::OnePhotoProject one(path, bytes, [](platform::FileSystem& files) {
    return MakePhotoDecoder(files, nullptr);
  });
  for (int method : {project::kResizePictures, project::kUseBorder}) {
    one.settings.ResizeMethod = method;
    const RunResult r = DrawFittedPhoto(one.job, 0);
    if (r.ok) {
      ++report.decoded;
      continue;
    }
    ++report.refused;
    if (!testphotos::NamesFileAndWhy(r.error, path)) {
      failure = "refused without naming the file and why: \"" + r.error + "\"";
      return false;
    }
  }
  // The workers: decode, fit and encode away from the window, under the shared budget.
  FittingPlan plan;
  plan.preview = {kPreviewSide, kPreviewSide};
  plan.texture = {kTextureSide, kTextureSide};
  plan.kind = OutputKind::Jpeg;
  int64_t largestAsk = 0;
  const MemoryGate gate = [&](int64_t b) {
    largestAsk = std::max(largestAsk, b);
    return b <= kPhotoMemoryLimit;
  };
  DecodedPhoto scratch;
  FittedPhoto fitted;
  FitPhotoBytes(bytes, 0, plan, scratch, fitted, gate);
  if (fitted.outcome == FittedPhoto::Outcome::Failed && fitted.error.empty()) {
    failure = "a worker refused it without a reason";
    return false;
  }
  if (fitted.outcome == FittedPhoto::Outcome::Fitted &&
      (fitted.texture.Width() != kTextureSide || fitted.encoded.empty())) {
    failure = "a worker's result has no texture or no file";
    return false;
  }
  // The strip's thumbnail of a JPEG.
  photos::JpegRefusal refusal{};
  if (auto t = photos::DecodeJpegThumbnail(bytes, {64, 64}, &refusal)) {
    if (t->image.width > 64 || t->image.height > 64 || t->image.width <= 0) {
      failure = "a thumbnail of " + std::to_string(t->image.width) + " x " +
                std::to_string(t->image.height) + " for a 64 x 64 place";
      return false;
    }
  }
  // What the platform's decoders would be asked to allocate.
  photos::ReadDeclaredSize(bytes);
  photos::DeclaredSizeAffordable(bytes);
  // GIF frames: the picture wrapper copies a rewritten GIF into a block the size of the
  // original, so no rewriting may be longer.
  const int frames = photos::gif::FrameCount(bytes);
  for (int n = 1; n <= frames && n <= 3; ++n) {
    photos::gif::FrameTime(bytes, n);
    if (photos::gif::SelectFrame(bytes, n).bytes.size() > bytes.size()) {
      failure = "frame " + std::to_string(n) + " rewritten longer than the file";
      return false;
    }
  }
  if (frames > 3) photos::gif::SelectFrame(bytes, frames);
  JpegOrientation(bytes);
  if (largestAsk > kPhotoMemoryLimit && fitted.outcome == FittedPhoto::Outcome::Fitted) {
    failure = "decoded although it asked for " + std::to_string(largestAsk) + " bytes";
    return false;
  }
  return true;
}

}  // namespace

// Each suite in two halves (every other picture), one case each, so that ctest's shards
// (see tests/photos/CMakeLists.txt) share even the largest suite's work.
constexpr size_t kHalves = 2;
class ReaderCorpus : public testing::TestWithParam<size_t> {};

TEST_P(ReaderCorpus, EveryReaderDecodesOrNamesAndRefusesEveryPictureOfTheSuiteAndItsDamagedCopies) {
  auto* report = static_cast<Report*>(
      mmap(nullptr, sizeof(Report), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(report, MAP_FAILED);
  {
    const testsupport::PictureSuite& suite = testsupport::PictureSuites()[GetParam() / kHalves];
    const size_t half = GetParam() % kHalves;
    std::string where;
    std::vector<std::filesystem::path> pictures;
    const std::vector<std::filesystem::path> all = testsupport::SuiteFiles(suite, where);
    for (size_t i = half; i < all.size(); i += kHalves) pictures.push_back(all[i]);
    // Fewer than a handful means the source is not there (or not unpacked), not a suite.
    EXPECT_GE(all.size(), 5u)
        << suite.name << "'s test pictures are missing from " << where
        << ": run scripts/bootstrap.sh, which fetches Debian's source package";
    int decoded = 0, refused = 0, copies = 0;
    int64_t peak = 0;
    for (const std::filesystem::path& picture : pictures) {
      const std::string name = std::string(suite.name) + "/" + picture.filename().string();
      std::memset(report, 0, sizeof *report);
      const testsupport::LimitedRun run = testsupport::RunUnderMemoryLimit(kMemoryLimit, [&] {
        const std::vector<uint8_t> file = testsupport::ReadAll(picture);
        for (const testsupport::DamagedCopy& copy : testsupport::DamagedCopies(file)) {
          AllowProcessorSeconds(kProcessorSecondsPerCopy);
          std::snprintf(report->current, sizeof report->current, "%s", copy.label.c_str());
          const std::string path = "C:\\corpus\\" + picture.filename().string();
          std::string failure;
          ++report->copies;
          if (!ReadCopy(path, copy.bytes, *report, failure)) {
            std::snprintf(report->failure, sizeof report->failure, "%s: %s", copy.label.c_str(),
                          failure.c_str());
            return 1;
          }
        }
        return 0;
      });
      EXPECT_TRUE(run.returned) << name << " (copy \"" << report->current << "\"): "
                                << (run.overLimit ? "took more memory than one photo may"
                                                  : "crashed or ran past its processor time");
      EXPECT_EQ(run.result, 0) << name << " " << report->failure;
      decoded += report->decoded;
      refused += report->refused;
      copies += report->copies;
      peak = std::max(peak, run.peakBytes);
    }
    std::printf("%s: %zu pictures, %d copies: %d decodes, %d refusals naming the file, peak %lld MB\n",
                suite.name, pictures.size(), copies, decoded, refused, (long long)(peak >> 20));
  }
  munmap(report, sizeof *report);
}

INSTANTIATE_TEST_SUITE_P(Suites, ReaderCorpus,
                         testing::Range<size_t>(0, testsupport::PictureSuites().size() * kHalves),
                         [](const testing::TestParamInfo<size_t>& info) {
                           std::string name = testsupport::PictureSuites()[info.param / kHalves].name;
                           std::erase(name, '-');
                           return name + "_" + std::to_string(info.param % kHalves + 1);
                         });
