#include "builder/photos/gif_frames.h"

#include <gtest/gtest.h>

#include "tests/support/gif_maker.h"

using namespace prismora::photos::gif;
using prismora::testgif::FrameSpec;
using prismora::testgif::MakeGif;

namespace {

std::vector<FrameSpec> ThreeFrames() {
  return {{1, 2, 4, 3, 10, 0, false, 1},
          {5, 6, 2, 2, 20, 2, true, 2},
          {0, 1, 3, 1, 30, 3, false, 0}};
}

}  // namespace

TEST(GifFrames, RecognisesGifOnlyWhenLongerThanFourBytes) {
  std::vector<uint8_t> four = {'G', 'I', 'F', '8'};
  EXPECT_FALSE(IsGifFile(four));
  four.push_back('9');
  EXPECT_TRUE(IsGifFile(four));
  std::vector<uint8_t> lower = {'g', 'i', 'f', '8', '9', 'a'};
  EXPECT_FALSE(IsGifFile(lower));
  EXPECT_FALSE(IsGifFile({}));
}

TEST(GifFrames, NonGifHasNoFramesAndPassesThroughUnchanged) {
  std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x2C, 0, 0};
  EXPECT_EQ(FrameCount(jpeg), -1);
  EXPECT_FALSE(FrameTime(jpeg, 1));
  FrameSelection s = SelectFrame(jpeg, 2);
  EXPECT_EQ(s.bytes, jpeg);
  EXPECT_EQ(s.left, 0);
  EXPECT_EQ(s.top, 0);
  EXPECT_EQ(s.screenWidth, 0);
}

TEST(GifFrames, CountsAndTimesEveryFrame) {
  std::vector<uint8_t> g = MakeGif(7, 5, ThreeFrames());
  EXPECT_EQ(FrameCount(g), 3);
  auto t2 = FrameTime(g, 2);
  ASSERT_TRUE(t2);
  EXPECT_EQ(t2->delay, 20);
  EXPECT_TRUE(t2->transparent);
  EXPECT_EQ(t2->disposal, 2);
  EXPECT_EQ(FrameTime(g, 3)->disposal, 3);
  EXPECT_FALSE(FrameTime(g, 3)->transparent);
  EXPECT_EQ(FrameTime(g, 1)->delay, 10);
  EXPECT_FALSE(FrameTime(g, 4));
  EXPECT_FALSE(FrameTime(g, 0));
}

TEST(GifFrames, FrameTwoOfThreeKeepsHeaderAndFramesTwoAndThree) {
  std::vector<FrameSpec> frames = ThreeFrames();
  std::vector<uint8_t> all = MakeGif(7, 5, frames);
  FrameSelection s = SelectFrame(all, 2);

  std::vector<uint8_t> expected = prismora::testgif::Header(7, 5);
  for (int i : {1, 2}) {
    std::vector<uint8_t> f = prismora::testgif::Frame(frames[std::size_t(i)]);
    expected.insert(expected.end(), f.begin(), f.end());
  }
  expected.push_back(0x3B);
  EXPECT_EQ(s.bytes, expected);
  EXPECT_EQ(s.left, 5);
  EXPECT_EQ(s.top, 6);
  EXPECT_EQ(s.width, 2);
  EXPECT_EQ(s.height, 2);
  EXPECT_EQ(s.screenWidth, 7);
  EXPECT_EQ(s.screenHeight, 5);
  EXPECT_EQ(FrameCount(s.bytes), 2);
}

TEST(GifFrames, FirstFrameAndFrameZeroKeepTheWholeFile) {
  std::vector<uint8_t> all = MakeGif(7, 5, ThreeFrames());
  FrameSelection one = SelectFrame(all, 1);
  EXPECT_EQ(one.bytes, all);
  EXPECT_EQ(one.left, 1);
  EXPECT_EQ(one.top, 2);
  FrameSelection zero = SelectFrame(all, 0);
  EXPECT_EQ(zero.bytes, all);
  EXPECT_EQ(zero.left, 0);  // no frame was the chosen one
}

TEST(GifFrames, CutFilesNeverReadPastTheirEnd) {
  std::vector<uint8_t> all = MakeGif(7, 5, ThreeFrames());
  for (std::size_t n = 0; n < all.size(); ++n) {
    std::vector<uint8_t> cut(all.begin(), all.begin() + n);
    for (int frame : {1, 2, 3, 4}) {
      FrameSelection s = SelectFrame(cut, frame);
      ASSERT_LE(s.bytes.size(), cut.size());
      FrameTime(cut, frame);
    }
  }
}
