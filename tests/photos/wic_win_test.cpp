#include "builder/photos/win32/wic_decoder.h"

#include <gtest/gtest.h>

#include "tests/support/picture_files.h"
#include "tests/support/temp_folder.h"

using namespace prismora;

namespace {
void ExpectSolid(const photos::WicImage& img, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  ASSERT_EQ(img.width, w);
  ASSERT_EQ(img.height, h);
  ASSERT_EQ(img.bgr.size(), size_t(w) * h * 3);
  for (size_t i = 0; i < img.bgr.size(); i += 3) {
    ASSERT_EQ(img.bgr[i], b) << i;
    ASSERT_EQ(img.bgr[i + 1], g) << i;
    ASSERT_EQ(img.bgr[i + 2], r) << i;
  }
}
}  // namespace

TEST(WicDecoder, ReadsPngAndTiffFromFilesAndMemory) {
  testsupport::TempFolder dir;
  auto png = testsupport::SolidPng(40, 30, 200, 30, 10);
  auto tiff = testsupport::SolidTiff(17, 9, 10, 120, 250);
  testsupport::TempFolder::Write(dir / "a.png", png);
  testsupport::TempFolder::Write(dir / "a.tif", tiff);

  photos::WicImage img;
  std::string error;
  ASSERT_TRUE(photos::DecodeWithWic(dir / "a.png", img, error)) << error;
  ExpectSolid(img, 40, 30, 200, 30, 10);
  ASSERT_TRUE(photos::DecodeWithWic(dir / "a.tif", img, error)) << error;
  ExpectSolid(img, 17, 9, 10, 120, 250);
  ASSERT_TRUE(photos::DecodeWithWic(png, img, error)) << error;
  ExpectSolid(img, 40, 30, 200, 30, 10);

  HBITMAP bmp = photos::MakeBitmap(img);
  ASSERT_NE(bmp, nullptr);
  BITMAP info;
  GetObjectA(bmp, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 40);
  DeleteObject(bmp);
}

TEST(WicDecoder, RefusesWhatIsNoPicture) {
  testsupport::TempFolder dir;
  testsupport::TempFolder::Write(dir / "x.png", {'n', 'o', 'p', 'e'});
  photos::WicImage img;
  std::string error;
  EXPECT_FALSE(photos::DecodeWithWic(dir / "x.png", img, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(photos::DecodeWithWic(dir / "missing.tif", img, error));
  auto png = testsupport::SolidPng(4, 4, 1, 2, 3);
  png.resize(png.size() / 2);  // cut short
  EXPECT_FALSE(photos::DecodeWithWic(png, img, error));
}
