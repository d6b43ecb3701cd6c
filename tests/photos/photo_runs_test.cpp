// The conversion runs over in-memory files: names, progress, colours and failures.
#include <gtest/gtest.h>

#include "builder/photos/bmp.h"
#include "builder/photos/photo_runs.h"
#include "tests/support/fake_seams.h"

using namespace prismora;
using namespace prismora::photos;

namespace {

struct MemorySurfaces : FittingSurfaces {
  PixelImage preview{kPreviewSide, kPreviewSide}, forSave{kTextureSide, kTextureSide};
  int drawn = 0;
  PixelView Preview() override { return preview.View(); }
  PixelView ForSave() override { return forSave.View(); }
  void Drawn() override { ++drawn; }
};

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
  PhotoJob job{settings, random, surfaces, decode};
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
  EXPECT_EQ(progress.labels, (std::vector<std::string>{"0\\5", "1\\5", "2\\5", "3\\5", "4\\5"}));
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
  EXPECT_EQ(progress.labels, (std::vector<std::string>{"0\\2", "1\\2"}));
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
