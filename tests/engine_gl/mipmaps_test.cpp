#include "engine/gl/mipmaps.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "tests/engine_gl/image_maker.h"

using namespace prismora::image;
using prismora::testimage::Filled;

TEST(MipLevels, HalveDownToOnePixelAveragingEachSquare) {
  // A 512 x 512 photo texture: nine levels below it, 256 down to 1.
  Image photo = Filled(512, 512, [](int x, int y) {
    return std::array<uint8_t, 3>{uint8_t(x & 1 ? 200 : 100), uint8_t(y & 1 ? 0 : 255), 7};
  });
  std::vector<Image> levels = MipLevels(photo);
  ASSERT_EQ(levels.size(), 9u);
  for (std::size_t i = 0; i < levels.size(); ++i) {
    EXPECT_EQ(levels[i].width, 256 >> i);
    EXPECT_EQ(levels[i].height, 256 >> i);
    ASSERT_EQ(levels[i].rgb.size(), std::size_t(levels[i].width) * levels[i].height * 3);
  }
  // Stripes one pixel wide vanish into their average at once: no shimmer left.
  const uint8_t* p = levels[0].pixel(17, 30);
  EXPECT_EQ(p[0], 150);
  EXPECT_EQ(p[1], 128);  // (255 + 0) / 2 rounded
  EXPECT_EQ(p[2], 7);
  const uint8_t* last = levels.back().pixel(0, 0);
  EXPECT_EQ(last[0], 150);
  EXPECT_EQ(last[2], 7);
}

TEST(MipLevels, OddAndOblongSidesKeepEveryPixelInTheAverage) {
  // 3 x 1: one level of 1 x 1, the average of all three.
  Image row = Filled(3, 1, [](int x, int) { return std::array<uint8_t, 3>{uint8_t(x * 90), 0, 0}; });
  std::vector<Image> levels = MipLevels(row);
  ASSERT_EQ(levels.size(), 1u);
  EXPECT_EQ(levels[0].width, 1);
  EXPECT_EQ(levels[0].pixel(0, 0)[0], 90);

  // 8 x 2 goes 4 x 1, 2 x 1, 1 x 1.
  Image wide = Filled(8, 2, [](int, int) { return std::array<uint8_t, 3>{1, 2, 3}; });
  levels = MipLevels(wide);
  ASSERT_EQ(levels.size(), 3u);
  EXPECT_EQ(levels[0].width, 4);
  EXPECT_EQ(levels[0].height, 1);
  EXPECT_EQ(levels[2].width, 1);
  EXPECT_EQ(levels[2].pixel(0, 0)[2], 3);

  EXPECT_TRUE(MipLevels(Image{}).empty());
  EXPECT_TRUE(MipLevels(Filled(1, 1, [](int, int) { return std::array<uint8_t, 3>{}; })).empty());
  Image broken;  // sides that promise more pixels than there are
  broken.width = broken.height = 4;
  EXPECT_TRUE(MipLevels(broken).empty());
}

TEST(ReadMipped, TheFirstCandidateThatReadsWithItsLevels) {
  const std::string folder = (std::filesystem::temp_directory_path() / "prismora_read_mipped_").string();
  const std::string good = folder + "good.bmp", broken = folder + "broken.bmp";
  ASSERT_TRUE(SaveBmpFile(good, Filled(8, 4, [](int x, int) { return std::array<int, 3>{x * 30, 0, 255}; })));
  if (FILE* f = std::fopen(broken.c_str(), "wb")) {
    std::fputs("BMnot really", f);
    std::fclose(f);
  }
  const MippedPicture picture = ReadMipped({folder + "missing.bmp", broken, good});
  ASSERT_TRUE(picture.ok()) << picture.error;
  EXPECT_EQ(picture.file, good);
  EXPECT_EQ(picture.base.width, 8);
  EXPECT_EQ(picture.base.height, 4);
  ASSERT_EQ(picture.levels.size(), 3u);  // 4 x 2, 2 x 1, 1 x 1
  EXPECT_EQ(picture.levels[0].rgb, MipLevels(picture.base)[0].rgb);
  EXPECT_EQ(picture.levels.back().width, 1);

  const MippedPicture none = ReadMipped({folder + "missing.bmp", broken});
  EXPECT_FALSE(none.ok());
  EXPECT_NE(none.error.find("broken.bmp"), std::string::npos) << none.error;
  EXPECT_FALSE(ReadMipped({}).ok());
  std::remove(good.c_str());
  std::remove(broken.c_str());
}

TEST(HasExtension, MatchesWholeNamesOnly) {
  const char* list = "GL_ARB_multitexture GL_EXT_texture_filter_anisotropic_x GL_EXT_bgra";
  EXPECT_FALSE(HasExtension(list, "GL_EXT_texture_filter_anisotropic"));
  EXPECT_TRUE(HasExtension(list, "GL_EXT_bgra"));
  EXPECT_TRUE(HasExtension(list, "GL_ARB_multitexture"));
  EXPECT_TRUE(HasExtension("GL_A GL_EXT_texture_filter_anisotropic", "GL_EXT_texture_filter_anisotropic"));
  EXPECT_FALSE(HasExtension("", "GL_EXT_bgra"));
  EXPECT_FALSE(HasExtension(list, ""));
  EXPECT_FALSE(HasExtension("XGL_EXT_bgra", "GL_EXT_bgra"));
}

TEST(AnisotropyWorthIt, OnlyOnRenderersThatDrawInHardware) {
  EXPECT_FALSE(AnisotropyWorthIt("llvmpipe (LLVM 15.0.6, 256 bits)"));
  EXPECT_FALSE(AnisotropyWorthIt("softpipe"));
  EXPECT_FALSE(AnisotropyWorthIt("GDI Generic"));
  EXPECT_TRUE(AnisotropyWorthIt("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
  EXPECT_TRUE(AnisotropyWorthIt("NVIDIA GeForce GTX 1060/PCIe/SSE2"));
  EXPECT_TRUE(AnisotropyWorthIt(""));
}
