#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/scene/frame.h"
#include "tools/render/floor_scene.h"
#include "tools/render/render_options.h"

using namespace prismora;
using namespace prismora::render;

TEST(RenderOptions, ReadsPositionalsAndOptions) {
  const ParsedOptions p = ParseRenderOptions({"s.x", "--size", "1920x1080", "photos", "--ticks", "30", "out.bmp",
                                              "--block", "b.block", "--time", "12.5", "--seed", "7", "--bench", "200", "--starts", "250"});
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.options.scene, "s.x");
  EXPECT_EQ(p.options.photoFolder, "photos");
  EXPECT_EQ(p.options.output, "out.bmp");
  EXPECT_EQ(p.options.block, "b.block");
  EXPECT_EQ(p.options.width, 1920);
  EXPECT_EQ(p.options.height, 1080);
  EXPECT_EQ(p.options.ticks, 30);
  ASSERT_TRUE(p.options.time);
  EXPECT_FLOAT_EQ(*p.options.time, 12.5f);
  EXPECT_EQ(p.options.seed, 7u);
  EXPECT_EQ(p.options.benchFrames, 200);
  EXPECT_EQ(p.options.starts, 250);

  const ParsedOptions d = ParseRenderOptions({"a", "b", "c"});
  ASSERT_EQ(d.error, "");
  EXPECT_EQ(d.options.width, 800);
  EXPECT_FALSE(d.options.time);
  EXPECT_EQ(d.options.ticks, 0);
}

TEST(RenderOptions, RefusesWhatItCannotUse) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"a", "b"},
      {"a", "b", "c", "d"},
      {"a", "b", "c", "--size"},
      {"a", "b", "c", "--size", "0x10"},
      {"a", "b", "c", "--size", "100"},
      {"a", "b", "c", "--size", "99999x10"},
      {"a", "b", "c", "--size", "10x10x"},
      {"a", "b", "c", "--ticks", "-1"},
      {"a", "b", "c", "--ticks", "3z"},
      {"a", "b", "c", "--bench", "0"},
      {"a", "b", "c", "--starts", "0"},
      {"a", "b", "c", "--starts", "-5"},
      {"a", "b", "c", "--time", "nan"},
      {"a", "b", "c", "--time", "1e99"},
      {"a", "b", "c", "--frobnicate", "1"},
  };
  for (const auto& args : bad) {
    std::string line;
    for (const auto& a : args) line += a + " ";
    EXPECT_NE(ParseRenderOptions(args).error, "") << line;
  }
}

TEST(RenderOptions, MedianOfOddEvenAndNoSamples) {
  EXPECT_EQ(Median({}), 0);
  EXPECT_EQ(Median({5, 1, 3}), 3);
  EXPECT_EQ(Median({4, 1, 3, 2}), 2.5);
}

TEST(RenderOptions, PhotosAreFoundByExtensionAndHandedOutInTurn) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "render_options_photos";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "sub.bmp");
  for (const char* name : {"b.bmp", "a.BMP", "notes.txt", "c.bmpx"}) std::ofstream(dir / name) << "x";
  const std::vector<std::string> found = ListBitmaps(dir.string());
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(std::filesystem::path(found[0]).filename(), "a.BMP");
  EXPECT_EQ(std::filesystem::path(found[1]).filename(), "b.bmp");
  EXPECT_TRUE(ListBitmaps((dir / "missing").string()).empty());
  std::filesystem::remove_all(dir);

  PhotoCycle cycle({"p0", "p1"});
  EXPECT_EQ(cycle.Next(), std::vector<std::string>{"p0"});
  EXPECT_EQ(cycle.Next(), std::vector<std::string>{"p1"});
  EXPECT_EQ(cycle.Next(), std::vector<std::string>{"p0"});
  EXPECT_TRUE(PhotoCycle({}).Next().empty());
}

TEST(RenderOptions, FloorQuadFillsTheViewExactly) {
  engine::Frame root;
  engine::Camera camera;
  camera.frame = &root.createChild("camera");
  for (auto [w, h] : {std::pair{1920, 1080}, std::pair{600, 800}}) {
    const auto mesh = FullViewQuad(camera, w, h, 100, "photo");
    ASSERT_EQ(mesh->groups.size(), 1u);
    const auto& g = mesh->groups[0];
    EXPECT_EQ(g.material->textureFile, "photo");
    const engine::FrustumPlane f = camera.frustum(w, h);
    // Corner projected back onto the front plane lies on the frustum's corner.
    EXPECT_FLOAT_EQ(g.vertices[0].position.x * f.front / 100, f.left);
    EXPECT_FLOAT_EQ(g.vertices[0].position.y * f.front / 100, f.top);
    EXPECT_FLOAT_EQ(g.vertices[2].position.x * f.front / 100, f.right);
    EXPECT_FLOAT_EQ(g.vertices[2].position.y * f.front / 100, f.bottom);
    EXPECT_EQ(g.indices.size(), 6u);
  }
}
