#include "builder/photos/picture_geometry.h"

#include <gtest/gtest.h>

using namespace prismora::photos;

TEST(PictureGeometry, HimetricBecomesPixelsAt96PerInch) {
  EXPECT_EQ(HimetricToPixels(2540), 96);
  EXPECT_EQ(HimetricToPixels(16933), 640);  // what the decoder reports for 640 pixels
  EXPECT_EQ(HimetricToPixels(0), 0);
  EXPECT_EQ(PixelsToHimetric(640), 16933);
}

TEST(PictureGeometry, MulDivRoundsHalvesAwayFromZeroLikeThePlatform) {
  EXPECT_EQ(MulDivRound(5, 1, 2), 3);
  EXPECT_EQ(MulDivRound(-5, 1, 2), -3);
  EXPECT_EQ(MulDivRound(5, -1, 2), -3);
  EXPECT_EQ(MulDivRound(5, 1, -2), -3);
  EXPECT_EQ(MulDivRound(7, 1, 3), 2);
  EXPECT_EQ(MulDivRound(1, 1, 0), -1);
  EXPECT_EQ(MulDivRound(2000000000, 2, 1), -1);  // too large for 32 bits
  EXPECT_EQ(MulDivRound(2000000000, 3, 3), 2000000000);  // the product may exceed 32 bits
}

TEST(PictureGeometry, PicturesAreNeverEnlargedAndKeepTheirAspect) {
  EXPECT_EQ(FitPicture({40, 30}, {133, 47}), (Size{40, 30}));
  EXPECT_EQ(PlacePicture({0, 0, 133, 47}, {40, 30}), (Rect{46, 8, 86, 38}));
  EXPECT_EQ(FitPicture({1000, 10}, {100, 50}), (Size{100, 1}));  // wide: full width
  EXPECT_EQ(FitPicture({10, 1000}, {100, 50}), (Size{0, 50}));   // narrow truncates to 0
  EXPECT_EQ(FitPicture({200, 100}, {100, 50}), (Size{100, 50}));  // equal ratios
  EXPECT_EQ(FitPicture({200, 100}, {0, 50}), (Size{}));
  EXPECT_EQ(FitPicture({0, 0}, {100, 50}), (Size{}));
}

TEST(PictureGeometry, PictureAddressesKeepThePathCase) {
  PictureUrl f = ParsePictureUrl("file://C:\\Pics\\A.gif");
  EXPECT_EQ(f.scheme, UrlScheme::File);
  EXPECT_EQ(f.rest, "C:\\Pics\\A.gif");
  EXPECT_EQ(ParsePictureUrl("FiLe://x").scheme, UrlScheme::File);
  PictureUrl r = ParsePictureUrl("RES://Logo");
  EXPECT_EQ(r.scheme, UrlScheme::Resource);
  EXPECT_EQ(r.rest, "Logo");
  EXPECT_EQ(ParsePictureUrl("http://example.com/a.jpg").scheme, UrlScheme::None);
  EXPECT_EQ(ParsePictureUrl("file:/x").scheme, UrlScheme::None);
  EXPECT_EQ(ParsePictureUrl("file://").rest, "");
}
