// The animation rules on the real scene model: frames, visuals and motions of the engine.
#include <gtest/gtest.h>

#include <cmath>

#include "common/trailer.h"
#include "runtime/core/animation.h"
#include "runtime/core/engine_scene.h"

using namespace prismora;
using namespace prismora::runtime;

namespace {

struct CountingCanvas : Canvas {
  int clearsColour = 0, clearsDepth = 0, renders = 0, presents = 0;
  void Clear(bool colour) override { ++(colour ? clearsColour : clearsDepth); }
  void Render(const engine::Scene&) override { ++renders; }
  void Present() override { ++presents; }
};

trailer::Trailer Display(trailer::TemplateBlockFields f) {
  trailer::TemplateBlock block = trailer::makeTemplateBlock(f);
  std::vector<uint8_t> file(block.begin(), block.end());
  file.resize(1040, 0);
  return trailer::Trailer::fromFileTail(file);
}

bool Finite(const engine::Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

TEST(EngineScene, ConventionsOnEngineFrames) {
  engine::Scene scene;
  engine::Frame& spinner = scene.root.createChild("x3ds_ff");
  spinner.addVisual(std::make_shared<engine::Mesh>());
  engine::Frame& rider = scene.root.createChild("x3ds___v");
  scene.root.createChild("X3DS_FR_ROT_CUB");
  CountingCanvas canvas;
  EngineScene port(scene, canvas);
  trailer::TemplateBlockFields f;
  f.cameraPosition = {10, 20, 30};
  trailer::Trailer settings = Display(f);
  Animation anim = AnimationFromSettings(settings);
  ApplyFrameConventions(port, settings, anim);

  ASSERT_EQ(anim.spinFrames.size(), 1u);
  auto* sub = static_cast<engine::Frame*>(anim.spinFrames[0]);
  EXPECT_EQ(sub->parent(), &spinner);
  EXPECT_EQ(sub->visuals().size(), 1u);
  EXPECT_TRUE(spinner.visuals().empty());
  EXPECT_EQ(scene.camera.frame->parent(), &rider);
  engine::Vec3 p = scene.camera.frame->position(&scene.root);
  EXPECT_NEAR(p.x, 10, 1e-4);
  EXPECT_NEAR(p.y, 20, 1e-4);
  EXPECT_NEAR(p.z, 30, 1e-4);
  ASSERT_NE(anim.lookAtTarget, nullptr);
  EXPECT_EQ(static_cast<engine::Frame*>(anim.lookAtTarget)->parent()->name(), "X3DS_FR_ROT_CUB");
}

TEST(EngineScene, DriftingSpinningPartsStayFiniteAndNearTheBox) {
  engine::Scene scene;
  for (int i = 0; i < 8; ++i) scene.root.createChild("x3ds_ff").addVisual(std::make_shared<engine::Mesh>());
  scene.root.createChild("x3ds____t");
  CountingCanvas canvas;
  EngineScene port(scene, canvas);
  trailer::TemplateBlockFields f;
  f.speed = 90;
  f.trailsFlag = true;
  f.trailCount = 2;
  trailer::Trailer settings = Display(f);
  Animation anim = AnimationFromSettings(settings);
  ApplyFrameConventions(port, settings, anim);
  Random random(99);
  for (int i = 0; i < 50000; ++i) Tick(port, anim, random);
  for (FrameRef r : anim.driftFrames) {
    auto* fr = static_cast<engine::Frame*>(r);
    engine::Vec3 pos = fr->position(&scene.root);
    ASSERT_TRUE(Finite(pos));
    // Pulled back whenever it leaves, a part never strays far past the box.
    EXPECT_LT(std::fabs(pos.x), 1000.0f);
    EXPECT_LT(std::fabs(pos.z), 1000.0f);
    EXPECT_TRUE(Finite(fr->orientation(&scene.root).direction));
  }
  EXPECT_TRUE(Finite(scene.camera.frame->orientation(&scene.root).direction));
  // Three renders and one present per tick with two trail steps.
  EXPECT_EQ(canvas.renders, 3 * 50000);
  EXPECT_EQ(canvas.presents, 50000);
  EXPECT_EQ(canvas.clearsColour, 50000);
  EXPECT_EQ(canvas.clearsDepth, 50000);
}
