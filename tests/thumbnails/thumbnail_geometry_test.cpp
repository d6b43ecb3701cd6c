#include "builder/thumbnails/thumbnail_geometry.h"

#include <gtest/gtest.h>

using namespace prismora::thumbnails;

TEST(ThumbnailGeometry, TheStripExampleGives62By47Placed35Right) {
  ItemLayout l = LayoutItem({0, 0, 137, 64}, 13);
  EXPECT_EQ(l.content, (Rect{2, 2, 135, 62}));
  EXPECT_EQ(l.pictureArea, (Rect{2, 2, 135, 49}));
  EXPECT_EQ(l.caption, (Rect{2, 49, 135, 62}));
  EXPECT_EQ(FitPicture({640, 480}, {133, 47}), (Size{62, 47}));
  Rect placed = PlacePicture(l.pictureArea, {640, 480});
  EXPECT_EQ(placed.left - l.pictureArea.left, 35);
  EXPECT_EQ(placed, (Rect{37, 2, 99, 49}));
}

TEST(ThumbnailGeometry, WithoutCaptionThePictureTakesTheWholeContent) {
  ItemLayout l = LayoutItem({10, 64, 147, 128}, 0);
  EXPECT_EQ(l.pictureArea, l.content);
  EXPECT_EQ(l.content, (Rect{12, 66, 145, 126}));
}
