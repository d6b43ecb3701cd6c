// PNG and TIFF photos, which the OLE picture decoder does not read everywhere, and WebP,
// HEIC, AVIF and CMYK JPEG photos, which the builder reads itself, go through
// preparation and export like any other photo.
#include "builder/photos/win32/picture_decoder.h"

#include <gtest/gtest.h>
#include <webp/encode.h>

#include <cstdlib>

#include "builder/photos/bmp.h"
#include "builder/photos/jpeg.h"
#include "builder/photos/win32/dib_surface.h"
#include "builder/photos/win32/photo_runs_win.h"
#include "platform/win32/win32_seams.h"
#include "tests/support/jpeg_maker.h"
#include "tests/support/picture_files.h"
#include "tests/support/temp_folder.h"

using namespace prismora;

namespace {
struct SilentProgress : photos::ProgressUi {
  void Show() override {}
  void Hide() override {}
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
  void SetLabel(const std::string&) override {}
};

void ExpectCentre(const photos::PixelImage& img, uint32_t colorref, int tolerance) {
  ASSERT_EQ(img.Width(), 512);
  ASSERT_EQ(img.Height(), 512);
  uint32_t c = img.View().At(256, 256);
  for (int shift : {0, 8, 16})
    EXPECT_NEAR(int((c >> shift) & 0xFF), int((colorref >> shift) & 0xFF), tolerance) << shift;
}

// A photo run on real files with the platform decoder and offscreen surfaces.
struct PlatformRun : ::testing::Test {
  testsupport::TempFolder dir;
  platform::Win32FileSystem files;
  platform::Win32MessagePump pump;
  SilentProgress progress;
  photos::DibSurface preview{256, 256}, forSave{512, 512};
  photos::DibFittingSurfaces surfaces{preview, forSave};
  photos::RandomColors random;
  photos::PhotoDecoder decode = photos::MakePlatformPhotoDecoder(files);

  photos::RunResult Prepare(const project::ProjectSettings& s, const std::string& folder) {
    photos::PhotoJob job{s, random, surfaces, decode};
    return photos::PrepareTexturesInFolder(job, {files, pump, progress}, folder, "preview");
  }
  // The photos fitted with a green border (in the bands and under transparent parts), into
  // the folder dir\prepared\ that this makes.
  project::ProjectSettings OnGreen(const std::vector<std::string>& photos) {
    project::ProjectSettings s;
    s.Photos = photos;
    s.ResizeMethod = project::kUseBorder;
    s.RandomColor = false;
    s.BorderColor = 0x0000FF00;
    CreateDirectoryA((dir / "prepared").c_str(), nullptr);
    return s;
  }
  photos::PixelImage Prepared(const std::string& file) {
    photos::PixelImage img;
    std::string error;
    EXPECT_TRUE(photos::DecodeBmp(testsupport::TempFolder::Read(file), img, error)) << file << ": " << error;
    return img;
  }
};

}  // namespace

TEST_F(PlatformRun, PngAndTiffPhotosArePreparedAndExported) {
  testsupport::TempFolder::Write(dir / "red.png", testsupport::SolidPng(64, 48, 220, 20, 20));
  testsupport::TempFolder::Write(dir / "blue.tif", testsupport::SolidTiff(30, 60, 20, 40, 230));
  testsupport::TempFolder::Write(dir / "square.png", testsupport::SolidPng(50, 50, 250, 250, 0));

  project::ProjectSettings s;
  s.Title = "Colours";
  s.Photos = {dir / "red.png", dir / "blue.tif", dir / "square.png"};
  s.ResizeMethod = project::kUseBorder;
  s.RandomColor = false;
  s.BorderColor = 0x0000FF00;  // green bands

  CreateDirectoryA((dir / "prepared").c_str(), nullptr);
  photos::RunResult r = Prepare(s, dir / "prepared\\");
  ASSERT_TRUE(r.ok) << r.error;
  photos::PixelImage img = Prepared(dir / "prepared\\preview0.bmp");
  ExpectCentre(img, 0x001414DC, 2);
  EXPECT_EQ(img.View().At(256, 2), 0x0000FF00u);  // landscape photo: band on top
  img = Prepared(dir / "prepared\\preview1.bmp");
  ExpectCentre(img, 0x00E62814, 2);
  EXPECT_EQ(img.View().At(2, 256), 0x0000FF00u);  // portrait photo: band at the side
  // A square photo covers the square from the first row to the last.
  img = Prepared(dir / "prepared\\preview2.bmp");
  for (auto [x, y] : {std::pair{256, 0}, {256, 511}, {0, 256}, {511, 256}})
    EXPECT_EQ(img.View().At(x, y), 0x0000FAFAu) << x << "," << y;

  photos::PhotoJob job{s, random, surfaces, decode};
  r = photos::ExportPhotoJpegs(job, {files, pump, progress}, dir.path());
  ASSERT_TRUE(r.ok) << r.error;
  photos::DecodedPhoto jpeg;
  std::string error;
  auto fullSize = [](int w, int h) { return photos::PixelSize{w, h}; };
  ASSERT_TRUE(photos::DecodeJpeg(testsupport::TempFolder::Read(dir / "Colours0.jpg"), fullSize, jpeg, error)) << error;
  ExpectCentre(jpeg.pixels, 0x001414DC, 12);
}

TEST_F(PlatformRun, UnreadablePhotoStopsTheRunWithItsName) {
  testsupport::TempFolder::Write(dir / "a.png", testsupport::SolidPng(8, 8, 1, 2, 3));
  testsupport::TempFolder::Write(dir / "broken.png", {0x89, 'P', 'N', 'G', 1, 2, 3});
  project::ProjectSettings s;
  s.Photos = {dir / "a.png", dir / "broken.png"};
  photos::RunResult r = Prepare(s, dir.path());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedIndex, 1);
  EXPECT_NE(r.error.find("broken.png"), std::string::npos) << r.error;
}

// On every core under Wine, with the platform's decoders taking PNG and TIFF photos on
// the run's own thread: the same files as the run on one thread, byte for byte. A photo
// declaring a size no decoder may afford stops the run with its name.
TEST_F(PlatformRun, ThreadsWriteTheSameFilesAndStopAtAPhotoTooLarge) {
  namespace testjpeg = prismora::testjpeg;
  project::ProjectSettings s;
  s.Title = "T";
  s.ResizeMethod = project::kUseBorder;
  s.RandomColor = true;
  for (int i = 0; i < 8; ++i) {
    const std::string name = dir / ("photo" + std::to_string(i) + (i % 4 == 3 ? ".png" : ".jpg"));
    testsupport::TempFolder::Write(
        name, i % 4 == 3 ? testsupport::SolidPng(40 + i, 30, 200, uint8_t(i * 20), 9)
                         : testjpeg::MakeJpeg(800 + 10 * i, 600, [i](int x, int y) {
                             return testjpeg::Rgb{uint8_t(x + i), uint8_t(y), uint8_t(x * y)};
                           }));
    s.Photos.push_back(name);
  }
  std::vector<std::vector<uint8_t>> written[2];
  for (int threads : {1, 3}) {
    photos::RandomColors fresh;
    photos::PhotoJob job{s, fresh, surfaces, decode, {}, threads};
    const std::string out = dir / (std::to_string(threads) + "\\");
    CreateDirectoryA(out.c_str(), nullptr);
    photos::RunResult r = photos::ExportPhotoJpegs(job, {files, pump, progress}, out);
    ASSERT_TRUE(r.ok) << r.error;
    for (int i = 0; i < 8; ++i)
      written[threads > 1].push_back(testsupport::TempFolder::Read(out + "T" + std::to_string(i) + ".jpg"));
  }
  EXPECT_TRUE(written[0] == written[1]);

  testsupport::TempFolder::Write(dir / "huge.jpg", testjpeg::DeclaringSize(65500, 65500, true));
  s.Photos.insert(s.Photos.begin() + 2, dir / "huge.jpg");
  photos::PhotoJob job{s, random, surfaces, decode, {}, 3};
  photos::RunResult r = photos::PrepareTexturesInFolder(job, {files, pump, progress}, dir / "p\\", "preview");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedIndex, 2);
  EXPECT_EQ(r.error, dir / "huge.jpg" + ": picture too large to decode (65500 x 65500)");
}

namespace {
// Lossless WebP by libwebp's own encoder (linked into this test only): left half
// transparent, right half opaque (r, g, b).
std::vector<uint8_t> HalfTransparentWebp(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> bgra;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bgra.insert(bgra.end(), {b, g, r, uint8_t(x < w / 2 ? 0 : 255)});
  uint8_t* out = nullptr;
  const size_t size = WebPEncodeLosslessBGRA(bgra.data(), w, h, w * 4, &out);
  std::vector<uint8_t> file(out, out + size);
  WebPFree(out);
  return file;
}

// CMYK as print workflows write it: Adobe's marker, inks stored inverted.
std::vector<uint8_t> InvertedCmykJpeg(int w, int h, uint8_t c, uint8_t m, uint8_t y, uint8_t k) {
  std::vector<uint8_t> inks;
  for (int i = 0; i < w * h; ++i)
    inks.insert(inks.end(), {uint8_t(255 - c), uint8_t(255 - m), uint8_t(255 - y), uint8_t(255 - k)});
  return testjpeg::EncodeSamples(w, h, 4, inks, 95, [](jpeg_compress_struct& info) {
    info.in_color_space = JCS_CMYK;
    jpeg_set_colorspace(&info, JCS_CMYK);
  });
}
}  // namespace

TEST_F(PlatformRun, WebpAndCmykJpegPhotosAreReadByTheBuilderItself) {
  testsupport::TempFolder::Write(dir / "half.webp", HalfTransparentWebp(64, 48, 200, 30, 30));
  // Full cyan ink and no other: (0, 255, 255) light.
  testsupport::TempFolder::Write(dir / "print.jpg", InvertedCmykJpeg(40, 40, 255, 0, 0, 0));
  photos::RunResult r = Prepare(OnGreen({dir / "half.webp", dir / "print.jpg"}), dir / "prepared\\");
  ASSERT_TRUE(r.ok) << r.error;
  photos::PixelImage img = Prepared(dir / "prepared\\preview0.bmp");
  ASSERT_EQ(img.Width(), 512);
  EXPECT_EQ(img.View().At(128, 256), 0x0000FF00u);  // transparent half
  EXPECT_EQ(img.View().At(384, 256), 0x001E1EC8u);  // opaque half, red
  EXPECT_EQ(img.View().At(256, 10), 0x0000FF00u);   // band
  ExpectCentre(Prepared(dir / "prepared\\preview1.bmp"), 0x00FFFF00, 8);
}

// Made before this test by heif-enc and avifenc (make_heif_photos.sh): a HEIC stored on
// its side with the turn in its irot box, red left and blue right once upright, and an
// AVIF with its left half transparent and its right half red.
TEST_F(PlatformRun, HeicAndAvifPhotosArePreparedAndExportedUpright) {
  const char* made = std::getenv("PRISMORA_HEIF_PHOTOS");
  ASSERT_NE(made, nullptr) << "PRISMORA_HEIF_PHOTOS must name the folder of the made photos (ctest sets it)";
  const std::string folder = (made[0] == '/' ? "Z:" : "") + std::string(made) + "\\";
  project::ProjectSettings s = OnGreen({folder + "heic.heic", folder + "alpha.avif"});
  s.Title = "Phone";
  photos::RunResult r = Prepare(s, dir / "prepared\\");
  ASSERT_TRUE(r.ok) << r.error;
  photos::PixelImage heic = Prepared(dir / "prepared\\preview0.bmp");
  ASSERT_EQ(heic.Width(), 512);
  // Upright it is landscape (96 x 64): bands on top and bottom, red left, blue right.
  EXPECT_EQ(heic.View().At(256, 10), 0x0000FF00u);
  for (auto [x, colour] : {std::pair{128, 0x001E1EC8u}, {384, 0x00C81E1Eu}}) {
    const uint32_t c = heic.View().At(x, 256);
    for (int shift : {0, 8, 16})
      EXPECT_NEAR(int((c >> shift) & 0xFF), int((colour >> shift) & 0xFF), 12) << x << ": " << std::hex << c;
  }
  photos::PixelImage avif = Prepared(dir / "prepared\\preview1.bmp");
  ASSERT_EQ(avif.Width(), 512);
  EXPECT_EQ(avif.View().At(128, 256), 0x0000FF00u);  // transparent half
  const uint32_t red = avif.View().At(384, 256);
  EXPECT_NEAR(int(red & 0xFF), 200, 12) << std::hex << red;
  EXPECT_NEAR(int(red >> 8 & 0xFF), 30, 12) << std::hex << red;

  // The build's copies of the photos: JPEGs the installer carries, upright as well.
  photos::PhotoJob job{s, random, surfaces, decode};
  r = photos::ExportPhotoJpegs(job, {files, pump, progress}, dir.path());
  ASSERT_TRUE(r.ok) << r.error;
  photos::DecodedPhoto jpeg;
  std::string error;
  auto fullSize = [](int w, int h) { return photos::PixelSize{w, h}; };
  ASSERT_TRUE(photos::DecodeJpeg(testsupport::TempFolder::Read(dir / "Phone0.jpg"), fullSize, jpeg, error)) << error;
  ASSERT_EQ(jpeg.pixels.Width(), 512);
  EXPECT_NEAR(int(jpeg.pixels.View().At(128, 256) & 0xFF), 200, 16);
  EXPECT_NEAR(int(jpeg.pixels.View().At(384, 256) >> 16 & 0xFF), 200, 16);
  ASSERT_TRUE(photos::DecodeJpeg(testsupport::TempFolder::Read(dir / "Phone1.jpg"), fullSize, jpeg, error)) << error;
  EXPECT_EQ(jpeg.pixels.View().At(128, 256) >> 8 & 0xFF, 0xFFu);  // the green frame colour
}
