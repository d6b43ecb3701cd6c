#include "builder/photos/win32/picture.h"
#include "builder/thumbnails/picture_preview.h"

#include <gtest/gtest.h>
#include <webp/encode.h>

#include "tests/support/picture_files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/gif_maker.h"
#include "tests/support/jpeg_maker.h"

using namespace prismora::photos;
using prismora::thumbnails::DrawPicturePreview;
using prismora::testsupport::TempFolder;

namespace {

// Draws a picture into a fresh white bitmap and reads its pixels back.
struct Canvas {
  int width, height;
  HDC dc;
  HBITMAP bitmap;
  uint32_t* bits = nullptr;
  Canvas(int w, int h) : width(w), height(h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    SelectObject(dc, bitmap);
    for (int i = 0; i < w * h; ++i) bits[i] = 0xFFFFFF;
  }
  ~Canvas() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  uint32_t At(int x, int y) const {  // 0x00RRGGBB
    GdiFlush();
    return bits[y * width + x] & 0xFFFFFF;
  }
  int Count(uint32_t colour) const {
    GdiFlush();
    int n = 0;
    for (int i = 0; i < width * height; ++i) n += (bits[i] & 0xFFFFFF) == colour;
    return n;
  }
};

bool Near(uint32_t rgb, int r, int g, int b) {
  return std::abs(int(rgb >> 16 & 255) - r) < 24 && std::abs(int(rgb >> 8 & 255) - g) < 24 &&
         std::abs(int(rgb & 255) - b) < 24;
}

// Loads `file` into `p`: it must decode, at `width` x `height` pixels.
::testing::AssertionResult LoadsAtSize(TIPicture& p, const std::string& file, int width, int height) {
  p.LoadFromFile(file);
  if (p.Empty()) return ::testing::AssertionFailure() << file << " did not load";
  if (p.Width() != width || p.Height() != height)
    return ::testing::AssertionFailure() << file << " is " << p.Width() << " x " << p.Height();
  return ::testing::AssertionSuccess();
}

std::vector<prismora::testgif::FrameSpec> ThreeFrames() {
  return {{0, 0, 8, 8, 10, 1, false, 1},   // red, whole screen
          {2, 2, 4, 4, 20, 2, true, 2},    // green square
          {0, 0, 2, 2, 30, 0, false, 3}};  // blue corner
}

}  // namespace

TEST(TIPicture, DecodesJpegGifBitmapAndIconFilesAtTheirPixelSize) {
  TempFolder dir;
  TempFolder::Write(dir / "p.jpg", prismora::testjpeg::SolidJpeg(640, 480, {255, 0, 0}));
  TempFolder::Write(dir / "p.gif", prismora::testgif::MakeGif(8, 8, ThreeFrames()));
  TempFolder::Write(dir / "p.bmp", prismora::testsupport::SolidBmp(33, 17, 0, 0, 255));
  TempFolder::Write(dir / "p.ico", prismora::testsupport::SolidIco(32, 0, 255, 0));
  struct Case { const char* name; int w, h; } cases[] = {
      {"p.jpg", 640, 480}, {"p.gif", 8, 8}, {"p.bmp", 33, 17}, {"p.ico", 32, 32}};
  for (const Case& c : cases) {
    TIPicture p;
    int changes = 0;
    p.OnChange = [&] { ++changes; };
    p.LoadFromFile(dir / c.name);
    EXPECT_FALSE(p.Empty()) << c.name;
    EXPECT_EQ(p.Width(), c.w) << c.name;
    EXPECT_EQ(p.Height(), c.h) << c.name;
    EXPECT_EQ(p.Frame(), 1) << c.name;
    EXPECT_EQ(changes, 1) << c.name;
  }
}

TEST(TIPicture, DrawsBottomUpIntoTheWholeRectangle) {
  TempFolder dir;
  // Top half red, bottom half blue: a picture drawn upside down would swap them.
  TempFolder::Write(dir / "h.jpg", prismora::testjpeg::MakeJpeg(64, 64, [](int, int y) {
                      return y < 32 ? prismora::testjpeg::Rgb{255, 0, 0} : prismora::testjpeg::Rgb{0, 0, 255};
                    }));
  TIPicture p;
  p.LoadFromFile(dir / "h.jpg");
  Canvas c(40, 20);
  p.Draw(c.dc, RECT{0, 0, 40, 20});
  EXPECT_TRUE(Near(c.At(20, 2), 255, 0, 0)) << std::hex << c.At(20, 2);
  EXPECT_TRUE(Near(c.At(20, 17), 0, 0, 255)) << std::hex << c.At(20, 17);
  EXPECT_TRUE(Near(c.At(39, 19), 0, 0, 255));
}

// TIFF is not among the OLE decoder's formats (nor PNG on Windows); the imaging
// component reads them, and they draw the same way the decoder's own pictures do.
TEST(TIPicture, PngAndTiffDecodeAndDrawLikeTheOtherFormats) {
  TempFolder dir;
  TempFolder::Write(dir / "h.tif", prismora::testsupport::MakeTiff(64, 48, [](int, int y) {
                      return y < 24 ? prismora::testsupport::TiffRgb{255, 0, 0} : prismora::testsupport::TiffRgb{0, 0, 255};
                    }));
  TempFolder::Write(dir / "p.png", prismora::testsupport::SolidPng(30, 20, 0, 200, 0));
  TIPicture tiff;
  int changes = 0;
  tiff.OnChange = [&] { ++changes; };
  tiff.LoadFromFile(dir / "h.tif");
  ASSERT_FALSE(tiff.Empty());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(tiff.Width(), 64);
  EXPECT_EQ(tiff.Height(), 48);
  Canvas c(40, 20);
  tiff.Draw(c.dc, RECT{0, 0, 40, 20});
  EXPECT_TRUE(Near(c.At(20, 2), 255, 0, 0)) << std::hex << c.At(20, 2);
  EXPECT_TRUE(Near(c.At(20, 17), 0, 0, 255)) << std::hex << c.At(20, 17);
  Canvas exact(64, 48);
  tiff.DrawExact(exact.dc, RECT{0, 0, 64, 48});
  EXPECT_EQ(exact.At(10, 0), 0xFF0000u);
  EXPECT_EQ(exact.At(10, 23), 0xFF0000u);
  EXPECT_EQ(exact.At(10, 24), 0x0000FFu);
  EXPECT_EQ(exact.At(63, 47), 0x0000FFu);

  TIPicture png;
  ASSERT_TRUE(LoadsAtSize(png, dir / "p.png", 30, 20));
  Canvas g(30, 20);
  png.DrawExact(g.dc, RECT{0, 0, 30, 20});
  EXPECT_EQ(g.Count(0x00C800), 30 * 20);
}

TEST(TIPicture, DrawExactCoversTheRectangleToTheLastRow) {
  std::vector<uint8_t> bmp = prismora::testsupport::SolidBmp(20, 10, 255, 0, 0);
  TIPicture p;
  p.LoadFromStream(&bmp);
  Canvas c(20, 12);
  p.DrawExact(c.dc, RECT{0, 1, 20, 11});
  for (int x : {0, 19}) {
    EXPECT_EQ(c.At(x, 0), 0xFFFFFFu);
    EXPECT_EQ(c.At(x, 1), 0xFF0000u);
    EXPECT_EQ(c.At(x, 10), 0xFF0000u);
    EXPECT_EQ(c.At(x, 11), 0xFFFFFFu);
  }
}

TEST(TIPicture, FailuresOfLoadFromFileLeaveItEmptyWhileStreamsRaise) {
  TempFolder dir;
  TempFolder::Write(dir / "junk.jpg", std::vector<uint8_t>(500, 0x5A));
  TIPicture p;
  p.LoadFromFile(dir / "junk.jpg");
  EXPECT_TRUE(p.Empty());
  EXPECT_EQ(p.Width(), 0);
  p.LoadFromFile(dir / "missing.jpg");
  EXPECT_TRUE(p.Empty());

  std::vector<uint8_t> junk(500, 0x5A);
  try {
    p.LoadFromStream(&junk);
    FAIL() << "no error";
  } catch (const PictureError& e) {
    EXPECT_STREQ(e.what(), "Could not load image. Invalid format");
  }
  TIPicture untouched;
  untouched.LoadFromStream(nullptr);
  EXPECT_TRUE(untouched.Empty());
  Canvas c(4, 4);
  untouched.Draw(c.dc, RECT{0, 0, 4, 4});  // nothing to draw, nothing drawn
  EXPECT_EQ(c.Count(0xFFFFFF), 16);
}

TEST(TIPicture, GifFrameSelectionShowsTheChosenFrame) {
  std::vector<uint8_t> gif = prismora::testgif::MakeGif(8, 8, ThreeFrames());
  TIPicture p;
  p.LoadFromStream(&gif);
  EXPECT_TRUE(p.IsGIFFile());
  EXPECT_EQ(p.FrameCount(), 3);
  EXPECT_EQ(p.FrameTime(2), 20);
  EXPECT_TRUE(p.FrameTransparent());
  EXPECT_EQ(p.FrameDisposal(), 2);
  EXPECT_EQ(p.FrameTime(4), -1);

  int frameChanges = 0;
  p.OnFrameChange = [&] { ++frameChanges; };
  p.SetFrame(2);
  EXPECT_EQ(frameChanges, 1);
  EXPECT_EQ(p.FrameLeft(), 2);
  EXPECT_EQ(p.FrameTop(), 2);
  EXPECT_EQ(p.FrameWidth(), 4);
  EXPECT_EQ(p.MaxWidth(), 8);  // the logical screen, not the frame
  EXPECT_EQ(p.MaxHeight(), 8);
  Canvas c(16, 16);
  p.Draw(c.dc, RECT{0, 0, 8, 8});
  int green = 0, red = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      green += Near(c.At(x, y), 0, 255, 0);
      red += Near(c.At(x, y), 255, 0, 0);
    }
  EXPECT_GT(green, 0);
  EXPECT_EQ(red, 0);  // frame 1 is gone
}

TEST(TIPicture, NonGifPicturesHaveNoFrames) {
  std::vector<uint8_t> bmp = prismora::testsupport::SolidBmp(4, 4, 1, 2, 3);
  TIPicture p;
  p.LoadFromStream(&bmp);
  EXPECT_FALSE(p.IsGIFFile());
  EXPECT_EQ(p.FrameCount(), -1);
  EXPECT_EQ(p.FrameTime(1), -1);
  EXPECT_EQ(p.FrameLeft(), 0);
  EXPECT_EQ(p.MaxWidth(), 4);
}

TEST(TIPicture, AddressesAssignAndStreaming) {
  TempFolder dir;
  TempFolder::Write(dir / "Pic.BMP", prismora::testsupport::SolidBmp(5, 3, 9, 9, 9));
  TIPicture p;
  p.LoadFromURL("http://example.com/x.bmp");
  EXPECT_TRUE(p.Empty());
  EXPECT_EQ(p.URL(), "");
  p.LoadFromURL("file://" + (dir / "Pic.BMP"));
  EXPECT_FALSE(p.Empty());
  EXPECT_EQ(p.Width(), 5);
  EXPECT_EQ(p.URL(), "file://" + (dir / "Pic.BMP"));
  p.LoadFromURL("res://NoSuchResource");  // a missing named resource does nothing
  EXPECT_EQ(p.Width(), 5);
  EXPECT_THROW(p.LoadFromResourceID(GetModuleHandleA(nullptr), 4711), PictureError);

  TIPicture copy;
  copy.Assign(&p);
  EXPECT_EQ(copy.Height(), 3);
  std::vector<uint8_t> written;
  copy.WriteData(&written);
  EXPECT_EQ(written, p.Data());
  TIPicture read;
  read.ReadData(&written);
  EXPECT_EQ(read.Width(), 5);
  EXPECT_EQ(read.Frame(), 0);  // streaming leaves the frame alone

  int changes = 0;
  copy.OnChange = [&] { ++changes; };
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(copy.Width(), 0);
  EXPECT_EQ(changes, 1);
}

// The add-photos dialog's pane: fitted, centred, and a camera photo upright as the strip
// shows it.
TEST(PicturePreview, FitsCentresAndTurnsCameraPhotosUpright) {
  TempFolder dir;
  namespace testjpeg = prismora::testjpeg;
  // Stored 400 x 300, green left and blue right, the camera turned a quarter clockwise.
  const std::string sideways = dir / "sideways.jpg";
  const auto halves = [](int x, int) {
    return x < 200 ? testjpeg::Rgb{0, 192, 0} : testjpeg::Rgb{0, 0, 255};
  };
  TempFolder::Write(sideways, testjpeg::WithOrientation(testjpeg::MakeJpeg(400, 300, halves), 6));
  prismora::wingui::Surface pane(200, 200);  // white
  auto at = [&](int x, int y) {
    const uint8_t* p = pane.Bits() + y * pane.Stride() + x * 3;
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];  // 0xRRGGBB
  };
  ASSERT_TRUE(DrawPicturePreview(sideways, pane));
  // Upright 300 x 400 fits as 150 x 200, from x = 25 to 175.
  EXPECT_EQ(at(24, 100), 0xFFFFFFu);
  EXPECT_EQ(at(175, 100), 0xFFFFFFu);
  auto green = [](uint32_t c) { return (c >> 8 & 255) > 150 && (c & 255) < 70; };
  auto blue = [](uint32_t c) { return (c & 255) > 200 && (c >> 8 & 255) < 70; };
  EXPECT_TRUE(green(at(100, 40))) << std::hex << at(100, 40);
  EXPECT_TRUE(blue(at(100, 160))) << std::hex << at(100, 160);

  // Other kinds through the picture wrapper: a small PNG keeps its size.
  const std::string png = dir / "small.png";
  TempFolder::Write(png, prismora::testsupport::SolidPng(40, 20, 255, 0, 0));
  prismora::wingui::Surface other(200, 200);
  ASSERT_TRUE(DrawPicturePreview(png, other));
  const uint8_t* inside = other.Bits() + 100 * other.Stride() + 100 * 3;
  const uint8_t* outside = other.Bits() + 100 * other.Stride() + 70 * 3;
  EXPECT_EQ(inside[2], 255);
  EXPECT_EQ(inside[1], 0);
  EXPECT_EQ(outside[1], 255);  // still white left of x = 80

  TempFolder::Write(dir / "junk.jpg", {0xFF, 0xD8, 0xFF, 1, 2, 3});
  EXPECT_FALSE(DrawPicturePreview(dir / "junk.jpg", other));
  EXPECT_FALSE(DrawPicturePreview(dir / "missing.png", other));
}

// Headers declaring more than a photo may cost never reach the platform's decoders,
// which would size their buffers by them: the wrapper raises its memory error, the
// add-photos dialog's pane stays empty.
TEST(TIPicture, HeadersDeclaringHugePicturesAreRefusedBeforeDecoding) {
  std::vector<uint8_t> hugeScreen = prismora::testgif::MakeGif(65535, 65535, ThreeFrames());
  std::vector<uint8_t> hugeBitmap = prismora::testsupport::SolidBmp(4, 4, 255, 0, 0);
  hugeBitmap[18] = 0x30, hugeBitmap[19] = 0x75;  // 30000 wide
  hugeBitmap[22] = 0x30, hugeBitmap[23] = 0x75;  // and high
  for (std::vector<uint8_t>* file : {&hugeScreen, &hugeBitmap}) {
    TIPicture p;
    try {
      p.LoadFromStream(file);
      FAIL() << "no error";
    } catch (const PictureError& e) {
      EXPECT_STREQ(e.what(), "Could not allocate memory for image");
    }
    EXPECT_EQ(p.Width(), 0);
  }
  TempFolder dir;
  TempFolder::Write(dir / "huge.gif", hugeScreen);
  TempFolder::Write(dir / "huge.jpg", prismora::testjpeg::DeclaringSize(65500, 65500, true));
  prismora::wingui::Surface pane(200, 200);
  EXPECT_FALSE(DrawPicturePreview(dir / "huge.gif", pane));
  EXPECT_FALSE(DrawPicturePreview(dir / "huge.jpg", pane));
}

// WebP, which the platform's decoders may not read at all, is read by the builder's own
// reader and draws like every other picture (top row at the top).
TEST(TIPicture, WebpDecodesAndDrawsLikeTheOtherFormats) {
  std::vector<uint8_t> bgr;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      bgr.insert(bgr.end(), y < 24 ? std::initializer_list<uint8_t>{0, 0, 255}
                                   : std::initializer_list<uint8_t>{255, 0, 0});
  uint8_t* encoded = nullptr;
  const size_t size = WebPEncodeLosslessBGR(bgr.data(), 64, 48, 64 * 3, &encoded);
  ASSERT_GT(size, 0u);
  TempFolder dir;
  TempFolder::Write(dir / "h.webp", std::vector<uint8_t>(encoded, encoded + size));
  WebPFree(encoded);
  TIPicture p;
  ASSERT_TRUE(LoadsAtSize(p, dir / "h.webp", 64, 48));
  Canvas c(32, 24);
  p.DrawExact(c.dc, RECT{0, 0, 32, 24});
  EXPECT_EQ(c.At(16, 2), 0xFF0000u);   // red on top
  EXPECT_EQ(c.At(16, 21), 0x0000FFu);  // blue below
}
