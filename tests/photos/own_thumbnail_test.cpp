// Thumbnails of WebP, TIFF, HEIC and AVIF photos made by cwebp, ImageMagick, heif-enc and
// avifenc at test time: decoded
// by the builder's readers at the drawn size, never handed to the platform's decoder,
// and refused (an empty frame) when damaged.
#include <gtest/gtest.h>

#include "builder/photos/own_thumbnail.h"
#include "tests/support/native_tools.h"
#include "tests/support/picture_files.h"

using namespace prismora;
using namespace prismora::photos;

namespace {

constexpr int kW = 320, kH = 240;

// Left half red, right half blue.
std::string HalvesPpm(const testsupport::ScratchFolder& folder) {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      rgb.insert(rgb.end(), {uint8_t(x < kW / 2 ? 210 : 20), 20, uint8_t(x < kW / 2 ? 20 : 200)});
  testsupport::WritePpm(folder / "halves.ppm", kW, kH, rgb);
  return folder / "halves.ppm";
}

}  // namespace

TEST(OwnThumbnails, WebpTiffHeicAndAvifAreDecodedAtTheDrawnSize) {
  testsupport::ScratchFolder folder;
  const std::string source = HalvesPpm(folder);
  ASSERT_TRUE(testsupport::Run("cwebp -quiet -q 95 " + source + " -o " + folder / "h.webp"));
  ASSERT_TRUE(testsupport::Run("convert " + source + " -compress JPEG -quality 95 " +
                               folder / "h.tif"));
  ASSERT_TRUE(testsupport::Run("convert " + source + " PNG24:" + folder / "h.png"));
  ASSERT_TRUE(testsupport::Run("heif-enc -q 90 " + folder / "h.png" + " -o " + folder / "h.heic"));
  ASSERT_TRUE(testsupport::Run("avifenc -s 8 " + folder / "h.png" + " " + folder / "h.avif"));
  for (const char* name : {"h.webp", "h.tif", "h.heic", "h.avif"}) {
    SCOPED_TRACE(name);
    DecodedThumbnail thumb;
    ASSERT_EQ(DecodeOwnThumbnail(testsupport::ReadBytes(folder / name), {80, 80}, thumb),
              OwnThumbnail::Decoded);
    EXPECT_EQ(thumb.fullSize, (Size{kW, kH}));
    ASSERT_EQ(thumb.image.width, 80);
    ASSERT_EQ(thumb.image.height, 60);
    const uint8_t* left = &thumb.image.pixels[(30 * 80 + 10) * 3];
    const uint8_t* right = &thumb.image.pixels[(30 * 80 + 70) * 3];
    EXPECT_NEAR(left[2], 210, 16);  // red, stored blue first
    EXPECT_NEAR(left[0], 20, 16);
    EXPECT_NEAR(right[0], 200, 16);
    EXPECT_NEAR(right[2], 20, 16);
  }
}

TEST(OwnThumbnails, DamagedOnesAreRefusedAndOtherKindsLeftToThePlatform) {
  testsupport::ScratchFolder folder;
  ASSERT_TRUE(testsupport::Run("cwebp -quiet " + HalvesPpm(folder) + " -o " + folder / "h.webp"));
  std::vector<uint8_t> cut = testsupport::ReadBytes(folder / "h.webp");
  cut.resize(cut.size() / 3);
  DecodedThumbnail thumb;
  EXPECT_EQ(DecodeOwnThumbnail(cut, {80, 80}, thumb), OwnThumbnail::Refused);
  ASSERT_TRUE(testsupport::Run("convert " + HalvesPpm(folder) + " PNG24:" + folder / "h.png"));
  ASSERT_TRUE(testsupport::Run("heif-enc -q 50 " + folder / "h.png" + " -o " + folder / "h.heic"));
  cut = testsupport::ReadBytes(folder / "h.heic");
  cut.resize(cut.size() / 2);
  EXPECT_EQ(DecodeOwnThumbnail(cut, {80, 80}, thumb), OwnThumbnail::Refused);
  std::vector<uint8_t> tiff = testsupport::SolidTiff(40, 30, 1, 2, 3);
  tiff.resize(tiff.size() - 100);  // the strip cut short
  EXPECT_EQ(DecodeOwnThumbnail(tiff, {80, 80}, thumb), OwnThumbnail::Refused);
  EXPECT_EQ(DecodeOwnThumbnail(testsupport::SolidPng(4, 4, 1, 2, 3), {80, 80}, thumb),
            OwnThumbnail::OtherFormat);
}
