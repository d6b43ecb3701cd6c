#include "engine/gl/bmp.h"

#include <gtest/gtest.h>

#include "common/bytes.h"
#include "tests/engine_gl/image_maker.h"

using namespace prismora::image;

namespace {

Image Gradient(int w, int h) {
  return prismora::testimage::Filled(w, h, [](int x, int y) {
    return std::array<uint8_t, 3>{uint8_t(x * 40), uint8_t(y * 60), uint8_t(200 - x - y)};
  });
}

// A hand-made 32-bit top-down file: 2 x 2 pixels, blue-green-red-unused order.
std::vector<uint8_t> TopDown32() {
  std::vector<uint8_t> f(54 + 16, 0);
  std::span<uint8_t> s(f);
  f[0] = 'B';
  f[1] = 'M';
  prismora::bytes::writeU32(s, 2, uint32_t(f.size()));
  prismora::bytes::writeU32(s, 10, 54);
  prismora::bytes::writeU32(s, 14, 40);
  prismora::bytes::writeI32(s, 18, 2);
  prismora::bytes::writeI32(s, 22, -2);
  prismora::bytes::writeU32(s, 26, 1 | (32u << 16));
  const uint8_t pixels[16] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
  std::copy(pixels, pixels + 16, f.begin() + 54);
  return f;
}

}  // namespace

TEST(Bmp, WrittenFilesReadBackWithPaddedRowsAndBottomUpOrder) {
  for (int w : {1, 2, 3, 5, 512}) {
    const Image img = Gradient(w, 3);
    const std::vector<uint8_t> file = WriteBmp24(img);
    const std::size_t stride = (std::size_t(w) * 3 + 3) / 4 * 4;
    ASSERT_EQ(file.size(), 54 + stride * 3) << w;
    // The first stored row is the picture's bottom row, blue first.
    EXPECT_EQ(file[54], img.pixel(0, 2)[2]);
    EXPECT_EQ(file[56], img.pixel(0, 2)[0]);
    const BmpReadResult r = ReadBmp(file);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.image.width, w);
    EXPECT_EQ(r.image.height, 3);
    EXPECT_EQ(r.image.rgb, img.rgb) << w;
  }
}

TEST(Bmp, ReadsTopDownThirtyTwoBitFiles) {
  const BmpReadResult r = ReadBmp(TopDown32());
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.pixel(0, 0)[0], 3);  // red of the first stored pixel
  EXPECT_EQ(r.image.pixel(1, 0)[2], 4);
  EXPECT_EQ(r.image.pixel(1, 1)[0], 12);
}

TEST(Bmp, AcceptsALastRowWithoutItsPadding) {
  std::vector<uint8_t> file = WriteBmp24(Gradient(1, 2));  // 3 pixel bytes + 1 padding per row
  file.pop_back();
  EXPECT_TRUE(ReadBmp(file).ok());
  file.pop_back();
  EXPECT_FALSE(ReadBmp(file).ok());
}

TEST(Bmp, RejectsWhatItCannotReadWithAReason) {
  const std::vector<uint8_t> good = WriteBmp24(Gradient(4, 4));
  auto withU32 = [&](std::size_t off, uint32_t v) {
    std::vector<uint8_t> f = good;
    prismora::bytes::writeU32(f, off, v);
    return f;
  };
  std::vector<uint8_t> notBm = good;
  notBm[0] = 'X';
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    const char* reason;
  } cases[] = {
      {"empty", {}, "too short"},
      {"signature", notBm, "BM"},
      {"eight bits", withU32(28, 8), "8-bit"},
      {"compressed", withU32(30, 1), "compressed"},
      {"zero width", withU32(18, 0), "out of range"},
      {"huge width", withU32(18, 1u << 30), "out of range"},
      {"most negative height", withU32(22, 0x80000000u), "height"},
      {"pixels inside headers", withU32(10, 20), "overlaps"},
      {"pixels past the end", withU32(10, 0xFFFFFF00u), "truncated"},
      {"header size past the end", withU32(14, 0x7FFFFFFFu), "info header"},
  };
  for (const Case& c : cases) {
    const BmpReadResult r = ReadBmp(c.file);
    EXPECT_FALSE(r.ok()) << c.what;
    EXPECT_NE(r.error.find(c.reason), std::string::npos) << c.what << ": " << r.error;
    EXPECT_TRUE(r.image.rgb.empty()) << c.what;
  }
}

TEST(Bmp, EveryTruncationIsAnErrorNotACrash) {
  const std::vector<uint8_t> good = WriteBmp24(Gradient(7, 5));
  const std::size_t unpaddedEnd = good.size() - 3;  // the last row's padding may go
  for (std::size_t n = 0; n < unpaddedEnd; ++n) {
    const BmpReadResult r = ReadBmp(std::span(good.data(), n));
    EXPECT_FALSE(r.ok()) << n;
  }
}

TEST(Bmp, FilesRoundTripAndMissingFilesAreNamed) {
  const std::string path = ::testing::TempDir() + "bmp_test_photo.bmp";
  const Image img = Gradient(6, 4);
  ASSERT_TRUE(SaveBmpFile(path, img));
  const BmpReadResult r = LoadBmpFile(path);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.rgb, img.rgb);
  std::remove(path.c_str());
  const BmpReadResult missing = LoadBmpFile(path);
  EXPECT_FALSE(missing.ok());
  EXPECT_NE(missing.error.find(path), std::string::npos);
  EXPECT_FALSE(SaveBmpFile(path, Image{}));
}
