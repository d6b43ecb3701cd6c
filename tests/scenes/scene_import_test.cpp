#include "builder/scenes/scene_import.h"

#include "engine/scene/light_rig.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/scene/animation.h"
#include "engine/scene/frame.h"
#include "engine/xfile/loader.h"
#include "engine/xfile/reader.h"
#include "engine/xfile/writer.h"
#include "tests/scenes/box_scene.h"

using namespace prismora;
using namespace prismora::scenes;
using engine::Vec3;
using engine::xfile::XDocument;
using prismora::testsupport::BoxScene;

namespace {

// What the runtime will load: the imported document through the binary writer and back.
XDocument WrittenAndRead(const ImportedScene& scene) {
  auto bytes = engine::xfile::writeBinaryXFile(scene.document);
  auto read = engine::xfile::readXFile(bytes);
  EXPECT_TRUE(read.ok()) << read.error;
  return read.document;
}

void ExpectNear(const Vec3& a, const Vec3& b, float tolerance) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

// Every corner of the box seen from the block's camera lies in front of it and inside a
// 16:9 view (0.5 across the wide side, 0.28125 across the narrow one).
void ExpectWholeSceneInView(const Bounds& b, const trailer::TemplateBlockFields& block) {
  const Vec3 eye{block.cameraPosition.x, block.cameraPosition.y, block.cameraPosition.z};
  EXPECT_EQ(block.cameraDirection.z, 1.0f);
  EXPECT_EQ(block.cameraUp.y, 1.0f);
  for (int i = 0; i < 8; ++i) {
    const Vec3 corner{(i & 1) ? b.max.x : b.min.x, (i & 2) ? b.max.y : b.min.y,
                      (i & 4) ? b.max.z : b.min.z};
    const Vec3 v = corner - eye;
    ASSERT_GT(v.z, 0) << "corner " << i << " behind the camera";
    EXPECT_LE(std::abs(v.x) / v.z, 0.5f) << "corner " << i;
    EXPECT_LE(std::abs(v.y) / v.z, 0.28125f) << "corner " << i;
  }
}

}  // namespace

TEST(SceneBounds, OffsetAndScaledBoxesAtTheirPlace) {
  struct Case {
    Vec3 offset;
    float scale;
  };
  for (const Case c : {Case{{0, 0, 0}, 1}, Case{{300, -40, 900}, 1}, Case{{5, 6, 7}, 0.01f},
                       Case{{-2000, 100, 50}, 100}}) {
    const Bounds b = BoundsAtFirstFrame(BoxScene(c.offset, c.scale));
    ASSERT_FALSE(b.empty);
    const float tol = 1e-3f * std::max(1.0f, c.scale * 100);
    ExpectNear(b.min, Vec3{-10, -20, -30} * c.scale + c.offset, tol);
    ExpectNear(b.max, Vec3{10, 20, 30} * c.scale + c.offset, tol);
  }
}

TEST(SceneImport, AnySizeAndPlaceIsCentredFittedAndInView) {
  for (float scale : {0.01f, 1.0f, 100.0f}) {
    for (Vec3 offset : {Vec3{0, 0, 0}, Vec3{400, 250, -800}}) {
      ImportResult r = ImportDocument(BoxScene(offset, scale));
      ASSERT_TRUE(r.ok()) << r.error;
      const Bounds fitted = BoundsAtFirstFrame(WrittenAndRead(r.scene));
      ASSERT_FALSE(fitted.empty);
      ExpectNear(fitted.centre(), {0, 0, 0}, 0.01f);
      EXPECT_NEAR(fitted.radius(), kFittedRadius, 0.05f);
      ExpectWholeSceneInView(fitted, r.scene.block);
      // Not lost in the distance either: the sphere spans a good part of the view.
      EXPECT_LT(-r.scene.block.cameraPosition.z, 6 * kFittedRadius);
    }
  }
}

TEST(SceneImport, StillSceneTurnsOncePerLoopAboutTheVertical) {
  ImportResult r = ImportDocument(BoxScene({50, 0, 0}, 2));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(r.scene.turns);
  EXPECT_EQ(r.scene.block.animEnd, kTurnTicks);
  EXPECT_EQ(r.scene.block.animLoopStart, 0u);

  engine::Frame root;
  engine::AnimationSet animation;
  ASSERT_TRUE(engine::xfile::loadDocument(WrittenAndRead(r.scene), root, animation).ok());
  engine::Frame* turn = root.findByName(kTurnFrameName);
  ASSERT_NE(turn, nullptr);
  ASSERT_EQ(animation.bind(root), 1);
  // A point on +x goes a quarter, a half and a whole way round the y axis, never moving
  // up or down, and comes back where it started at the end of the loop.
  const Vec3 p{100, 5, 0};
  auto at = [&](float t) {
    animation.setTime(t);
    return engine::transformPoint(p, turn->worldMatrix());
  };
  const Vec3 start = at(0);
  ExpectNear(start, p, 1e-3f);
  const Vec3 quarter = at(kTurnTicks / 4.0f);
  ExpectNear(quarter, {0, 5, std::abs(quarter.z) > 0 ? quarter.z : 100}, 1e-2f);
  EXPECT_NEAR(std::abs(quarter.z), 100, 1e-2f);
  ExpectNear(at(kTurnTicks / 2.0f), {-100, 5, 0}, 1e-2f);
  const Vec3 threeQuarter = at(kTurnTicks * 0.75f);
  EXPECT_NEAR(threeQuarter.z, -quarter.z, 1e-2f) << "the turn keeps one sense";
  ExpectNear(at(float(kTurnTicks)), p, 1e-2f);
  // Smooth: an eighth of the loop is an eighth of the turn.
  const Vec3 eighth = at(kTurnTicks / 8.0f);
  EXPECT_NEAR(eighth.x, 100 * std::cos(float(std::numbers::pi) / 4), 0.05f);
}

TEST(SceneImport, OwnAnimationKeepsItsLengthAndBoundsComeFromItsFirstKey) {
  XDocument doc = BoxScene({0, 0, 0}, 1);
  engine::xfile::XAnimation a;
  a.name = "slide";
  a.frameName = "Box";
  engine::xfile::XAnimationKey position;
  position.type = engine::xfile::KeyType::Position;
  position.keys = {{0, {1000, 0, 0}}, {240, {2000, 0, 0}}};
  a.keys.push_back(position);
  engine::xfile::XAnimationSet set;
  set.name = "own";
  set.animations.push_back(a);
  doc.animationSets.push_back(set);
  // A second set joins the first: the runtime plays one.
  engine::xfile::XAnimation b = a;
  b.name = "late";
  b.keys[0].keys = {{0, {1000, 0, 0}}, {480, {1000, 0, 0}}};
  doc.animationSets.push_back({"second", {b}});

  const Bounds original = BoundsAtFirstFrame(doc);
  ExpectNear(original.centre(), {1000, 0, 0}, 1e-3f);

  ImportResult r = ImportDocument(doc);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_FALSE(r.scene.turns);
  EXPECT_EQ(r.scene.block.animEnd, 480u);
  const XDocument out = WrittenAndRead(r.scene);
  ASSERT_EQ(out.animationSets.size(), 1u);
  EXPECT_EQ(out.animationSets[0].animations.size(), 2u);
  const Bounds fitted = BoundsAtFirstFrame(out);
  ExpectNear(fitted.centre(), {0, 0, 0}, 0.01f);
  ExpectWholeSceneInView(fitted, r.scene.block);
}

TEST(SceneImport, EveryTextureNameBecomesOnePhotoSlot) {
  XDocument doc = BoxScene({0, 0, 0}, 1, {10, 10, 10}, "C:\\art\\wood.jpg");
  XDocument second = BoxScene({40, 0, 0}, 1, {10, 10, 10}, "stone.png");
  second.materials[0].name = "stone";
  second.frames[0].name = "Box2";
  for (auto& slot : second.frames[0].meshes[0].materials) slot.reference = "stone";
  doc.materials.push_back(second.materials[0]);
  doc.frames.push_back(second.frames[0]);
  engine::xfile::XMaterial again;  // same texture, other material: the same slot
  again.name = "wood2";
  again.textureFile = "C:\\art\\wood.jpg";
  doc.materials.push_back(again);
  engine::xfile::XMaterial plain;  // no texture: no slot
  plain.name = "paint";
  doc.materials.push_back(plain);

  ImportResult r = ImportDocument(doc);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.scene.photoSlots, (std::vector<std::string>{"C:\\art\\wood.jpg", "stone.png"}));
  const XDocument out = WrittenAndRead(r.scene);
  std::vector<std::string> names;
  for (const auto& m : out.materials) names.push_back(m.textureFile);
  EXPECT_EQ(names, (std::vector<std::string>{"photo0.bmp", "photo1.bmp", "photo0.bmp", ""}));
}

TEST(SceneImport, RefusesScenesWithoutTexturedFacesAndUnreadableFiles) {
  EXPECT_EQ(ImportDocument(BoxScene({0, 0, 0}, 1, {1, 1, 1}, "")).error, kNoTexturedFacesMessage);
  XDocument noCoords = BoxScene({0, 0, 0}, 1);
  noCoords.frames[0].meshes[0].texCoords.clear();
  EXPECT_EQ(ImportDocument(noCoords).error, kNoTexturedFacesMessage);
  EXPECT_EQ(ImportDocument(XDocument{}).error, kNoTexturedFacesMessage);

  const std::vector<uint8_t> junk = {'x', 'o', 'f', ' ', 'n', 'o', 'n', 'e'};
  ImportResult r = ImportScene(junk, "C:\\scenes\\broken.x");
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error.rfind("C:\\scenes\\broken.x: ", 0), 0u) << r.error;
  EXPECT_GT(r.error.size(), std::string("C:\\scenes\\broken.x: ").size());

  // Every form the reader takes imports: a compressed text file.
  auto text = engine::xfile::writeXFile(BoxScene({1, 2, 3}, 3), {true, true, true});
  EXPECT_TRUE(ImportScene(text, "box.x").ok());
}

// A scene made elsewhere brings no light: the import gives it a key light of its own,
// which stays put while the scene turns, comes from above and in front of the viewer,
// and with the dimmed ambient light brings a face looking into it to full brightness.
TEST(SceneImport, TheSceneGetsAKeyLightThatStaysWhileItTurns) {
  ImportResult r = ImportDocument(BoxScene({50, 0, 0}, 2));
  ASSERT_TRUE(r.ok()) << r.error;
  engine::Frame root;
  engine::AnimationSet animation;
  ASSERT_TRUE(engine::xfile::loadDocument(WrittenAndRead(r.scene), root, animation).ok());
  ASSERT_EQ(root.childCount(), 2u);
  const engine::Frame* light = engine::FindKeyLight(root);
  ASSERT_NE(light, nullptr);
  EXPECT_EQ(light->parent(), &root) << "beside the turning scene, not in it";
  animation.bind(root);
  for (float t : {0.0f, kTurnTicks / 3.0f}) {
    animation.setTime(t);
    const engine::LightRig rig = engine::LightRigFor(light);
    ASSERT_TRUE(rig.hasKey());
    EXPECT_NEAR(rig.ambient + rig.key, 1.0f, 1e-6f);
    EXPECT_LT(rig.ambient, 0.6f) << "dim enough for faces away from the key to read darker";
    EXPECT_GT(rig.keyDirection.z, 0.3f) << "into the scene, from the viewer's side";
    EXPECT_LT(rig.keyDirection.y, -0.3f) << "from above";
    EXPECT_NEAR(engine::length(rig.keyDirection), 1.0f, 1e-4f);
  }
  // The six templates' scenes have no such frame: ambient light alone, at full strength.
  const engine::LightRig plain = engine::LightRigFor(nullptr);
  EXPECT_FALSE(plain.hasKey());
  EXPECT_EQ(plain.ambient, 1.0f);
}

TEST(SceneImport, AddedFrameNamesCarryNoRuntimeFlags) {
  for (std::string_view name : {kTurnFrameName, kFitFrameName, engine::kKeyLightFrameName}) {
    for (std::size_t pos : {5u, 6u})
      EXPECT_TRUE(name.size() <= pos || name[pos] != 'f') << name;
    EXPECT_TRUE(name.size() <= 7 || name[7] != 'v') << name;
    for (std::size_t pos : {8u, 9u})
      EXPECT_TRUE(name.size() <= pos || name[pos] != 't') << name;
  }
}

// A skinned mesh's vertices are its bind pose in the scene's own space; the frame that
// holds it does not move it again (exporters put a placing matrix there that the bones
// already account for). Drawn through its frame, a character showed only in part.
TEST(SceneImport, SkinnedMeshesAreFittedWholeInTheirBindPose) {
  XDocument doc = BoxScene({500, 0, 0}, 3);  // the frame moves and scales the box
  doc.frames[0].meshes[0].skinned = true;
  const Bounds bind = BoundsAtFirstFrame(doc);
  ASSERT_FALSE(bind.empty);
  ExpectNear(bind.min, {-10, -20, -30}, 1e-3f);
  ExpectNear(bind.max, {10, 20, 30}, 1e-3f);

  ImportResult r = ImportDocument(doc);
  ASSERT_TRUE(r.ok()) << r.error;
  const XDocument written = WrittenAndRead(r.scene);
  const Bounds fitted = BoundsAtFirstFrame(written);
  ExpectNear(fitted.centre(), {0, 0, 0}, 0.01f);
  EXPECT_NEAR(fitted.radius(), kFittedRadius, 0.05f);
  // The mesh now sits in the fitted frame itself, and its old frame is empty.
  const engine::xfile::XFrame& fit = written.frames.at(0).children.at(0);
  EXPECT_EQ(fit.name, kFitFrameName);
  ASSERT_EQ(fit.meshes.size(), 1u);
  EXPECT_EQ(fit.meshes[0].positions.size(), doc.frames[0].meshes[0].positions.size());
  EXPECT_TRUE(fit.children.at(0).meshes.empty());
}
