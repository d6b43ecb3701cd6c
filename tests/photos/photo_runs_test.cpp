// The conversion runs over in-memory files: names, progress, colours and failures.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>
#include <stdexcept>
#include <map>
#include <thread>

#include "builder/photos/bmp.h"
#include "builder/photos/fitting_workers.h"
#include "builder/photos/photo_runs.h"
#include "tests/support/fake_seams.h"
#include "tests/support/memory_surfaces.h"
#include "tests/support/jpeg_maker.h"

using namespace prismora;
using namespace prismora::photos;

namespace {

using testsupport::MemorySurfaces;

// Records every call in order, as one line each.
struct RecordingProgress : ProgressUi {
  std::vector<std::string> calls;
  std::vector<std::string> labels;
  int maximum = -1, highest = -1;
  bool visible = false;
  void Show() override { calls.push_back("show"), visible = true; }
  void Hide() override { calls.push_back("hide"), visible = false; }
  void SetRange(int lo, int hi) override {
    calls.push_back("range " + std::to_string(lo) + " " + std::to_string(hi));
    maximum = hi;
  }
  void SetPosition(int p) override { highest = std::max(highest, p); }
  void SetLabel(const std::string& t) override { labels.push_back(t); }
};

std::vector<uint8_t> SolidJpeg(int w, int h, uint32_t color) {
  PixelImage img(w, h);
  Fill(img.View(), color);
  std::vector<uint8_t> out;
  std::string error;
  EncodeJpeg(img.View(), 95, out, error);
  return out;
}

bool Near(uint32_t a, uint32_t b, int tolerance = 10) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

constexpr uint32_t kRed = 0x000000FF, kGreen = 0x0000FF00, kBlue = 0x00FF0000;

struct Runs : ::testing::Test {
  testsupport::FakeFiles files;
  testsupport::FakePump pump;
  RecordingProgress progress;
  MemorySurfaces surfaces;
  RandomColors random;
  project::ProjectSettings settings;
  PhotoDecoder decode = MakePhotoDecoder(files, nullptr);
  // Worker threads, more than most photo lists here, whatever the machine has.
  PhotoJob job{settings, random, surfaces, decode, {}, 3};
  RunSeams seams{files, pump, progress};

  void AddPhotos(int n, int w = 800, int h = 600, uint32_t color = kGreen) {
    for (int i = 0; i < n; ++i) {
      std::string path = "C:\\photos\\p" + std::to_string(i) + ".jpg";
      files.files[path] = SolidJpeg(w, h, color);
      settings.Photos.push_back(path);
    }
  }
  PixelImage ReadBmp(const std::string& path) {
    PixelImage img;
    std::string error;
    EXPECT_TRUE(DecodeBmp(files.files[path], img, error)) << path << ": " << error;
    return img;
  }
};

}  // namespace

TEST_F(Runs, FivePhotosGiveFiveBitmapsAndLabelsZeroToFour) {
  AddPhotos(5);
  RunResult r = PrepareTextures(job, seams, "C:\\windows\\system32\\preview\\", "preview");
  ASSERT_TRUE(r.ok) << r.error;
  for (int i = 0; i < 5; ++i) {
    PixelImage img = ReadBmp("C:\\windows\\system32\\preview\\preview" + std::to_string(i) + ".bmp");
    EXPECT_EQ(img.Width(), 512);
    EXPECT_EQ(img.Height(), 512);
  }
  EXPECT_EQ(files.files.count("C:\\windows\\system32\\preview\\preview5.bmp"), 0u);
  EXPECT_EQ(progress.labels, (std::vector<std::string>{"Photo 1 of 5: p0.jpg", "Photo 2 of 5: p1.jpg",
                                                       "Photo 3 of 5: p2.jpg", "Photo 4 of 5: p3.jpg",
                                                       "Photo 5 of 5: p4.jpg"}));
  EXPECT_EQ(progress.maximum, 5);
  EXPECT_EQ(progress.highest, 4);  // the bar never reaches its end during the run
  EXPECT_FALSE(progress.visible);
  EXPECT_EQ(surfaces.drawn, 5);
  EXPECT_GE(pump.runs, 5);  // the windows get to repaint once per photo
}

TEST_F(Runs, BitmapsShowTheBorderInTheBandsAndThePhotoInside) {
  AddPhotos(2);
  settings.ResizeMethod = project::kUseBorder;
  settings.RandomColor = false;
  settings.BorderColor = kBlue;
  ASSERT_TRUE(PrepareTextures(job, seams, "D:\\", "t").ok);
  PixelImage img = ReadBmp("D:\\t1.bmp");
  for (int x : {0, 300, 511}) {
    EXPECT_EQ(img.View().At(x, 0), kBlue);
    EXPECT_EQ(img.View().At(x, 63), kBlue);
    EXPECT_TRUE(Near(img.View().At(x, 64), kGreen));
    EXPECT_TRUE(Near(img.View().At(x, 447), kGreen));
    EXPECT_EQ(img.View().At(x, 448), kBlue);
    EXPECT_EQ(img.View().At(x, 511), kBlue);
  }
  // The visible preview shows the same photo at half size.
  EXPECT_EQ(surfaces.preview.View().At(128, 31), kBlue);
  EXPECT_TRUE(Near(surfaces.preview.View().At(128, 32), kGreen));
  EXPECT_EQ(surfaces.preview.View().At(128, 224), kBlue);
}

TEST_F(Runs, RandomColourIsDrawnOncePerPhotoAndSharedByBothSurfaces) {
  AddPhotos(3, 600, 800);
  settings.ResizeMethod = project::kUseBorder;
  settings.RandomColor = true;
  ASSERT_TRUE(PrepareTextures(job, seams, "D:\\", "t").ok);
  EXPECT_EQ(ReadBmp("D:\\t0.bmp").View().At(0, 100), 346u);
  EXPECT_EQ(ReadBmp("D:\\t1.bmp").View().At(0, 100), 130u);
  EXPECT_EQ(ReadBmp("D:\\t2.bmp").View().At(511, 100), 10982u);
  EXPECT_EQ(surfaces.preview.View().At(0, 100), 10982u);
  // The export that follows takes the next draws of the same sequence.
  ASSERT_TRUE(ExportPhotoJpegs(job, seams, "C:\\b\\").ok);
  RandomColors fresh;
  for (int i = 0; i < 5; ++i) fresh.NextRandomColor();
  EXPECT_EQ(surfaces.forSave.View().At(0, 100), fresh.NextRandomColor());
}

TEST_F(Runs, StretchingCoversTheSquareAndDrawsNoColour) {
  AddPhotos(2, 800, 600, kRed);
  settings.ResizeMethod = project::kResizePictures;
  settings.RandomColor = true;
  ASSERT_TRUE(PrepareTextures(job, seams, "D:\\", "t").ok);
  PixelImage img = ReadBmp("D:\\t0.bmp");
  for (int y : {0, 63, 256, 511}) EXPECT_TRUE(Near(img.View().At(5, y), kRed));
  EXPECT_EQ(random.NextRandomColor(), 346u);  // nothing was drawn before
}

TEST_F(Runs, ExportWritesTitledJpegsWithRedBands) {
  AddPhotos(2);
  settings.Title = "My Saver";
  settings.ResizeMethod = project::kUseBorder;
  settings.RandomColor = false;
  settings.BorderColor = kRed;
  RunResult r = ExportPhotoJpegs(job, seams, "C:\\Tools\\");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(files.files.count("C:\\Tools\\My Saver0.jpg"), 1u);
  DecodedPhoto back;
  std::string error;
  ASSERT_TRUE(DecodeJpeg(files.files["C:\\Tools\\My Saver1.jpg"],
                         [](int w, int h) { return PixelSize{w, h}; }, back, error));
  ASSERT_EQ(back.pixels.Width(), 512);
  ASSERT_EQ(back.pixels.Height(), 512);
  for (int y = 0; y < 512; y += 1) {
    uint32_t c = back.pixels.View().At(256, y);
    bool band = y < 64 || y >= 448;
    // The rows next to an edge share their colour samples with the other side (the
    // default 2 × 2 chroma subsampling); there the right colour only has to dominate.
    bool edge = (y >= 62 && y < 66) || (y >= 446 && y < 450);
    int red = int(c & 0xFF), green = int((c >> 8) & 0xFF);
    if (edge)
      EXPECT_TRUE(band ? red > green : green > red) << "row " << y << " " << std::hex << c;
    else
      EXPECT_TRUE(Near(c, band ? kRed : kGreen, 16)) << "row " << y << " " << std::hex << c;
  }
  EXPECT_EQ(progress.labels, (std::vector<std::string>{"Photo 1 of 2: p0.jpg", "Photo 2 of 2: p1.jpg"}));
}

TEST_F(Runs, ExportSetsTheLimitsBeforeShowingPrepareShowsFirst) {
  AddPhotos(2);
  ASSERT_TRUE(ExportPhotoJpegs(job, seams, "C:\\b\\").ok);
  EXPECT_EQ(progress.calls, (std::vector<std::string>{"range 0 2", "show", "hide"}));
  progress.calls.clear();
  ASSERT_TRUE(PrepareTextures(job, seams, "C:\\p\\", "preview").ok);
  EXPECT_EQ(progress.calls, (std::vector<std::string>{"show", "range 0 2", "hide"}));
}

TEST_F(Runs, MissingPhotoStopsTheRunHidesProgressAndKeepsEarlierFiles) {
  AddPhotos(3);
  files.files.erase(settings.Photos[1]);
  RunResult r = PrepareTextures(job, seams, "D:\\", "preview");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedIndex, 1);
  EXPECT_NE(r.error.find("p1.jpg"), std::string::npos);
  EXPECT_EQ(files.files.count("D:\\preview0.bmp"), 1u);
  EXPECT_EQ(files.files.count("D:\\preview2.bmp"), 0u);
  EXPECT_FALSE(progress.visible);
  EXPECT_EQ(progress.calls.back(), "hide");
}

TEST_F(Runs, UnreadableFormatWithoutALoaderFailsByName) {
  AddPhotos(1);
  files.files["C:\\photos\\x.gif"] = {'G', 'I', 'F', '8', '9', 'a'};
  settings.Photos.push_back("C:\\photos\\x.gif");
  RunResult r = ExportPhotoJpegs(job, seams, "C:\\b\\");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedIndex, 1);
}

TEST_F(Runs, OtherFormatsGoToTheWindowsLoader) {
  settings.Photos = {"C:\\a.gif", "C:\\b.gif"};
  int asked = 0;
  files.files["C:\\a.gif"] = {'G', 'I', 'F'};
  files.files["C:\\b.gif"] = {'G', 'I', 'F', '8', '9'};
  // The loader gets the bytes the run read: the file is read once.
  std::vector<size_t> sizes;
  decode = MakePhotoDecoder(files, [&](std::span<const uint8_t> file, const DrawSizeFor&,
                                       DecodedPhoto& out, std::string&) {
    ++asked;
    sizes.push_back(file.size());
    out.pixels.Resize(40, 30);
    Fill(out.pixels.View(), kBlue);
    out.fullWidth = 40, out.fullHeight = 30;
    return true;
  });
  settings.ResizeMethod = project::kResizePictures;
  ASSERT_TRUE(PrepareTextures(job, seams, "D:\\", "t").ok);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(sizes, (std::vector<size_t>{3, 5}));
  EXPECT_EQ(ReadBmp("D:\\t1.bmp").View().At(511, 511), kBlue);
}

TEST_F(Runs, UnwritableTargetReportsTheFile) {
  struct ReadOnly : testsupport::FakeFiles {
    bool ReplaceFileContents(const std::string&, std::span<const uint8_t>) override { return false; }
  } ro;
  AddPhotos(2);
  ro.files = files.files;
  PhotoDecoder d = MakePhotoDecoder(ro, nullptr);
  PhotoJob j{settings, random, surfaces, d};
  RunResult r = PrepareTextures(j, RunSeams{ro, pump, progress}, "C:\\windows\\system32\\preview\\", "preview");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedIndex, 0);
  EXPECT_NE(r.error.find("preview0.bmp"), std::string::npos);
  EXPECT_FALSE(progress.visible);
}

namespace {

// Photo `i` of a mixed list: JPEGs of several sizes and patterns (one turned by its EXIF
// tag, one progressive), a bitmap and a file only the window's loader reads; every one
// looks different, so photos that changed places would show.
std::vector<uint8_t> MixedPhoto(int i) {
  auto pattern = [i](int x, int y) {
    return testjpeg::Rgb{uint8_t(x * (i + 1)), uint8_t(y * 3 + i * 40), uint8_t((x ^ y) + i)};
  };
  switch (i % 5) {
    case 0: return testjpeg::MakeJpeg(1200 + 40 * i, 900, pattern);
    case 1: return testjpeg::WithOrientation(testjpeg::MakeJpeg(300, 200 + i, pattern), 6);
    case 2: {
      PixelImage img(90 + i, 60);
      Fill(img.View(), 0x00123456u * uint32_t(i));
      return EncodeBmp24(img.View());
    }
    case 3: return {'O', 'T', 'H', 'E', 'R', uint8_t(i)};
    default: {
      std::vector<uint8_t> samples(size_t(700 * 500 * 3));
      for (size_t k = 0; k < samples.size(); ++k) samples[k] = uint8_t(k * (i + 3) % 253);
      return testjpeg::EncodeSamples(700, 500, 3, samples, 85,
                                     [](jpeg_compress_struct& c) { jpeg_simple_progression(&c); });
    }
  }
}

// The window's loader for the "OTHER" files: a small picture whose colour is the file's
// last byte. It records the threads it was called on.
OtherFormatDecoder FakeLoader(std::vector<std::thread::id>& threads) {
  return [&threads](std::span<const uint8_t> file, const DrawSizeFor&, DecodedPhoto& out,
                    std::string& error) {
    threads.push_back(std::this_thread::get_id());
    if (file.size() != 6) return error = "not mine", false;
    out.pixels.Resize(50, 70);
    Fill(out.pixels.View(), 0x00010203u * file[5]);
    out.fullWidth = 50, out.fullHeight = 70;
    return true;
  };
}

// One whole run over a fresh program state: its files, where the surfaces and the
// colour sequence end up, and what the progress window showed.
struct RunOutcome {
  RunResult result;
  std::map<std::string, std::vector<uint8_t>> files;
  std::vector<uint8_t> preview, texture;
  uint32_t nextColour = 0;
  std::vector<std::string> labels;
  int drawn = 0;
  int pumpRuns = 0;
  std::vector<std::thread::id> loaderThreads;
};

RunOutcome RunOnce(int threads, bool jpegOutput, const std::vector<std::vector<uint8_t>>& photos,
                   int randomDrawsBefore = 0,
                   std::function<void(int, int64_t)> onWorkerMemory = {}) {
  testsupport::FakeFiles files;
  testsupport::FakePump pump;
  RecordingProgress progress;
  MemorySurfaces surfaces;
  RandomColors random;
  for (int i = 0; i < randomDrawsBefore; ++i) random.NextRandomColor();
  project::ProjectSettings settings;
  settings.Title = "T";
  settings.ResizeMethod = project::kUseBorder;
  settings.RandomColor = true;
  for (size_t i = 0; i < photos.size(); ++i) {
    settings.Photos.push_back("C:\\in\\" + std::to_string(i) + ".pic");
    if (!photos[i].empty()) files.files[settings.Photos.back()] = photos[i];
  }
  RunOutcome out;
  PhotoDecoder decode = MakePhotoDecoder(files, FakeLoader(out.loaderThreads));
  PhotoJob job{settings, random, surfaces, decode, {}, threads, std::move(onWorkerMemory)};
  RunSeams seams{files, pump, progress};
  out.result = jpegOutput ? ExportPhotoJpegs(job, seams, "C:\\out\\")
                          : PrepareTextures(job, seams, "C:\\out\\", "p");
  for (auto& [path, bytes] : files.files)
    if (path.rfind("C:\\out\\", 0) == 0) out.files[path] = bytes;
  PixelView p = surfaces.preview.View(), t = surfaces.forSave.View();
  out.preview.assign(p.pixels, p.pixels + p.height * p.stride);
  out.texture.assign(t.pixels, t.pixels + t.height * t.stride);
  out.nextColour = random.NextRandomColor();
  out.labels = progress.labels;
  out.drawn = surfaces.drawn;
  out.pumpRuns = pump.runs;
  return out;
}

std::vector<std::vector<uint8_t>> MixedPhotos(int count) {
  std::vector<std::vector<uint8_t>> photos;
  for (int i = 0; i < count; ++i) photos.push_back(MixedPhoto(i));
  return photos;
}

}  // namespace

// Worker threads change nothing but the time taken: the same files byte for byte, the
// same last picture on both surfaces, the same colours drawn, the same progress.
TEST(ThreadedRuns, WriteWhatTheOneThreadRunWrites) {
  const std::vector<std::vector<uint8_t>> photos = MixedPhotos(12);
  for (bool jpeg : {false, true}) {
    const RunOutcome one = RunOnce(1, jpeg, photos, 2);
    ASSERT_TRUE(one.result.ok) << one.result.error;
    ASSERT_EQ(one.files.size(), 12u);
    for (int threads : {2, 5}) {
      const RunOutcome many = RunOnce(threads, jpeg, photos, 2);
      ASSERT_TRUE(many.result.ok) << many.result.error;
      EXPECT_TRUE(many.files == one.files) << threads << " threads, " << (jpeg ? "JPEG" : "bitmap");
      EXPECT_TRUE(many.preview == one.preview);
      EXPECT_TRUE(many.texture == one.texture);
      EXPECT_EQ(many.nextColour, one.nextColour);
      EXPECT_EQ(many.labels, one.labels);
      EXPECT_EQ(many.drawn, 12);
    }
  }
}

TEST(ThreadedRuns, ColoursFollowTheListWhateverFinishesFirst) {
  // A large photo first and small ones after it: the workers finish the later ones
  // first, and still photo i gets the i-th colour of the sequence. Window messages run
  // while the run waits for the large one, not only once per photo.
  std::vector<std::vector<uint8_t>> photos = {testjpeg::MakeJpeg(3000, 2400, [](int x, int y) {
    return testjpeg::Rgb{uint8_t(x), uint8_t(y), uint8_t(x + y)};
  })};
  for (int i = 0; i < 5; ++i) photos.push_back(testjpeg::SolidJpeg(60, 80, {0, 255, 0}));
  const RunOutcome run = RunOnce(3, false, photos);
  ASSERT_TRUE(run.result.ok) << run.result.error;
  RandomColors expected;
  for (int i = 0; i < 6; ++i) {
    PixelImage img;
    std::string error;
    ASSERT_TRUE(DecodeBmp(run.files.at("C:\\out\\p" + std::to_string(i) + ".bmp"), img, error));
    const int x = i == 0 ? 256 : 0, y = i == 0 ? 0 : 256;  // in the border band
    EXPECT_EQ(img.View().At(x, y), expected.NextRandomColor()) << "photo " << i;
  }
  EXPECT_EQ(run.nextColour, expected.NextRandomColor());
  EXPECT_GT(run.pumpRuns, 6 + 2);  // once per photo and twice at the end, then the waits
}

TEST(ThreadedRuns, AFailureAtPhotoKIsPhotoKsErrorAndStopsThere) {
  // Damaged, missing, too large to decode, refused by the window's loader.
  const std::vector<std::vector<uint8_t>> bad = {
      {0xFF, 0xD8, 0xFF, 0x00}, {}, testjpeg::DeclaringSize(65500, 65500, true), {'X'}};
  const char* reasons[] = {"", "Cannot open file", "picture too large to decode (65500 x 65500)",
                           "not mine"};
  for (size_t kind = 0; kind < bad.size(); ++kind) {
    std::vector<std::vector<uint8_t>> photos = MixedPhotos(9);
    photos[5] = bad[kind];
    for (int threads : {1, 3}) {
      const RunOutcome run = RunOnce(threads, false, photos);
      EXPECT_FALSE(run.result.ok);
      EXPECT_EQ(run.result.failedIndex, 5) << kind;
      EXPECT_EQ(run.result.error.rfind("C:\\in\\5.pic: ", 0), 0u) << run.result.error;
      EXPECT_NE(run.result.error.find(reasons[kind]), std::string::npos) << run.result.error;
      EXPECT_EQ(run.files.size(), 5u);  // photos 0 to 4
      EXPECT_EQ(run.files.count("C:\\out\\p6.bmp"), 0u);
      RandomColors fiveDrawn;  // one draw per photo decoded, as the one-thread run makes
      for (int i = 0; i < 5; ++i) fiveDrawn.NextRandomColor();
      EXPECT_EQ(run.nextColour, fiveDrawn.NextRandomColor()) << kind << ", " << threads;
    }
  }
}

TEST(ThreadedRuns, OtherFormatsAreDecodedOnTheRunsOwnThread) {
  const RunOutcome run = RunOnce(4, false, MixedPhotos(10));
  ASSERT_TRUE(run.result.ok) << run.result.error;
  ASSERT_EQ(run.loaderThreads.size(), 2u);  // photos 3 and 8
  for (std::thread::id id : run.loaderThreads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(MemoryPool, ALargeTakerWaitsUntilEnoughIsGivenBack) {
  MemoryPool pool(100);
  EXPECT_FALSE(pool.Take(101));  // never: refused at once
  ASSERT_TRUE(pool.Take(80));
  std::atomic<bool> taken{false};
  std::thread large([&] {
    pool.Take(50);
    taken = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(taken);
  pool.Give(80);
  large.join();
  EXPECT_TRUE(taken);
  EXPECT_EQ(pool.InUse(), 50);
}

// An allocation that fails on a worker (here where the decoder is granted its memory and
// would allocate it) ends the run at that photo with its error, like any photo that cannot
// be read, instead of ending the program.
TEST(ThreadedRuns, AnAllocationFailingOnAWorkerIsThatPhotosFailure) {
  const std::vector<std::vector<uint8_t>> photos = MixedPhotos(9);  // photo 5 is a JPEG
  for (int threads : {2, 5}) {
    const RunOutcome run = RunOnce(threads, false, photos, 0, [](int index, int64_t) {
      if (index == 5) throw std::bad_alloc();
    });
    EXPECT_FALSE(run.result.ok);
    EXPECT_EQ(run.result.failedIndex, 5);
    EXPECT_EQ(run.result.error, "C:\\in\\5.pic: out of memory");
    EXPECT_EQ(run.files.size(), 5u);
  }
}

namespace {

FittingPlan SmallPlan() {
  FittingPlan plan;
  plan.preview = {kPreviewSide, kPreviewSide};
  plan.texture = {kTextureSide, kTextureSide};
  return plan;
}

FittedPhoto TakeOrFail(FittingWorkers& workers, int index) {
  // A generous bound, so that a lost result fails the test instead of hanging it.
  std::optional<FittedPhoto> photo = workers.Take(index, std::chrono::seconds(60));
  EXPECT_TRUE(photo.has_value()) << "photo " << index << " never came back";
  return photo ? std::move(*photo) : FittedPhoto{};
}

}  // namespace

// Whatever a worker throws, the pool gets its bytes back, the busy count returns to zero
// and the other photos are fitted as usual.
TEST(FittingWorkers, AThrowingPhotoGivesBackItsMemoryAndItsWorker) {
  FittingPlan plan = SmallPlan();
  plan.onMemoryGranted = [](int index, int64_t) {
    if (index == 1) throw std::bad_alloc();
    if (index == 3) throw std::runtime_error("a reason too long for the string's own storage");
  };
  FittingWorkers workers(2, plan);
  ASSERT_EQ(workers.Threads(), 2);
  for (int i = 0; i < 5; ++i) workers.Hand(i, testjpeg::SolidJpeg(400, 300, {0, 0, 255}));
  for (int i = 0; i < 5; ++i) {
    const FittedPhoto photo = TakeOrFail(workers, i);
    if (i == 1 || i == 3) {
      EXPECT_EQ(photo.outcome, FittedPhoto::Outcome::Failed) << i;
      EXPECT_EQ(photo.error, i == 1 ? "out of memory" : "fitting failed");
    } else {
      EXPECT_EQ(photo.outcome, FittedPhoto::Outcome::Fitted) << i;
      EXPECT_FALSE(photo.encoded.empty());
    }
  }
  EXPECT_TRUE(workers.WaitIdle(std::chrono::seconds(60)));
  EXPECT_EQ(workers.PoolBytesInUse(), 0);
  EXPECT_EQ(workers.HeldBytes(), 0);
}

// Files only the window's loader reads stay whole in their results until the run takes
// them: they count against the read-ahead as much as files not yet started on.
TEST(FittingWorkers, ResultsHoldingWholeFilesCountAsHeld) {
  FittingWorkers workers(2, SmallPlan());
  const size_t sizes[] = {1000, 2000, 3000};
  for (int i = 0; i < 3; ++i) workers.Hand(i, std::vector<uint8_t>(sizes[i], uint8_t('O')));
  const FittedPhoto last = TakeOrFail(workers, 2);
  EXPECT_EQ(last.outcome, FittedPhoto::Outcome::ForWindow);
  EXPECT_EQ(last.file.size(), 3000u);
  EXPECT_EQ(workers.HeldBytes(), 3000);  // photos 0 and 1, finished or not
  TakeOrFail(workers, 0);
  EXPECT_EQ(workers.HeldBytes(), 2000);
  TakeOrFail(workers, 1);
  EXPECT_EQ(workers.HeldBytes(), 0);
}

namespace {

// Counts the files read, so a test can see how far reading runs ahead.
struct CountingFiles : testsupport::FakeFiles {
  int reads = 0;
  bool ReadWholeFile(const std::string& p, std::vector<uint8_t>& out) override {
    ++reads;
    return FakeFiles::ReadWholeFile(p, out);
  }
};

}  // namespace

// Large files of a kind only the window reads (a scanned TIFF, say) are detected at once on
// the workers; reading ahead still stops at the byte limit instead of at the photo count.
TEST(ThreadedRuns, ReadingAheadCountsResultsThatHoldWholeFiles) {
  constexpr size_t kPhotoBytes = size_t(24) << 20;  // the limit (64 MB) holds two and a bit
  CountingFiles files;
  testsupport::FakePump pump;
  RecordingProgress progress;
  MemorySurfaces surfaces;
  RandomColors random;
  project::ProjectSettings settings;
  for (int i = 0; i < 8; ++i) {
    settings.Photos.push_back("C:\\in\\" + std::to_string(i) + ".tif");
    files.files[settings.Photos.back()] = std::vector<uint8_t>(kPhotoBytes, uint8_t('I' + i % 2));
  }
  std::vector<int> aheadAtDecode;
  PhotoDecoder decode = MakePhotoDecoder(
      files, [&](std::span<const uint8_t>, const DrawSizeFor&, DecodedPhoto& out, std::string&) {
        aheadAtDecode.push_back(files.reads - int(aheadAtDecode.size()));
        out.pixels.Resize(8, 8);
        out.fullWidth = out.fullHeight = 8;
        return true;
      });
  PhotoJob job{settings, random, surfaces, decode, {}, 4};
  const RunResult result = PrepareTextures(job, {files, pump, progress}, "C:\\out\\", "p");
  ASSERT_TRUE(result.ok) << result.error;
  ASSERT_EQ(aheadAtDecode.size(), 8u);
  for (size_t i = 0; i < aheadAtDecode.size(); ++i)
    EXPECT_LE(aheadAtDecode[i], 3) << "photo " << i;  // the one decoded and two more
}

TEST(ThreadedRuns, ThreadsFollowTheCoresExceptIn32BitProcesses) {
  EXPECT_EQ(RunThreads(0, 50, 16, 8), 16);
  EXPECT_EQ(RunThreads(0, 50, 16, 4), kMaxThreads32Bit);
  EXPECT_EQ(RunThreads(12, 50, 2, 4), kMaxThreads32Bit);
  EXPECT_EQ(RunThreads(3, 50, 16, 4), 3);
  EXPECT_EQ(RunThreads(0, 2, 16, 8), 2);   // never more than photos
  EXPECT_EQ(RunThreads(0, 50, 0, 8), 1);   // the core count unknown
  EXPECT_EQ(RunThreads(0, 0, 16, 8), 1);
  EXPECT_EQ(RunThreads(0, 50, 16), sizeof(void*) == 4 ? kMaxThreads32Bit : 16);
}

// An allocation that fails on the run's own thread (here in the window's picture loader)
// goes on to the program's error report, and the progress window, which the user cannot
// close, is hidden first.
TEST_F(Runs, AnExceptionOnTheRunsThreadHidesTheProgressWindow) {
  AddPhotos(2);
  files.files["C:\\photos\\p2.png"] = {'P', 'N', 'G'};
  settings.Photos.push_back("C:\\photos\\p2.png");
  PhotoDecoder throwing = MakePhotoDecoder(
      files, [](std::span<const uint8_t>, const DrawSizeFor&, DecodedPhoto&, std::string&) -> bool {
        throw std::bad_alloc();
      });
  for (int threads : {1, 3}) {
    PhotoJob throwingJob{settings, random, surfaces, throwing, {}, threads};
    progress = RecordingProgress{};
    EXPECT_THROW(PrepareTextures(throwingJob, seams, "C:\\out\\", "p"), std::bad_alloc);
    EXPECT_FALSE(progress.visible) << threads << " threads";
    progress = RecordingProgress{};
    EXPECT_THROW(ExportPhotoJpegs(throwingJob, seams, "C:\\out\\"), std::bad_alloc);
    EXPECT_FALSE(progress.visible) << threads << " threads";
    ASSERT_FALSE(progress.calls.empty());
    EXPECT_EQ(progress.calls.back(), "hide");
  }
}
