// Scene model: transforms relative to frames, free motion, look-at, animation sampling.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/scene/animation.h"
#include "engine/scene/camera.h"
#include "engine/scene/frame.h"
#include "engine/scene/scene.h"

using namespace prismora::engine;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void expectNear(const Vec3& a, const Vec3& b, float eps = 1e-4f) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}

}  // namespace

TEST(MathTest, RotationsMatchTheLeftHandedRowVectorConvention) {
  // A quarter turn about +y takes +z to +x in a left-handed system (clockwise seen from
  // above), and the quaternion and axis forms agree.
  Matrix4 r = Matrix4::rotationAxis({0, 1, 0}, kPi / 2);
  expectNear(transformVector({0, 0, 1}, r), {1, 0, 0});
  expectNear(transformVector({1, 0, 0}, r), {0, 0, -1});
  Quaternion q = rotationOf(r);
  expectNear(transformVector({0, 0, 1}, Matrix4::rotation(q)), {1, 0, 0});

  Matrix4 m = Matrix4::scaling({2, 3, 4}) * r * Matrix4::translation({5, 6, 7});
  Matrix4 back = m * inverseAffine(m);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(back.m[i][j], i == j ? 1.f : 0.f, 1e-5f);
  expectNear(scaleOf(m), {2, 3, 4});
}

TEST(MathTest, SlerpTakesTheShorterArcAndStaysUnitLength) {
  Quaternion a;  // identity
  Quaternion b = Quaternion::fromAxisAngle({0, 0, 1}, kPi / 2);
  Quaternion half = slerp(a, b, 0.5f);
  Quaternion expected = Quaternion::fromAxisAngle({0, 0, 1}, kPi / 4);
  EXPECT_NEAR(half.w, expected.w, 1e-5f);
  EXPECT_NEAR(half.z, expected.z, 1e-5f);
  // -b is the same rotation; the blend must not swing the long way round.
  Quaternion viaNegated = slerp(a, Quaternion{-b.w, -b.x, -b.y, -b.z}, 0.5f);
  expectNear(transformVector({1, 0, 0}, Matrix4::rotation(viaNegated)),
             transformVector({1, 0, 0}, Matrix4::rotation(half)));
  EXPECT_EQ(slerp(a, a, 0.3f), a);
}

TEST(FrameTest, PositionAndOrientationRelativeToAnyFrame) {
  Frame root("root");
  Frame& a = root.createChild("a");
  a.setPosition(nullptr, {10, 0, 0});
  a.setOrientation(nullptr, {1, 0, 0}, {0, 1, 0});  // a's z axis along world x
  Frame& b = a.createChild("b");
  b.setPosition(&a, {0, 0, 5});  // 5 along a's z = world x
  expectNear(b.position(nullptr), {15, 0, 0});
  expectNear(b.position(&a), {0, 0, 5});

  b.setPosition(nullptr, {0, 2, 0});
  expectNear(b.position(&root), {0, 2, 0});
  expectNear(b.position(&a), {0, 2, -10});

  b.setOrientation(nullptr, {0, 0, -1}, {0, 2, 0.5f});  // up not yet perpendicular
  Orientation o = b.orientation(nullptr);
  expectNear(o.direction, {0, 0, -1});
  expectNear(o.up, {0, 1, 0});
  expectNear(b.orientation(&a).direction, {1, 0, 0});
  // Degenerate input keeps the orientation.
  b.setOrientation(nullptr, {0, 1, 0}, {0, 3, 0});
  expectNear(b.orientation(nullptr).direction, {0, 0, -1});
}

TEST(FrameTest, SetParentKeepsWorldPlacementAndRefusesCycles) {
  Frame root("root");
  Frame& a = root.createChild("a");
  Frame& b = root.createChild("b");
  a.setPosition(nullptr, {1, 2, 3});
  b.setPosition(nullptr, {-4, 0, 0});
  b.setOrientation(nullptr, {0, 1, 0}, {0, 0, -1});
  a.setVelocity(nullptr, {1, 0, 0}, false);
  ASSERT_TRUE(a.setParent(b));
  EXPECT_EQ(a.parent(), &b);
  EXPECT_EQ(root.childCount(), 1u);
  expectNear(a.position(nullptr), {1, 2, 3});
  expectNear(a.velocity(nullptr), {1, 0, 0});
  EXPECT_FALSE(b.setParent(a));     // a lies below b
  EXPECT_FALSE(root.setParent(a));  // the root has no owner
  EXPECT_EQ(root.findByName("a"), &a);
  EXPECT_EQ(root.findByName("A"), nullptr);
}

TEST(FrameTest, VisualsMoveToAnotherFrameInOrder) {
  Frame root;
  Frame& f = root.createChild("f");
  auto m1 = std::make_shared<Mesh>(), m2 = std::make_shared<Mesh>();
  f.addVisual(m1);
  f.addVisual(m2);
  Frame& s = f.createChild("s");
  f.moveVisualsTo(s);
  EXPECT_TRUE(f.visuals().empty());
  ASSERT_EQ(s.visuals().size(), 2u);
  EXPECT_EQ(s.visuals()[0], m1);
  EXPECT_TRUE(s.removeVisual(m1.get()));
  EXPECT_FALSE(s.removeVisual(m1.get()));
}

TEST(FrameTest, MoveAdvancesVelocityAndRotationThroughTheHierarchy) {
  Frame root;
  Frame& drift = root.createChild("drift");
  drift.setPosition(nullptr, {0, -11, 40});
  // The drift pull-back: -0.1 x position, relative to the scene frame.
  Vec3 p = drift.position(&root);
  drift.setVelocity(&root, p * -0.1f, true);
  expectNear(drift.velocity(&root), {0, 1.1f, -4});

  Frame& spin = drift.createChild("spin");
  spin.setPosition(&drift, {0, 0, 0});
  spin.setRotation({0, 1, 0}, 0.2f);
  Frame& rider = spin.createChild("rider");
  rider.setPosition(&spin, {0, 0, 1});

  for (int i = 0; i < 10; ++i) root.move(0.1f);  // ten ticks of 0.1 time units

  // Straight line for the drift frame (it does not rotate itself).
  expectNear(drift.position(nullptr), {0, -11 + 1.1f, 40 - 4});
  // The spin frame turned 0.2 rad about y and carried its child around its origin.
  expectNear(spin.position(nullptr), drift.position(nullptr));
  expectNear(rider.position(&spin), {0, 0, 1});
  expectNear(rider.position(&drift), {std::sin(0.2f), 0, std::cos(0.2f)});
}

TEST(FrameTest, VelocityWithRotationFlagTurnsWithTheSpin) {
  Frame root;
  Frame& f = root.createChild();
  f.setRotation({0, 1, 0}, kPi / 2);  // a quarter turn per time unit
  f.setVelocity(nullptr, {0, 0, 1}, true);
  Frame& g = root.createChild();
  g.setRotation({0, 1, 0}, kPi / 2);
  g.setVelocity(nullptr, {0, 0, 1}, false);
  for (int i = 0; i < 1000; ++i) root.move(0.001f);
  expectNear(f.velocity(nullptr), {1, 0, 0}, 1e-3f);  // turned with the frame
  expectNear(g.velocity(nullptr), {0, 0, 1});         // straight
  expectNear(g.position(nullptr), {0, 0, 1}, 1e-3f);
  // Along a quarter circle of radius 2/pi instead.
  expectNear(f.position(nullptr), {2 / kPi, 0, 2 / kPi}, 1e-2f);
}

TEST(FrameTest, LookAtTurnsOnlyAboutXAndYWithoutRollAgainstTheParent) {
  Frame root;
  Frame& target = root.createChild("target");
  Frame& rig = root.createChild("rig");
  rig.setOrientation(nullptr, {0, 0, 1}, {1, 0, 0});  // the rig lies on its side
  Frame& cam = rig.createChild("cam");
  cam.setPosition(nullptr, {0, 0, -200});
  cam.setOrientation(nullptr, {0, 1, 0}, {0, 0, 1});
  target.setPosition(nullptr, {0, 50, 0});

  cam.lookAt(target, &root, LookAtConstraint::XYOnly);
  Orientation o = cam.orientation(nullptr);
  expectNear(o.direction, normalize(Vec3{0, 50, 200}));
  expectNear(o.up, {1, 0, 0});  // the rig's up side
  // No roll against the parent: the camera's x axis has no part along the rig's y.
  Orientation inRig = cam.orientation(&rig);
  EXPECT_NEAR(cross(inRig.up, inRig.direction).y, 0, 1e-5f);

  // Circling the target many times never tilts the camera (no drift from
  // turning a little every tick).
  Frame& free = root.createChild("free");
  for (int step = 0; step <= 3600; ++step) {
    float a = step * 0.01f;
    free.setPosition(nullptr, {300 * std::sin(a), 120 + 40 * std::sin(3 * a), -300 * std::cos(a)});
    free.lookAt(target, &root, LookAtConstraint::XYOnly);
  }
  o = free.orientation(nullptr);
  EXPECT_NEAR(cross(o.up, o.direction).y, 0, 1e-4f);  // x axis level
  EXPECT_GT(o.up.y, 0.9f);

  // Looking straight along the parent's y axis keeps the current up side.
  cam.setOrientation(nullptr, {0, 0, 1}, {0, 1, 0});
  target.setPosition(nullptr, {100, 0, -200});
  cam.lookAt(target, nullptr, LookAtConstraint::XYOnly);
  o = cam.orientation(nullptr);
  expectNear(o.direction, {1, 0, 0});
  expectNear(o.up, {0, 1, 0});
  // A target at the frame's own origin changes nothing.
  target.setPosition(nullptr, cam.position(nullptr));
  cam.lookAt(target, nullptr, LookAtConstraint::XYOnly);
  expectNear(cam.orientation(nullptr).direction, {1, 0, 0});
}

TEST(AnimationTest, KeysAreInterpolatedAndClampedOutsideTheirRange) {
  std::vector<Key<Vec3>> pos{{0, {0, 0, 0}}, {10, {10, 20, 0}}, {20, {10, 20, 40}}};
  expectNear(sampleVector(pos, 5, {}), {5, 10, 0});
  expectNear(sampleVector(pos, 15, {}), {10, 20, 20});
  expectNear(sampleVector(pos, -3, {}), {0, 0, 0});
  expectNear(sampleVector(pos, 99, {}), {10, 20, 40});
  expectNear(sampleVector(pos, std::nanf(""), {}), {0, 0, 0});
  expectNear(sampleVector({}, 3, {7, 8, 9}), {7, 8, 9});

  std::vector<Key<Quaternion>> rot{{0, {}}, {4, Quaternion::fromAxisAngle({0, 1, 0}, kPi / 2)}};
  Quaternion q = sampleRotation(rot, 2, {});
  expectNear(transformVector({0, 0, 1}, Matrix4::rotation(q)), {std::sin(kPi / 4), 0, std::cos(kPi / 4)});
  EXPECT_EQ(sampleRotation(rot, 100, {}), rot[1].value);

  std::vector<Key<Matrix4>> mats{{0, Matrix4::translation({0, 0, 0})}, {2, Matrix4::translation({4, 0, 0})}};
  expectNear(sampleMatrix(mats, 1, {}).translationPart(), {2, 0, 0});
}

TEST(AnimationTest, SetBindsFramesByNameAndKeepsUncoveredParts) {
  Frame root;
  Frame& f = root.createChild("box");
  f.setLocalMatrix(Matrix4::scaling({2, 2, 2}) * Matrix4::translation({1, 1, 1}));
  AnimationSet set;
  Animation a;
  a.frameName = "box";
  a.positionKeys = {{0, {0, 0, 0}}, {10, {0, 0, 100}}};
  set.animations.push_back(a);
  Animation missing;
  missing.frameName = "nowhere";
  missing.positionKeys = {{0, {1, 1, 1}}};
  set.animations.push_back(missing);
  EXPECT_EQ(set.bind(root), 1);

  set.setTime(2.5f);
  expectNear(f.position(nullptr), {0, 0, 25});
  expectNear(scaleOf(f.localMatrix()), {2, 2, 2});  // no scale keys: the bound scale stays
  set.setTime(480);
  expectNear(f.position(nullptr), {0, 0, 100});
}

TEST(CameraTest, FieldAppliesToTheLargerSideAndViewInvertsTheFrame) {
  Scene scene;
  ASSERT_NE(scene.camera.frame, nullptr);
  EXPECT_EQ(scene.camera.frame->parent(), &scene.root);
  FrustumPlane f = scene.camera.frustum(1920, 1080);
  EXPECT_FLOAT_EQ(f.right, 0.5f);
  EXPECT_FLOAT_EQ(f.top, 0.5f * 1080 / 1920);
  EXPECT_FLOAT_EQ(f.front, 1);
  EXPECT_FLOAT_EQ(f.back, 6000);
  FrustumPlane tall = scene.camera.frustum(600, 800);
  EXPECT_FLOAT_EQ(tall.top, 0.5f);

  scene.camera.frame->setPosition(nullptr, {0, 0, -200});
  expectNear(transformPoint({0, 0, 0}, scene.camera.viewMatrix()), {0, 0, 200});
}
