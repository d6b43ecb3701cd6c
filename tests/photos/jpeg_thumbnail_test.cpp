#include "builder/photos/jpeg_thumbnail.h"

#include <gtest/gtest.h>

#include "tests/support/jpeg_maker.h"

using namespace prismora::photos;
using prismora::testjpeg::MakeJpeg;
using prismora::testjpeg::Rgb;

TEST(JpegThumbnail, ChoosesTheSmallestScaleStillLargeEnough) {
  EXPECT_EQ(JpegScaleDenominator({4000, 3000}, {62, 47}), 8);
  EXPECT_EQ(JpegScaleDenominator({640, 480}, {133, 100}), 4);
  EXPECT_EQ(JpegScaleDenominator({640, 480}, {320, 240}), 2);
  EXPECT_EQ(JpegScaleDenominator({640, 480}, {321, 240}), 1);
  EXPECT_EQ(JpegScaleDenominator({100, 100}, {100, 100}), 1);
  EXPECT_EQ(JpegScaleDenominator({9, 9}, {3, 3}), 4);  // ceil(9 / 8) = 2, ceil(9 / 4) = 3
}

TEST(JpegThumbnail, DecodesAtTheFittedSizeWithColoursInBitmapOrder) {
  // Left half red, right half blue.
  auto bytes = MakeJpeg(640, 480, [](int x, int) { return x < 320 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; });
  auto t = DecodeJpegThumbnail(bytes, {133, 47});
  ASSERT_TRUE(t);
  EXPECT_EQ(t->fullSize, (Size{640, 480}));
  ASSERT_EQ(t->image.width, 62);
  ASSERT_EQ(t->image.height, 47);
  ASSERT_EQ(t->image.pixels.size(), 62u * 47 * 3);
  const uint8_t* left = &t->image.pixels[(20 * 62 + 5) * 3];
  EXPECT_GT(left[2], 200);  // red is the third byte
  EXPECT_LT(left[0], 60);
  const uint8_t* right = &t->image.pixels[(20 * 62 + 56) * 3];
  EXPECT_GT(right[0], 200);
  EXPECT_LT(right[2], 60);
}

TEST(JpegThumbnail, SmallPhotosKeepTheirSize) {
  auto bytes = prismora::testjpeg::SolidJpeg(40, 30, {0, 200, 0});
  auto t = DecodeJpegThumbnail(bytes, {133, 47});
  ASSERT_TRUE(t);
  EXPECT_EQ(t->image.width, 40);
  EXPECT_EQ(t->image.height, 30);
  EXPECT_NEAR(t->image.pixels[1], 200, 8);
}

TEST(JpegThumbnail, GreyPhotosComeOutAsEqualChannels) {
  const std::vector<uint8_t> grey(32 * 16, 90);
  auto t = DecodeJpegThumbnail(prismora::testjpeg::EncodeSamples(32, 16, 1, grey, 90), {64, 64});
  ASSERT_TRUE(t);
  ASSERT_EQ(t->image.pixels.size(), 32u * 16 * 3);
  EXPECT_NEAR(t->image.pixels[0], 90, 3);
  EXPECT_EQ(t->image.pixels[0], t->image.pixels[1]);
  EXPECT_EQ(t->image.pixels[1], t->image.pixels[2]);
}

TEST(JpegThumbnail, RejectsWhatIsNotAJpegAndSurvivesCutFiles) {
  EXPECT_FALSE(DecodeJpegThumbnail(std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a'}, {10, 10}));
  EXPECT_FALSE(DecodeJpegThumbnail(std::vector<uint8_t>{}, {10, 10}));
  auto bytes = MakeJpeg(64, 48, [](int x, int y) { return Rgb{uint8_t(x * 4), uint8_t(y * 5), 77}; });
  for (std::size_t n = 0; n < bytes.size(); n += 7) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(n));
    auto t = DecodeJpegThumbnail(cut, {32, 32});  // may decode a partial picture or fail
    if (t) {
      ASSERT_EQ(t->image.pixels.size(), std::size_t(t->image.width) * t->image.height * 3);
    }
  }
}

TEST(JpegThumbnail, ScaleDownAveragesEveryPixel) {
  BgrImage src{4, 2, {}};
  // Two columns of 0 and two of 200 in blue.
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) src.pixels.insert(src.pixels.end(), {uint8_t(x < 2 ? 0 : 200), 10, 20});
  BgrImage one = ScaleDown(src, {1, 1});
  EXPECT_EQ(one.pixels, (std::vector<uint8_t>{100, 10, 20}));
  BgrImage two = ScaleDown(src, {2, 1});
  EXPECT_EQ(two.pixels, (std::vector<uint8_t>{0, 10, 20, 200, 10, 20}));
  BgrImage odd = ScaleDown(src, {3, 2});
  EXPECT_EQ(odd.width, 3);
  EXPECT_EQ(odd.pixels.size(), 18u);
}
