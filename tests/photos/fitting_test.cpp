// Border rectangles, the random colour sequence, the progress text and the plain stretch.
#include <gtest/gtest.h>

#include "builder/photos/fitting.h"

using namespace prismora::photos;

TEST(BorderFitRect, LandscapeGetsBandsAboveAndBelow) {
  EXPECT_EQ(BorderFitRect(800, 600, 512), (PixelRect{0, 64, 512, 448}));
  EXPECT_EQ(BorderFitRect(800, 600, 256), (PixelRect{0, 32, 256, 224}));
  // 512 × 0.667 = 341.504: the top truncates to 85 and the bottom to 426.
  EXPECT_EQ(BorderFitRect(1000, 667, 512), (PixelRect{0, 85, 512, 426}));
}

TEST(BorderFitRect, PortraitGetsBandsLeftAndRight) {
  EXPECT_EQ(BorderFitRect(600, 800, 512), (PixelRect{64, 0, 448, 512}));
  EXPECT_EQ(BorderFitRect(600, 800, 256), (PixelRect{32, 0, 224, 256}));
}

TEST(BorderFitRect, SquareCoversEverything) {
  EXPECT_EQ(BorderFitRect(300, 300, 512), (PixelRect{0, 0, 512, 512}));
  EXPECT_EQ(BorderFitRect(1, 1, 256), (PixelRect{0, 0, 256, 256}));
}

TEST(BorderFitRect, EmptyPictureDoesNotDivideByZero) {
  EXPECT_EQ(BorderFitRect(0, 0, 512), (PixelRect{0, 0, 512, 512}));
}

TEST(RandomColors, SequenceStartsTheSameInEveryRun) {
  RandomColors random;
  EXPECT_EQ(random.NextRandomColor(), 346u);  // red 90, green 1
  EXPECT_EQ(random.NextRandomColor(), 130u);
  EXPECT_EQ(random.NextRandomColor(), 10982u);
  EXPECT_EQ(random.NextRandomColor(), 1090u);
  RandomColors again;
  EXPECT_EQ(again.NextRandomColor(), 346u);
}

TEST(RandomColors, NeverAnyBlue) {
  RandomColors random;
  for (int i = 0; i < 100000; ++i) ASSERT_EQ(random.NextRandomColor() & 0xFF8000u, 0u);
}

TEST(ProgressLabel, CountsFromOneAndNamesThePhotosFile) {
  EXPECT_EQ(ProgressLabel(0, 5, "C:\\Pictures\\2024 Holiday\\IMG_1234.JPG"), "Photo 1 of 5: IMG_1234.JPG");
  EXPECT_EQ(ProgressLabel(1233, 5000, "D:/trip/b.png"), "Photo 1234 of 5000: b.png");
  EXPECT_EQ(ProgressLabel(4, 5, "bare.bmp"), "Photo 5 of 5: bare.bmp");
  EXPECT_EQ(ProgressLabel(0, 1, "C:\\odd\\"), "Photo 1 of 1: ");
}

namespace {
// A photo whose every pixel says where it came from: red = column, green = row.
PixelImage Coordinates(int w, int h) {
  PixelImage img(w, h);
  PixelView v = img.View();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      v.Row(y)[3 * x + 2] = uint8_t(x);
      v.Row(y)[3 * x + 1] = uint8_t(y);
      v.Row(y)[3 * x + 0] = 0;
    }
  return img;
}
uint32_t Coord(int x, int y) { return uint32_t(x) | uint32_t(y) << 8; }
}  // namespace

TEST(StretchNearest, EnlargingRepeatsWholeRowsAndColumns) {
  PixelImage src = Coordinates(2, 2), dst(4, 4);
  StretchNearest(src.View(), dst.View(), {0, 0, 4, 4});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.View().At(x, y), Coord(x / 2, y / 2)) << x << "," << y;
}

TEST(StretchNearest, ShrinkingDropsRowsAndColumnsWithoutBlending) {
  PixelImage src = Coordinates(8, 8), dst(2, 2);
  StretchNearest(src.View(), dst.View(), {0, 0, 2, 2});
  // Every result is one of the source pixels, taken from the middle of its block.
  EXPECT_EQ(dst.View().At(0, 0), Coord(2, 2));
  EXPECT_EQ(dst.View().At(1, 1), Coord(6, 6));
}

TEST(StretchNearest, StaysInsideTheRectangleAndClipsTheRest) {
  PixelImage src = Coordinates(4, 4), dst(6, 6);
  Fill(dst.View(), 0x00FF0000);
  StretchNearest(src.View(), dst.View(), {1, 1, 5, 5});
  EXPECT_EQ(dst.View().At(0, 0), 0x00FF0000u);
  EXPECT_EQ(dst.View().At(5, 5), 0x00FF0000u);
  EXPECT_EQ(dst.View().At(1, 1), Coord(0, 0));
  EXPECT_EQ(dst.View().At(4, 4), Coord(3, 3));
  StretchNearest(src.View(), dst.View(), {-2, -2, 10, 10});  // must not write outside
  EXPECT_EQ(dst.View().At(0, 0), Coord(0, 0));
  EXPECT_EQ(dst.View().At(5, 5), Coord(2, 2));
}

TEST(DrawFitted, BorderFillsTheBandsAndUsesThePicturesOwnSize) {
  // A photo decoded at half scale is still placed by its full 1000 × 667 size.
  PixelImage half = Coordinates(500, 334), square(512, 512);
  DrawFitted(half.View(), 1000, 667, square.View(), {true, 0x000000FF});
  EXPECT_EQ(square.View().At(100, 84), 0x000000FFu);
  EXPECT_NE(square.View().At(100, 85), 0x000000FFu);
  EXPECT_NE(square.View().At(100, 425), 0x000000FFu);
  EXPECT_EQ(square.View().At(100, 426), 0x000000FFu);
}

TEST(DrawFitted, StretchCoversTheWholeSquare) {
  PixelImage photo(80, 60), square(512, 512);
  Fill(photo.View(), 0x00123456);
  Fill(square.View(), 0x000000FF);
  DrawFitted(photo.View(), 80, 60, square.View(), {false, 0x000000FF});
  for (int y : {0, 255, 511})
    for (int x : {0, 255, 511}) EXPECT_EQ(square.View().At(x, y), 0x00123456u);
}
