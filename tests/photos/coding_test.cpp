// Bitmap and JPEG files: layouts the runtime and the installer compiler rely on, and
// refusal of damaged input.
#include <gtest/gtest.h>

#include <cstdlib>

#include "builder/photos/bmp.h"
#include "builder/photos/jpeg.h"

using namespace prismora::photos;

namespace {
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

// Left half red, right half blue, top row green: orientation and channel order show.
PixelImage Marked(int w, int h) {
  PixelImage img(w, h);
  PixelView v = img.View();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t c = y == 0 ? 0x0000FF00 : (x < w / 2 ? 0x000000FF : 0x00FF0000);
      uint8_t* p = v.Row(y) + 3 * x;
      p[0] = uint8_t(c >> 16), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c);
    }
  return img;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}
}  // namespace

TEST(Bmp, PhotoBitmapIs512Square24BitBottomUp) {
  PixelImage img = Marked(512, 512);
  std::vector<uint8_t> file = EncodeBmp24(img.View());
  ASSERT_EQ(file.size(), 54u + 512 * 512 * 3);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(U32(file, 2), file.size());
  EXPECT_EQ(U32(file, 10), 54u);
  EXPECT_EQ(U32(file, 14), 40u);
  EXPECT_EQ(int32_t(U32(file, 18)), 512);
  EXPECT_EQ(int32_t(U32(file, 22)), 512);  // positive: bottom-up
  EXPECT_EQ(U16(file, 26), 1);
  EXPECT_EQ(U16(file, 28), 24);
  EXPECT_EQ(U32(file, 30), 0u);
  // The top row (green) is stored last; bytes are blue, green, red.
  size_t lastRow = 54 + 511 * 512 * 3;
  EXPECT_EQ(file[lastRow], 0);
  EXPECT_EQ(file[lastRow + 1], 255);
  EXPECT_EQ(file[54], 0);
  EXPECT_EQ(file[54 + 2], 255);  // bottom-left is red
}

TEST(Bmp, RowsArePaddedToWholeWords) {
  PixelImage img = Marked(55, 3);
  std::vector<uint8_t> file = EncodeBmp24(img.View());
  EXPECT_EQ(BmpRowBytes(55), 168u);
  EXPECT_EQ(file.size(), 54u + 168 * 3);
  EXPECT_EQ(file[54 + 165], 0);  // padding
  PixelImage back;
  std::string error;
  ASSERT_TRUE(DecodeBmp(file, back, error)) << error;
  ASSERT_EQ(back.Width(), 55);
  ASSERT_EQ(back.Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 55; ++x) EXPECT_EQ(back.View().At(x, y), img.View().At(x, y));
}

TEST(Bmp, RefusesHeadersThatLie) {
  PixelImage out;
  std::string error;
  std::vector<uint8_t> file = EncodeBmp24(Marked(16, 16).View());
  std::vector<uint8_t> cut(file.begin(), file.end() - 10);
  EXPECT_FALSE(DecodeBmp(cut, out, error));
  std::vector<uint8_t> huge = file;
  huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;
  EXPECT_FALSE(DecodeBmp(huge, out, error));
  std::vector<uint8_t> offset = file;
  offset[10] = 0xFF, offset[11] = 0xFF, offset[12] = 0xFF, offset[13] = 0xFF;
  EXPECT_FALSE(DecodeBmp(offset, out, error));
  std::vector<uint8_t> rle = file;
  rle[30] = 1;
  EXPECT_FALSE(DecodeBmp(rle, out, error));
  EXPECT_FALSE(DecodeBmp(std::vector<uint8_t>(20, 'B'), out, error));
}

TEST(Jpeg, ScaleIsTheSmallestThatStillCoversTheDrawSize) {
  // 4000 × 3000 drawn 512 × 384: 1/8 gives 500 wide, too small; 2/8 gives 1000.
  EXPECT_EQ(JpegScaleEighths(4000, 3000, {512, 384}), 2);
  EXPECT_EQ(JpegScaleEighths(4096, 4096, {512, 512}), 1);
  EXPECT_EQ(JpegScaleEighths(800, 600, {512, 384}), 6);  // 600 × 450
  EXPECT_EQ(JpegScaleEighths(300, 200, {512, 341}), 8);  // never enlarges
  EXPECT_EQ(JpegScaleEighths(4000, 3000, {512, 512}), 2);  // stretched: both sides count
}

TEST(Jpeg, ExportIsBaselineColourAndDecodesBackWithinJpegError) {
  PixelImage img = Marked(512, 512);
  std::vector<uint8_t> file;
  std::string error;
  ASSERT_TRUE(EncodeJpeg(img.View(), kExportQuality, file, error)) << error;
  ASSERT_TRUE(LooksLikeJpeg(file));
  // Baseline start-of-frame (FFC0) with three components; no progressive frame (FFC2).
  bool baseline = false, progressive = false;
  for (size_t i = 0; i + 9 < file.size(); ++i) {
    if (file[i] != 0xFF) continue;
    if (file[i + 1] == 0xC0) {
      baseline = true;
      EXPECT_EQ(file[i + 9], 3);  // components
      EXPECT_EQ((file[i + 5] << 8) | file[i + 6], 512);
    }
    if (file[i + 1] == 0xC2) progressive = true;
  }
  EXPECT_TRUE(baseline);
  EXPECT_FALSE(progressive);

  DecodedPhoto back;
  ASSERT_TRUE(DecodeJpeg(file, [](int w, int h) { return PixelSize{w, h}; }, back, error)) << error;
  ASSERT_EQ(back.pixels.Width(), 512);
  EXPECT_TRUE(Near(back.pixels.View().At(100, 300), 0x000000FF, 8));
  EXPECT_TRUE(Near(back.pixels.View().At(400, 300), 0x00FF0000, 8));
}

TEST(Jpeg, DecodesAtReducedScaleAndKeepsTheFullSize) {
  PixelImage img = Marked(2048, 1536);
  std::vector<uint8_t> file;
  std::string error;
  ASSERT_TRUE(EncodeJpeg(img.View(), 90, file, error));
  DecodedPhoto photo;
  ASSERT_TRUE(DecodeJpeg(file, [](int, int) { return PixelSize{512, 384}; }, photo, error));
  EXPECT_EQ(photo.fullWidth, 2048);
  EXPECT_EQ(photo.fullHeight, 1536);
  EXPECT_EQ(photo.pixels.Width(), 512);
  EXPECT_EQ(photo.pixels.Height(), 384);
  EXPECT_TRUE(Near(photo.pixels.View().At(10, 200), 0x000000FF, 8));
}

TEST(Jpeg, DamagedFilesFailWithAReason) {
  PixelImage img = Marked(64, 64);
  std::vector<uint8_t> file;
  std::string error;
  ASSERT_TRUE(EncodeJpeg(img.View(), 90, file, error));
  DecodedPhoto photo;
  auto full = [](int w, int h) { return PixelSize{w, h}; };
  std::vector<uint8_t> headerOnly(file.begin(), file.begin() + 40);
  EXPECT_FALSE(DecodeJpeg(headerOnly, full, photo, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(DecodeJpeg(std::vector<uint8_t>{0x89, 'P', 'N', 'G'}, full, photo, error));
}
