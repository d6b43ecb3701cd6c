// The photo runs with the real progress window, drawing surfaces and files.
#include <windows.h>
#include <commctrl.h>

#include <new>

#include <gtest/gtest.h>

#include "builder/photos/bmp.h"
#include "builder/photos/win32/dib_surface.h"
#include "builder/photos/win32/photo_runs_win.h"
#include "builder/photos/win32/progress_window.h"
#include "platform/win32/win32_seams.h"
#include "tests/support/temp_folder.h"

using namespace prismora;
using namespace prismora::photos;
using testsupport::TempFolder;

namespace {

constexpr uint32_t kRed = 0x000000FF, kGreen = 0x0000FF00, kBlue = 0x00FF0000;

// What the progress window shows each time the run lets messages through.
struct WatchingPump : platform::MessagePump {
  platform::Win32MessagePump real;
  ProgressPictureConvertWindow* window = nullptr;
  std::vector<std::string> labels;
  std::vector<bool> visible;
  int barMaximum = -1, barHighest = -1;
  void RunPending() override {
    real.RunPending();
    char text[64] = {};
    GetWindowTextA(window->Child(ProgressPictureConvertWindow::kLabel), text, sizeof text);
    if (labels.empty() || labels.back() != text) labels.push_back(text);
    visible.push_back(IsWindowVisible(window->Handle()) != FALSE);
    HWND bar = window->Child(ProgressPictureConvertWindow::kProgressBar);
    barMaximum = int(SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
    barHighest = std::max(barHighest, int(SendMessageA(bar, PBM_GETPOS, 0, 0)));
  }
  void Pause(int ms) override { real.Pause(ms); }
};

bool Near(uint32_t a, uint32_t b, int tolerance = 12) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

struct WinRuns : ::testing::Test {
  TempFolder dir;
  platform::Win32FileSystem files;
  WatchingPump pump;
  ProgressPictureConvertWindow progress;
  DibSurface preview{256, 256}, forSave{512, 512};
  int drawn = 0;
  DibFittingSurfaces surfaces{preview, forSave, [this] { ++drawn; }};
  RandomColors random;
  project::ProjectSettings settings;
  PhotoDecoder decode = MakePhotoDecoder(files, nullptr);
  PhotoJob job{settings, random, surfaces, decode};
  RunSeams seams{files, pump, progress};

  void SetUp() override {
    ASSERT_TRUE(progress.Create(GetModuleHandleA(nullptr)));
    pump.window = &progress;
  }
  // Photos as files: bitmaps or JPEGs of one colour.
  void AddPhotos(int n, bool jpeg, int w = 800, int h = 600, uint32_t color = kGreen) {
    PixelImage img(w, h);
    Fill(img.View(), color);
    std::vector<uint8_t> bytes = EncodeBmp24(img.View());
    std::string error;
    if (jpeg) {
      ASSERT_TRUE(EncodeJpeg(img.View(), 95, bytes, error));
    }
    for (int i = 0; i < n; ++i) {
      std::string path = dir / ("photo " + std::to_string(i) + (jpeg ? ".jpg" : ".bmp"));
      TempFolder::Write(path, bytes);
      settings.Photos.push_back(path);
    }
  }
  PixelImage ReadBmp(const std::string& path) {
    PixelImage img;
    std::string error;
    EXPECT_TRUE(DecodeBmp(TempFolder::Read(path), img, error)) << path << ": " << error;
    return img;
  }
};

}  // namespace

TEST_F(WinRuns, ProgressWindowLooksAsDesigned) {
  HWND w = progress.Handle();
  char caption[64] = {};
  GetWindowTextA(w, caption, sizeof caption);
  EXPECT_STREQ(caption, "Prepare photos. Please wait.");
  RECT client{};
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 272);
  EXPECT_EQ(client.bottom, 57);
  LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE);
  EXPECT_FALSE(style & WS_SYSMENU);  // no close box
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(IsWindowVisible(w));
  HWND cancel = progress.Child(ProgressPictureConvertWindow::kCancel);
  ASSERT_NE(cancel, nullptr);
  EXPECT_FALSE(IsWindowVisible(cancel));
  RECT bar{};
  GetWindowRect(progress.Child(ProgressPictureConvertWindow::kProgressBar), &bar);
  MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&bar), 2);
  EXPECT_EQ(bar.left, 8);
  EXPECT_EQ(bar.top, 32);
  EXPECT_EQ(bar.right - bar.left, 257);
  SendMessageA(w, WM_CLOSE, 0, 0);  // the user cannot close it
  EXPECT_TRUE(IsWindow(w));
}

TEST_F(WinRuns, FivePhotosGivePreviewBitmapsInANewFolder) {
  AddPhotos(5, /*jpeg=*/false);
  settings.ResizeMethod = project::kUseBorder;
  settings.RandomColor = false;
  settings.BorderColor = kBlue;
  const std::string folder = dir / "preview\\";
  RunResult r = PrepareTexturesInFolder(job, seams, folder, "preview");
  ASSERT_TRUE(r.ok) << r.error;
  for (int i = 0; i < 5; ++i) {
    std::vector<uint8_t> file = TempFolder::Read(folder + "preview" + std::to_string(i) + ".bmp");
    ASSERT_GE(file.size(), 54u) << i;
    EXPECT_EQ(*reinterpret_cast<int32_t*>(&file[18]), 512);
    EXPECT_EQ(*reinterpret_cast<int32_t*>(&file[22]), 512);
    EXPECT_EQ(*reinterpret_cast<uint16_t*>(&file[28]), 24);
  }
  PixelImage img = ReadBmp(folder + "preview4.bmp");
  EXPECT_EQ(img.View().At(256, 63), kBlue);
  EXPECT_EQ(img.View().At(256, 64), kGreen);
  EXPECT_EQ(img.View().At(256, 447), kGreen);
  EXPECT_EQ(img.View().At(256, 448), kBlue);
  EXPECT_EQ(preview.Pixels().At(128, 31), kBlue);  // the visible preview keeps the last photo
  EXPECT_EQ(preview.Pixels().At(128, 32), kGreen);
  EXPECT_EQ(drawn, 5);

  EXPECT_EQ(pump.labels, (std::vector<std::string>{"", "Photo 1 of 5: photo 0.bmp", "Photo 2 of 5: photo 1.bmp",
                                                   "Photo 3 of 5: photo 2.bmp", "Photo 4 of 5: photo 3.bmp",
                                                   "Photo 5 of 5: photo 4.bmp"}));
  EXPECT_EQ(pump.barMaximum, 5);
  EXPECT_EQ(pump.barHighest, 4);
  EXPECT_TRUE(pump.visible.front());
  EXPECT_FALSE(IsWindowVisible(progress.Handle()));
  // A second run over the existing folder overwrites.
  EXPECT_TRUE(PrepareTexturesInFolder(job, seams, folder, "preview").ok);
}

TEST_F(WinRuns, JpegExportWithRedBorderHasRedBands) {
  AddPhotos(2, /*jpeg=*/true);
  settings.Title = "My Saver";
  settings.ResizeMethod = project::kUseBorder;
  settings.RandomColor = false;
  settings.BorderColor = kRed;
  RunResult r = ExportPhotoJpegs(job, seams, dir.path());
  ASSERT_TRUE(r.ok) << r.error;
  for (int i = 0; i < 2; ++i) {
    DecodedPhoto back;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(TempFolder::Read(dir / ("My Saver" + std::to_string(i) + ".jpg")),
                           [](int w, int h) { return PixelSize{w, h}; }, back, error)) << error;
    ASSERT_EQ(back.pixels.Width(), 512);
    ASSERT_EQ(back.pixels.Height(), 512);
    for (int y : {0, 30, 61, 450, 500, 511}) EXPECT_TRUE(Near(back.pixels.View().At(200, y), kRed)) << y;
    for (int y : {66, 200, 445}) EXPECT_TRUE(Near(back.pixels.View().At(200, y), kGreen)) << y;
  }
  EXPECT_EQ(pump.labels, (std::vector<std::string>{"", "Photo 1 of 2: photo 0.jpg", "Photo 2 of 2: photo 1.jpg"}));
}

TEST_F(WinRuns, MissingPhotoHidesTheProgressWindowAndNamesThePhoto) {
  AddPhotos(3, /*jpeg=*/true);
  DeleteFileA(settings.Photos[2].c_str());
  RunResult r = PrepareTexturesInFolder(job, seams, dir / "p\\", "preview");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedIndex, 2);
  EXPECT_NE(r.error.find("photo 2.jpg"), std::string::npos);
  EXPECT_FALSE(IsWindowVisible(progress.Handle()));
  EXPECT_FALSE(TempFolder::Read(dir / "p\\preview1.bmp").empty());  // earlier files stay
}

TEST_F(WinRuns, OtherFormatsAreRenderedByTheWindowsLoaderAtTheirDrawSize) {
  // Stands in for the picture wrapper: a 1000 × 500 bitmap, left half red, right blue.
  DibSurface picture(1000, 500);
  Fill(picture.Pixels(), kRed);
  PixelView right = picture.Pixels();
  right.pixels += 500 * 3;
  right.width = 500;
  Fill(right, kBlue);
  int renderedWidth = 0;
  OtherFormatDecoder loader = DecoderFromPictureLoader(
      [](std::span<const uint8_t>, int& w, int& h, std::string&) {
        return w = 1000, h = 500, true;
      },
      [&](HDC dc, const RECT& r) {
        renderedWidth = r.right - r.left;
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, picture.Dc(), 0, 0,
                   1000, 500, SRCCOPY);
      });
  decode = MakePhotoDecoder(files, loader);
  settings.Photos = {dir / "a.gif", dir / "b.gif"};
  TempFolder::Write(settings.Photos[0], {'G', 'I', 'F'});
  TempFolder::Write(settings.Photos[1], {'G', 'I', 'F'});
  settings.ResizeMethod = project::kUseBorder;
  settings.RandomColor = false;
  settings.BorderColor = kGreen;
  ASSERT_TRUE(PrepareTexturesInFolder(job, seams, dir.path(), "t").ok);
  EXPECT_EQ(renderedWidth, 512);
  PixelImage img = ReadBmp(dir / "t0.bmp");
  EXPECT_EQ(img.View().At(10, 127), kGreen);
  EXPECT_EQ(img.View().At(10, 128), kRed);
  EXPECT_EQ(img.View().At(500, 383), kBlue);
  EXPECT_EQ(img.View().At(500, 384), kGreen);
}

// An allocation failing on the window's thread (here in the picture loader) goes on to
// the program's error report; the progress window, which has no close box, is gone first.
// One failing on a worker is that photo's error; the window is hidden too.
TEST_F(WinRuns, AllocationFailuresOnEitherThreadHideTheProgressWindow) {
  AddPhotos(4, /*jpeg=*/true);
  settings.Photos.push_back(dir / "scan.gif");
  TempFolder::Write(settings.Photos.back(), {'G', 'I', 'F'});
  decode = MakePhotoDecoder(files, [](std::span<const uint8_t>, const DrawSizeFor&, DecodedPhoto&,
                                      std::string&) -> bool { throw std::bad_alloc(); });
  for (int threads : {1, 3}) {
    job.threads = threads;
    EXPECT_THROW(PrepareTexturesInFolder(job, seams, dir / "p\\", "preview"), std::bad_alloc);
    EXPECT_FALSE(IsWindowVisible(progress.Handle())) << threads << " threads";
  }
  job.threads = 3;
  job.onWorkerMemory = [](int index, int64_t) {
    if (index == 2) throw std::bad_alloc();
  };
  const RunResult r = PrepareTexturesInFolder(job, seams, dir / "q\\", "preview");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedIndex, 2);
  EXPECT_EQ(r.error, settings.Photos[2] + ": out of memory");
  EXPECT_FALSE(IsWindowVisible(progress.Handle()));
  EXPECT_FALSE(TempFolder::Read(dir / "q\\preview1.bmp").empty());
}
