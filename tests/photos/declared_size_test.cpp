// Sizes picture headers declare, read before the platform's decoder would trust them.
#include "builder/photos/declared_size.h"

#include <gtest/gtest.h>

#include "tests/support/picture_files.h"
#include "tests/support/gif_maker.h"

using namespace prismora::photos;
using prismora::testgif::FrameSpec;
using prismora::testgif::MakeGif;

namespace {

void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
  v[at] = uint8_t(x), v[at + 1] = uint8_t(x >> 8);
}

bool Declares(const std::vector<uint8_t>& file, int64_t w, int64_t h) {
  auto s = ReadDeclaredSize(file);
  return s && s->width == w && s->height == h;
}

}  // namespace

TEST(DeclaredSize, GifCountsTheLargestOfScreenAndFrames) {
  const FrameSpec red{0, 0, 4, 4, 10, 0, false, 1}, blue{2, 2, 6, 3, 10, 0, false, 3};
  std::vector<uint8_t> gif = MakeGif(8, 8, {red, blue});
  EXPECT_TRUE(Declares(gif, 8, 8));
  EXPECT_TRUE(DeclaredSizeAffordable(gif));

  // A frame (behind the global colour table and the first frame's data) may declare
  // more than the screen.
  std::vector<uint8_t> wideFrame = gif;
  const size_t second = MakeGif(8, 8, {red}).size() - 1;  // where the second frame begins
  ASSERT_EQ(wideFrame[second + 8], 0x2C);
  Put16(wideFrame, second + 13, 60000);  // its width
  EXPECT_TRUE(Declares(wideFrame, 60000, 8));
  Put16(wideFrame, second + 15, 60000);
  EXPECT_FALSE(DeclaredSizeAffordable(wideFrame));

  std::vector<uint8_t> hugeScreen = MakeGif(65535, 65535, {red});
  EXPECT_FALSE(DeclaredSizeAffordable(hugeScreen));
  // Cut off inside the first frame: what was read counts.
  hugeScreen.resize(30);
  EXPECT_TRUE(Declares(hugeScreen, 65535, 65535));
}

TEST(DeclaredSize, BitmapsOfBothHeadersAndPng) {
  std::vector<uint8_t> bmp = prismora::testsupport::SolidBmp(20, 10, 255, 0, 0);
  EXPECT_TRUE(Declares(bmp, 20, 10));
  EXPECT_TRUE(DeclaredSizeAffordable(bmp));
  for (int i = 0; i < 4; ++i) bmp[22 + size_t(i)] = uint8_t(uint32_t(-20000) >> (8 * i));  // top-down
  bmp[18] = 0x20, bmp[19] = 0x4E, bmp[20] = 0, bmp[21] = 0;  // 20000 wide
  EXPECT_TRUE(Declares(bmp, 20000, 20000));
  EXPECT_FALSE(DeclaredSizeAffordable(bmp));

  // The old 12-byte core header holds 16-bit sides.
  std::vector<uint8_t> core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0,
                               0x30, 0x75, 0x30, 0x75, 1, 0, 24, 0};
  EXPECT_TRUE(Declares(core, 30000, 30000));
  EXPECT_FALSE(DeclaredSizeAffordable(core));

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                              'I', 'H', 'D', 'R', 0, 0, 0x03, 0xE8, 0, 0, 0x02, 0xEE};
  EXPECT_TRUE(Declares(png, 1000, 750));
  EXPECT_TRUE(DeclaredSizeAffordable(png));
  png[17] = 0x9C, png[18] = 0x40;  // 40000 wide: ten bytes a pixel are far too many
  EXPECT_FALSE(DeclaredSizeAffordable(png));

  // Kinds whose header is not read here, and cut headers, are the decoder's business.
  EXPECT_FALSE(ReadDeclaredSize(std::vector<uint8_t>{0, 0, 1, 0, 1, 0}));
  EXPECT_TRUE(DeclaredSizeAffordable(std::vector<uint8_t>{'B', 'M', 0}));
}
