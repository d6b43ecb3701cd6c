#include "common/bmp.h"

#include <gtest/gtest.h>

#include "common/bytes.h"

using namespace prismora;

namespace {

// 3 x 2 pixels with a distinct value in every byte, rows `stride` bytes apart.
std::vector<uint8_t> Pixels(std::ptrdiff_t stride, bool blueFirst) {
  std::vector<uint8_t> px(std::size_t(stride) * 2, 0xEE);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      uint8_t* p = px.data() + y * stride + x * 3;
      const uint8_t red = uint8_t(10 + x + 3 * y), green = uint8_t(100 + x), blue = uint8_t(200 + y);
      p[0] = blueFirst ? blue : red;
      p[1] = green;
      p[2] = blueFirst ? red : blue;
    }
  return px;
}

}  // namespace

TEST(BmpCodec, BothChannelOrdersAndAnyStrideWriteTheSameFile) {
  const std::vector<uint8_t> rgb = Pixels(9, false), bgr = Pixels(16, true);
  std::vector<uint8_t> fromRgb, fromBgr = {1, 2, 3};  // reused buffers are replaced whole
  bmp::Encode24({rgb.data(), 3, 2, 9, bmp::Channels::Rgb}, fromRgb);
  bmp::Encode24({bgr.data(), 3, 2, 16, bmp::Channels::Bgr}, fromBgr);
  ASSERT_EQ(fromRgb.size(), 54u + 12 * 2);
  EXPECT_EQ(fromRgb, fromBgr);
  EXPECT_EQ(bytes::readU32(fromRgb, bmp::Layout::kXPelsPerMeter), 2835u);
  // Bottom row first, blue first, then the padding.
  EXPECT_EQ(fromRgb[54], 201);
  EXPECT_EQ(fromRgb[56], 13);
  EXPECT_EQ(fromRgb[63], 0);

  bmp::Header header;
  std::string error;
  ASSERT_TRUE(bmp::ReadHeader(fromRgb, 100, header, error)) << error;
  ASSERT_TRUE(bmp::HasPixelRows(fromRgb, header, error)) << error;
  std::vector<uint8_t> back(16 * 2, 0xEE);
  bmp::CopyPixels(fromRgb, header, {back.data(), 3, 2, 16, bmp::Channels::Bgr});
  EXPECT_EQ(back, bgr);  // the bytes past each row are left alone
}

TEST(BmpCodec, ThirtyTwoBitsWithMasksAreReadOtherCompressionIsNot) {
  const std::vector<uint8_t> px = Pixels(9, false);
  std::vector<uint8_t> file;
  bmp::Encode24({px.data(), 3, 2, 9, bmp::Channels::Rgb}, file);
  bmp::Header header;
  std::string error;
  std::vector<uint8_t> masked = file;
  bytes::writeU32(masked, bmp::Layout::kCompression, 3);
  EXPECT_FALSE(bmp::ReadHeader(masked, 100, header, error));  // masks need 32 bits
  bytes::writeU32(masked, bmp::Layout::kPlanes, 1 | (32u << 16));
  EXPECT_TRUE(bmp::ReadHeader(masked, 100, header, error)) << error;
  EXPECT_EQ(header.bytesPerPixel, 4);
  EXPECT_EQ(header.stride, 12u);
  bytes::writeU32(masked, bmp::Layout::kCompression, 2);
  EXPECT_FALSE(bmp::ReadHeader(masked, 100, header, error));
  EXPECT_NE(error.find("compressed"), std::string::npos) << error;
}

TEST(BmpCodec, TheDeclaredSizeIsKnownBeforeTheRowsAreLookedAt) {
  const std::vector<uint8_t> px = Pixels(9, false);
  std::vector<uint8_t> file;
  bmp::Encode24({px.data(), 3, 2, 9, bmp::Channels::Rgb}, file);
  bytes::writeI32(file, bmp::Layout::kWidth, 5000);
  bytes::writeI32(file, bmp::Layout::kHeight, -4000);
  bmp::Header header;
  std::string error;
  ASSERT_TRUE(bmp::ReadHeader(file, 5000, header, error)) << error;
  EXPECT_EQ(header.width, 5000);
  EXPECT_EQ(header.height, 4000);
  EXPECT_TRUE(header.topDown);
  EXPECT_FALSE(bmp::HasPixelRows(file, header, error));
  EXPECT_NE(error.find("truncated"), std::string::npos) << error;
  EXPECT_FALSE(bmp::ReadHeader(file, 4999, header, error));  // each caller's own limit
  EXPECT_NE(error.find("out of range"), std::string::npos) << error;
}
