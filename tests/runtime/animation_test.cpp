#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/bytes.h"
#include "common/trailer.h"
#include "runtime/core/animation.h"
#include "tests/runtime/fake_scene.h"

using namespace prismora;
using namespace prismora::runtime;
using testsupport::FakeFrame;
using testsupport::FakeScene;

namespace {

trailer::Trailer Display(trailer::TemplateBlockFields f) {
  trailer::TemplateBlock block = trailer::makeTemplateBlock(f);
  std::vector<uint8_t> file(block.begin(), block.end());
  file.resize(1040, 0);
  return trailer::Trailer::fromFileTail(file);
}

trailer::TemplateBlockFields Shipped() {
  trailer::TemplateBlockFields f;
  f.cameraPosition = {77.895f, 1.34228f, -41.1065f};
  f.cameraDirection = {-0.883919f, 0.0630946f, 0.463365f};
  f.cameraUp = {0.457236f, -0.09125f, 0.884652f};
  return f;
}

std::string T(float t) { return "time " + std::to_string(t); }

}  // namespace

TEST(FrameNames, FlagPositions) {
  FrameFlags f = ParseFrameName("x3ds_fftt");
  EXPECT_TRUE(f.spin);
  EXPECT_TRUE(f.drift);
  EXPECT_FALSE(f.cameraRig);
  EXPECT_TRUE(f.lookAt);
  EXPECT_FALSE(f.target);  // the name ends before position 9
  FrameFlags g = ParseFrameName("x3ds___v_t");
  EXPECT_FALSE(g.spin);
  EXPECT_TRUE(g.cameraRig);
  EXPECT_TRUE(g.target);
  // Flags are compared exactly; the whole-name test ignores case.
  FrameFlags upper = ParseFrameName("X3DS_FR_ROT_CUB");
  EXPECT_TRUE(upper.rotCube);
  EXPECT_FALSE(upper.spin);
  EXPECT_TRUE(ParseFrameName("x3ds_fr_rot_cub").spin);
  EXPECT_FALSE(ParseFrameName("x3ds_fr_rot_cube").rotCube);
  // Positions past 254 characters are cut with the name.
  std::string longName(300, '_');
  longName[5] = 'f';
  longName[260] = 'x';
  EXPECT_TRUE(ParseFrameName(longName).spin);
}

TEST(FrameConventions, ShippedSceneRidesTheCameraAndLooksAtTheOrigin) {
  FakeScene scene;
  FakeFrame* solid = scene.Make(scene.root, "x3ds____t___", 1);
  FakeFrame* box = scene.Make(scene.root, "x3ds___v_____", 1);
  trailer::Trailer settings = Display(Shipped());
  Animation anim = AnimationFromSettings(settings);
  ApplyFrameConventions(scene, settings, anim);

  EXPECT_TRUE(anim.lookAt);
  EXPECT_TRUE(anim.spinFrames.empty());
  EXPECT_TRUE(anim.driftFrames.empty());
  EXPECT_EQ(scene.camera->parent, box);
  EXPECT_FLOAT_EQ(scene.cameraPosition.x, 77.895f);
  EXPECT_FLOAT_EQ(scene.cameraUp.z, 0.884652f);
  // No frame names a target: one is made at the scene origin.
  ASSERT_NE(anim.lookAtTarget, nullptr);
  EXPECT_EQ(FakeScene::F(anim.lookAtTarget)->parent, scene.root);
  EXPECT_EQ(solid->visuals, 1);
  EXPECT_EQ(box->visuals, 1);
}

TEST(FrameConventions, SpinAndDriftShareOneSubFrameHoldingTheVisuals) {
  FakeScene scene;
  FakeFrame* both = scene.Make(scene.root, "x3ds_ff___", 3);
  FakeFrame* drifter = scene.Make(scene.root, "abcde_fvt", 2);
  trailer::Trailer settings = Display(Shipped());
  Animation anim = AnimationFromSettings(settings);
  ApplyFrameConventions(scene, settings, anim);

  ASSERT_EQ(anim.spinFrames.size(), 1u);
  ASSERT_EQ(anim.driftFrames.size(), 2u);
  FakeFrame* s = FakeScene::F(anim.spinFrames[0]);
  EXPECT_EQ(anim.driftFrames[0], anim.spinFrames[0]);
  EXPECT_EQ(s->parent, both);
  EXPECT_EQ(s->visuals, 3);
  EXPECT_EQ(both->visuals, 0);
  FakeFrame* d = FakeScene::F(anim.driftFrames[1]);
  EXPECT_EQ(d->parent, drifter);
  EXPECT_EQ(d->visuals, 2);
  // Camera rig and look-at flag apply to the sub-frame.
  EXPECT_EQ(scene.camera->parent, d);
  EXPECT_TRUE(anim.lookAt);
}

TEST(FrameConventions, RotCubeInEitherCaseParentsTheTarget) {
  for (const char* name : {"x3ds_fr_rot_cub", "X3DS_FR_ROT_CUB"}) {
    FakeScene scene;
    FakeFrame* cube = scene.Make(scene.root, name, 1);
    trailer::Trailer settings = Display(Shipped());
    Animation anim = AnimationFromSettings(settings);
    ApplyFrameConventions(scene, settings, anim);
    EXPECT_TRUE(anim.lookAt) << name;
    ASSERT_NE(anim.lookAtTarget, nullptr);
    EXPECT_EQ(FakeScene::F(anim.lookAtTarget)->parent, cube) << name;
    // Lower case has "f" at position 5 and spins; capitals do not.
    EXPECT_EQ(anim.spinFrames.size(), std::string(name)[5] == 'f' ? 1u : 0u) << name;
  }
}

TEST(FrameConventions, TargetAtPositionNineAndFullLists) {
  FakeScene scene;
  FakeFrame* holder = scene.Make(scene.root, "x3ds_____t");
  for (int i = 0; i < 120; ++i) scene.Make(scene.root, "x3ds_f");
  trailer::Trailer settings = Display(Shipped());
  Animation anim = AnimationFromSettings(settings);
  ApplyFrameConventions(scene, settings, anim);
  ASSERT_NE(anim.lookAtTarget, nullptr);
  EXPECT_EQ(FakeScene::F(anim.lookAtTarget)->parent, holder);
  EXPECT_EQ(anim.spinFrames.size(), kMotionListCapacity);
}

TEST(Tick, ClockWrapsAfterAnimEnd) {
  FakeScene scene;
  trailer::Trailer settings = Display(Shipped());  // Speed 50, AnimEnd 479, loop start 0
  Animation anim = AnimationFromSettings(settings);
  EXPECT_FLOAT_EQ(anim.step, 0.1f);
  Random random(1);
  anim.time = 478.0f;
  std::vector<float> drawn;
  for (int i = 0; i < 30; ++i) {
    scene.calls.clear();
    Tick(scene, anim, random);
    for (auto& c : scene.calls)
      if (c.rfind("time ", 0) == 0) drawn.push_back(std::stof(c.substr(5)));
  }
  // The first drawn time past 479 is followed by 0.1.
  std::size_t i = 0;
  while (i < drawn.size() && drawn[i] <= 479.0f) ++i;
  ASSERT_LT(i + 1, drawn.size());
  EXPECT_NEAR(drawn[i + 1], 0.1f, 1e-5);
  EXPECT_GT(drawn[i], 479.0f);
  EXPECT_LT(drawn[i], 479.2f);
}

TEST(Tick, PlainFrameDrawsOnceAtTheCurrentTime) {
  FakeScene scene;
  trailer::TemplateBlockFields f = Shipped();
  f.eraseFlag = false;
  trailer::Trailer settings = Display(f);
  Animation anim = AnimationFromSettings(settings);
  Random random(1);
  anim.time = 10.0f;
  Tick(scene, anim, random);
  EXPECT_EQ(scene.calls,
            (std::vector<std::string>{"move", T(10.0f), "clear depth", "render", "present"}));
  EXPECT_FLOAT_EQ(anim.time, 10.1f);
}

TEST(Tick, TrailsRenderEarlierStepsAndMoveEachTime) {
  FakeScene scene;
  trailer::TemplateBlockFields f = Shipped();
  f.trailsFlag = true;
  f.trailCount = 3;
  trailer::Trailer settings = Display(f);
  Animation anim = AnimationFromSettings(settings);
  Random random(1);
  anim.time = 20.0f;
  const float s = anim.step;
  Tick(scene, anim, random);
  EXPECT_EQ(scene.calls,
            (std::vector<std::string>{"move", T(20.0f), "clear colour+depth",
                                      "move", T(20.0f - 3 * s), "render",
                                      "move", T(20.0f - 2 * s), "render",
                                      "move", T(20.0f - 1 * s), "render",
                                      "clear depth", "render", "present"}));
  EXPECT_EQ(scene.moves, 4);
}

TEST(Tick, TrailCountFromARegistryCopyIsBounded) {
  trailer::TemplateBlockFields f = Shipped();
  f.trailsFlag = true;
  f.trailCount = 2000000000;
  Animation anim = AnimationFromSettings(Display(f));
  EXPECT_EQ(anim.trailCount, kMaxTrailCount);
}

TEST(Tick, DriftPullsBackFromOutsideTheBox) {
  FakeScene scene;
  FakeFrame* part = scene.Make(scene.root, "x3ds__f", 1);
  trailer::Trailer settings = Display(Shipped());
  Animation anim = AnimationFromSettings(settings);
  ApplyFrameConventions(scene, settings, anim);
  FakeFrame* d = FakeScene::F(anim.driftFrames.at(0));
  EXPECT_EQ(d->parent, part);
  // A seed whose first draw is no kick (r % 1000 <= 990).
  Random random(0);
  Random probe(0);
  ASSERT_LE(probe.Next() % 1000, 990);
  d->position = {30.0f, -11.0f, -40.0f};
  anim.step = 0;  // keep the position where it is
  Tick(scene, anim, random);
  EXPECT_FLOAT_EQ(d->velocity.x, -3.0f);
  EXPECT_FLOAT_EQ(d->velocity.y, 1.1f);
  EXPECT_FLOAT_EQ(d->velocity.z, 4.0f);
  EXPECT_TRUE(d->velocityWithRotation);
}

TEST(Tick, DriftBoxEdges) {
  EXPECT_TRUE(InsideDriftBox({250, 250, -250}));
  EXPECT_TRUE(InsideDriftBox({0, -10, 0}));
  EXPECT_FALSE(InsideDriftBox({0, -10.5f, 0}));
  EXPECT_FALSE(InsideDriftBox({250.5f, 0, 0}));
  EXPECT_FALSE(InsideDriftBox({0, 0, -251}));
  float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(InsideDriftBox({nan, 0, 0}));
  EXPECT_FALSE(InsideDriftBox({0, 0, nan}));
}

TEST(Tick, NotANumberPositionStartsOverAtTheOrigin) {
  FakeScene scene;
  scene.Make(scene.root, "x3ds__f", 1);
  trailer::Trailer settings = Display(Shipped());
  Animation anim = AnimationFromSettings(settings);
  ApplyFrameConventions(scene, settings, anim);
  FakeFrame* d = FakeScene::F(anim.driftFrames.at(0));
  d->position = {std::numeric_limits<float>::quiet_NaN(), 0, 0};
  d->velocity = {1, 1, 1};
  Random random(0);
  Tick(scene, anim, random);
  EXPECT_TRUE(std::isfinite(d->position.x));
  EXPECT_TRUE(std::isfinite(d->velocity.x));
}

TEST(Tick, KicksDrawThreeNumbersInOrder) {
  // Find a seed whose first draw kicks the drift frame and the spin frame after it.
  uint32_t seed = 0;
  for (;; ++seed) {
    Random r(seed);
    if (r.Next() % 1000 > 990) {
      r.Next(), r.Next(), r.Next();
      if (r.Next() % 10000 > 9950) break;
    }
  }
  FakeScene scene;
  scene.Make(scene.root, "x3ds_ff", 1);
  trailer::Trailer settings = Display(Shipped());
  Animation anim = AnimationFromSettings(settings);
  ApplyFrameConventions(scene, settings, anim);
  anim.step = 0;
  Random random(seed), check(seed);
  check.Next();
  int d1 = check.Next(), d2 = check.Next(), d3 = check.Next();
  check.Next();
  int s1 = check.Next(), s2 = check.Next(), s3 = check.Next();
  Tick(scene, anim, random);
  FakeFrame* f = FakeScene::F(anim.spinFrames.at(0));
  EXPECT_FLOAT_EQ(f->velocity.x, float(d3 % 20 - 10));
  EXPECT_FLOAT_EQ(f->velocity.y, float(d2 % 20 - 10));
  EXPECT_FLOAT_EQ(f->velocity.z, float(d1 % 20 - 10));
  EXPECT_FLOAT_EQ(f->axis.x, float(s3 % 100 - 50));
  EXPECT_FLOAT_EQ(f->axis.y, float(s2 % 100 - 50));
  EXPECT_FLOAT_EQ(f->axis.z, float(s1 % 100 - 50));
  EXPECT_FLOAT_EQ(f->rate, 0.2f);
}

TEST(Tick, DriftStaysFiniteOverLongRunsAtAnySpeed) {
  for (int32_t speed : {50, 90, 100000, -500, 2147483647}) {
    FakeScene scene;
    for (int i = 0; i < 5; ++i) scene.Make(scene.root, "x3ds_ff", 1);
    trailer::TemplateBlockFields f = Shipped();
    f.speed = speed;
    trailer::Trailer settings = Display(f);
    Animation anim = AnimationFromSettings(settings);
    ApplyFrameConventions(scene, settings, anim);
    Random random{uint32_t(speed)};
    for (int i = 0; i < 20000; ++i) Tick(scene, anim, random);
    for (FrameRef r : anim.driftFrames) {
      FakeFrame* d = FakeScene::F(r);
      EXPECT_TRUE(std::isfinite(d->position.x) && std::isfinite(d->position.y) &&
                  std::isfinite(d->position.z)) << speed;
    }
    EXPECT_TRUE(std::isfinite(anim.time)) << speed;
  }
}

TEST(Tick, LookAtTurnsTheCameraEveryTick) {
  FakeScene scene;
  scene.Make(scene.root, "x3ds____t");
  trailer::Trailer settings = Display(Shipped());
  Animation anim = AnimationFromSettings(settings);
  ApplyFrameConventions(scene, settings, anim);
  Random random(5);
  Tick(scene, anim, random);
  EXPECT_EQ(scene.calls.front(), "lookat");
  EXPECT_EQ(scene.lookedAt, anim.lookAtTarget);
}

TEST(StartTime, RandomPointOfTheAnimation) {
  Random r(42), check(42);
  EXPECT_FLOAT_EQ(RandomStartTime(r, 479), float(uint32_t(check.Next()) % 479));
  EXPECT_FLOAT_EQ(RandomStartTime(r, 0), 0.0f);
}
