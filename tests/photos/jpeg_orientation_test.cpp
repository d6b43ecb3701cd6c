// Camera photos come out upright: the EXIF Orientation tag is read safely, each of its
// eight values turns the picture as the EXIF definition says, and both the photo decoder
// and the strip's thumbnails apply it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "builder/photos/jpeg.h"
#include "builder/photos/jpeg_orientation.h"
#include "builder/photos/jpeg_thumbnail.h"
#include "tests/support/jpeg_maker.h"

using namespace prismora::photos;
namespace testjpeg = prismora::testjpeg;

namespace {

// 64 x 32, left half red, right half blue.
std::vector<uint8_t> RedLeftBlueRight() {
  return testjpeg::MakeJpeg(64, 32, [](int x, int) {
    return x < 32 ? testjpeg::Rgb{255, 0, 0} : testjpeg::Rgb{0, 0, 255};
  });
}

bool IsRed(uint32_t bgr) { return (bgr & 0xFF) > 200 && (bgr >> 16 & 0xFF) < 60; }
bool IsBlue(uint32_t bgr) { return (bgr >> 16 & 0xFF) > 200 && (bgr & 0xFF) < 60; }

}  // namespace

TEST(JpegOrientation, ReadsTheTagInEitherByteOrderWhereverTheBlockSits) {
  const std::vector<uint8_t> plain = RedLeftBlueRight();
  EXPECT_EQ(JpegOrientation(plain), 1);
  const size_t afterJfif = 4 + (plain[4] << 8 | plain[5]);  // libjpeg writes APP0 first
  for (int orientation = 1; orientation <= 8; ++orientation) {
    for (bool little : {true, false}) {
      EXPECT_EQ(JpegOrientation(testjpeg::WithOrientation(plain, orientation, little)),
                orientation);
      EXPECT_EQ(JpegOrientation(testjpeg::WithOrientation(plain, orientation, little, afterJfif)),
                orientation);
    }
  }
  // Another APP1 block (XMP) before the EXIF one is passed over.
  std::vector<uint8_t> xmp = testjpeg::WithOrientation(plain, 6);
  const std::vector<uint8_t> other{0xFF, 0xE1, 0, 8, 'h', 't', 't', 'p', ':', '/'};
  xmp.insert(xmp.begin() + 2, other.begin(), other.end());
  EXPECT_EQ(JpegOrientation(xmp), 6);
}

TEST(JpegOrientation, DamagedOrOddBlocksMeanAsStored) {
  const std::vector<uint8_t> tagged = testjpeg::WithOrientation(RedLeftBlueRight(), 6);
  // Offsets in the tagged file: block at 2, "Exif" at 6, TIFF header at 12, the directory at
  // 20, the entry's tag at 22, its type at 24, its value at 30.
  ASSERT_EQ(JpegOrientation(tagged), 6);
  auto changed = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> file = tagged;
    file[at] = value;
    return JpegOrientation(file);
  };
  EXPECT_EQ(changed(30, 9), 1);     // no such orientation
  EXPECT_EQ(changed(30, 0), 1);
  EXPECT_EQ(changed(22, 0x13), 1);  // another tag
  EXPECT_EQ(changed(24, 4), 1);     // not a SHORT
  EXPECT_EQ(changed(16, 200), 1);   // the directory past the end
  EXPECT_EQ(changed(20, 0), 1);     // an empty directory
  EXPECT_EQ(changed(12, 'X'), 1);   // no byte order
  EXPECT_EQ(changed(3, 0xFF), 1);   // the block longer than the file
  EXPECT_EQ(changed(2, 0x00), 1);   // no marker where one must be
  for (size_t cut = 0; cut < 40; ++cut) {  // every cut inside the block (2..37)
    EXPECT_EQ(JpegOrientation(std::span(tagged).first(cut)), cut < 38 ? 1 : 6) << cut;
  }
}

// The EXIF definition of each value: which corner of the upright picture the stored first
// pixel lands in, and where the ends of the stored first row and first column go.
TEST(JpegOrientation, EachValueTurnsAsTheExifDefinitionSays) {
  enum Corner { TL, TR, BL, BR };
  struct Expected {
    Corner first, rowEnd, columnEnd;
  };
  const std::map<int, Expected> definition = {
      {1, {TL, TR, BL}},  // row 0 at the top, column 0 on the left
      {2, {TR, TL, BR}},  // top, right
      {3, {BR, BL, TR}},  // bottom, right
      {4, {BL, BR, TL}},  // bottom, left
      {5, {TL, BL, TR}},  // left, top
      {6, {TR, BR, TL}},  // right, top
      {7, {BR, TR, BL}},  // right, bottom
      {8, {BL, TL, BR}},  // left, bottom
  };
  const int w = 4, h = 3;
  std::vector<uint8_t> stored(size_t(w) * h * 3);
  for (size_t i = 0; i < stored.size(); ++i) stored[i] = uint8_t(i);  // every pixel unique
  const PixelView from{stored.data(), w, h, w * 3};
  for (const auto& [orientation, expected] : definition) {
    SCOPED_TRACE(orientation);
    const int uw = SwapsSides(orientation) ? h : w, uh = SwapsSides(orientation) ? w : h;
    std::vector<uint8_t> upright(stored.size(), 0xEE);
    const PixelView to{upright.data(), uw, uh, uw * 3};
    TurnUpright(from, orientation, to);
    auto at = [&](Corner c) {
      return to.At(c == TR || c == BR ? uw - 1 : 0, c == BL || c == BR ? uh - 1 : 0);
    };
    EXPECT_EQ(at(expected.first), from.At(0, 0));
    EXPECT_EQ(at(expected.rowEnd), from.At(w - 1, 0));
    EXPECT_EQ(at(expected.columnEnd), from.At(0, h - 1));
    std::vector<uint8_t> a = stored, b = upright;  // nothing lost, nothing doubled
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b);
  }
}

TEST(JpegOrientation, PhotosAndThumbnailsComeOutUpright) {
  // Held a quarter turn clockwise (6): the stored left half is the top.
  const std::vector<uint8_t> file = testjpeg::WithOrientation(RedLeftBlueRight(), 6);
  DecodedPhoto photo;
  std::string error;
  PixelSize asked;
  // Drawn at a quarter of its size: the decoder scales the stored 64 x 32 to 16 x 8.
  ASSERT_TRUE(DecodeJpeg(
      file, [&](int w, int h) { return asked = {w, h}, PixelSize{w / 4, h / 4}; }, photo, error))
      << error;
  EXPECT_EQ(asked.width, 32);  // the fitting is asked about the upright size
  EXPECT_EQ(asked.height, 64);
  EXPECT_EQ(photo.fullWidth, 32);
  EXPECT_EQ(photo.fullHeight, 64);
  ASSERT_EQ(photo.pixels.Width(), 8);
  ASSERT_EQ(photo.pixels.Height(), 16);
  EXPECT_TRUE(IsRed(photo.pixels.View().At(4, 2)));
  EXPECT_TRUE(IsBlue(photo.pixels.View().At(4, 13)));

  // Held the other way (8): the stored left half is the bottom.
  const auto thumb = DecodeJpegThumbnail(testjpeg::WithOrientation(RedLeftBlueRight(), 8),
                                         Size{64, 64});
  ASSERT_TRUE(thumb.has_value());
  EXPECT_EQ(thumb->fullSize.width, 32);
  EXPECT_EQ(thumb->fullSize.height, 64);
  ASSERT_EQ(thumb->image.width, 32);
  ASSERT_EQ(thumb->image.height, 64);
  auto pixel = [&](int x, int y) {
    const uint8_t* p = &thumb->image.pixels[(size_t(y) * 32 + size_t(x)) * 3];
    return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
  };
  EXPECT_TRUE(IsBlue(pixel(16, 8)));
  EXPECT_TRUE(IsRed(pixel(16, 56)));
}
