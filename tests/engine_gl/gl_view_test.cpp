#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/gl/mesh_data.h"
#include "engine/gl/presenter_choice.h"
#include "engine/gl/scene_walk.h"
#include "engine/gl/view_math.h"
#include "engine/scene/camera.h"
#include "engine/scene/frame.h"

using namespace prismora;
using namespace prismora::gl;
using engine::Vec3;

TEST(GlView, CameraSpaceMirrorsIntoOpenGlEyeSpace) {
  // A camera at (0, 0, -200) looking along +z sees the origin 200 units ahead; OpenGL
  // looks along -z, so the same point must land at z = -200 with x and y untouched.
  engine::Frame root;
  engine::Frame& cam = root.createChild("camera");
  cam.setPosition(&root, {0, 0, -200});
  engine::Camera camera;
  camera.frame = &cam;
  const Matrix4 eye = GlEyeFromView(camera.viewMatrix());
  const Vec3 p = engine::transformPoint({10, 20, 0}, eye);
  EXPECT_FLOAT_EQ(p.x, 10);
  EXPECT_FLOAT_EQ(p.y, 20);
  EXPECT_FLOAT_EQ(p.z, -200);
  // Left-handed right stays right on screen: x keeps its sign after the mirror.
  const Vec3 right = engine::transformPoint({1, 0, 0}, eye);
  EXPECT_GT(right.x, 0);
}

TEST(GlView, BackgroundColoursAndLitColours) {
  const Rgba c = FromArgb(0xFF336699);
  EXPECT_FLOAT_EQ(c.r, 0x33 / 255.0f);
  EXPECT_FLOAT_EQ(c.g, 0x66 / 255.0f);
  EXPECT_FLOAT_EQ(c.b, 0x99 / 255.0f);
  EXPECT_FLOAT_EQ(c.a, 1.0f);

  // One white ambient light: the material colour itself, plus emission, held to [0, 1].
  const Rgba lit = LitColour({0.5f, 0.25f, 1.0f, 0.75f}, {0.25f, 0, 0.5f});
  EXPECT_FLOAT_EQ(lit.r, 0.75f);
  EXPECT_FLOAT_EQ(lit.g, 0.25f);
  EXPECT_FLOAT_EQ(lit.b, 1.0f);
  EXPECT_FLOAT_EQ(lit.a, 0.75f);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Rgba bad = LitColour({nan, -1, 2, nan}, {0, 0, 0});
  EXPECT_EQ(bad.r, 0.0f);
  EXPECT_EQ(bad.g, 0.0f);
  EXPECT_EQ(bad.b, 1.0f);
  EXPECT_EQ(bad.a, 0.0f);
}

TEST(GlView, SceneMeshesBecomeCheckedGroupsWithTheirMaterialSlots) {
  engine::Mesh mesh;
  auto red = std::make_shared<engine::Material>();
  red->faceColor = {1, 0, 0, 1};
  red->deviceTexture = 7;
  engine::MeshGroup a;
  a.material = red;
  a.vertices = {{{0, 0}, {0, 0, -1}, {0, 0, 0}}, {{1, 0}, {0, 0, -1}, {1, 0, 0}}, {{1, 1}, {0, 1, 0}, {1, 1, 0}}};
  // One good triangle, one that points past the vertices, and a dangling index.
  a.indices = {0, 1, 2, 0, 1, 3, 2};
  engine::MeshGroup empty;
  empty.material = red;
  engine::MeshGroup noMaterial;
  noMaterial.vertices = a.vertices;
  noMaterial.indices = {2, 1, 0};
  // The grey an exporter gives by default, half transparent, without a texture.
  auto grey = std::make_shared<engine::Material>();
  grey->faceColor = {0.588f, 0.588f, 0.588f, 0.5f};
  engine::MeshGroup plainGrey = noMaterial;
  plainGrey.material = grey;
  mesh.groups = {a, empty, noMaterial, plainGrey};

  const MeshData data = FromSceneMesh(mesh);
  ASSERT_EQ(data.groups.size(), 3u);  // the empty group is left out
  EXPECT_EQ(data.groups[0].indices, (std::vector<uint32_t>{0, 1, 2}));
  EXPECT_EQ(data.groups[0].texture, 7u);
  // A photo shows at its own brightness: the material's colour does not tint it.
  EXPECT_FLOAT_EQ(data.groups[0].colour.r, 1);
  EXPECT_FLOAT_EQ(data.groups[0].colour.g, 1);
  EXPECT_FLOAT_EQ(data.groups[0].colour.b, 1);
  EXPECT_FLOAT_EQ(data.groups[0].vertices[2].u, 1);
  EXPECT_FLOAT_EQ(data.groups[0].vertices[2].y, 1);
  EXPECT_FLOAT_EQ(data.groups[0].vertices[2].ny, 1);  // normals travel for the key light
  EXPECT_FLOAT_EQ(data.groups[0].vertices[0].nz, -1);
  EXPECT_EQ(data.groups[1].texture, 0u);
  EXPECT_FLOAT_EQ(data.groups[1].colour.g, 1);  // untextured white
  // Without a texture the material's colour is the face's colour, alpha and all.
  EXPECT_FLOAT_EQ(data.groups[2].colour.r, 0.588f);
  EXPECT_FLOAT_EQ(data.groups[2].colour.a, 0.5f);
}

TEST(GlView, DrawItemsCarryEachFramesWorldMatrixDepthFirst) {
  engine::Frame root;
  auto m1 = std::make_shared<engine::Mesh>();
  auto m2 = std::make_shared<engine::Mesh>();
  engine::Frame& a = root.createChild("a");
  a.setPosition(&root, {10, 0, 0});
  engine::Frame& b = a.createChild("b");
  b.setPosition(&a, {0, 5, 0});
  engine::Frame& c = root.createChild("c");
  c.setPosition(&root, {0, 0, 3});
  a.addVisual(m1);
  b.addVisual(m2);
  c.addVisual(m1);  // a shared mesh is drawn twice but uploaded once

  std::vector<DrawItem> items;
  CollectDrawItems(root, items);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].mesh, m1.get());
  EXPECT_EQ(items[1].mesh, m2.get());
  EXPECT_EQ(items[2].mesh, m1.get());
  EXPECT_EQ(engine::transformPoint({}, items[1].world), (Vec3{10, 5, 0}));
  EXPECT_EQ(engine::transformPoint({}, items[2].world), (Vec3{0, 0, 3}));

  const std::size_t capacity = items.capacity();
  CollectDrawItems(root, items);
  EXPECT_EQ(items.size(), 3u);
  EXPECT_EQ(items.capacity(), capacity);

  std::vector<engine::Mesh*> meshes;
  CollectMeshes(root, meshes);
  EXPECT_EQ(meshes, (std::vector<engine::Mesh*>{m1.get(), m2.get()}));
}

TEST(GlView, PresenterFollowsWhatWineCanShow) {
  EXPECT_EQ(ChoosePresenter({}), PresenterKind::Offscreen);
  EXPECT_EQ(ChoosePresenter({.exists = true}), PresenterKind::Direct);
  EXPECT_EQ(ChoosePresenter({.exists = true, .isChild = true}), PresenterKind::ChildCopy);
  EXPECT_EQ(ChoosePresenter({.exists = true, .isChild = true, .onWine = true}), PresenterKind::ChildCopy);
  EXPECT_EQ(ChoosePresenter({.exists = true, .isChild = true, .parentInOtherProcess = true}),
            PresenterKind::ChildCopy);  // Windows paints such a child itself
  EXPECT_EQ(ChoosePresenter({.exists = true, .isChild = true, .onWine = true, .parentInOtherProcess = true}),
            PresenterKind::OwnedPopup);
}

TEST(GlView, NearestItemsAreDrawnFirstAndTiesKeepTheirOrder) {
  engine::Frame root;
  engine::Frame& cam = root.createChild("camera");
  cam.setPosition(&root, {0, 0, -100});
  engine::Camera camera;
  camera.frame = &cam;
  engine::Mesh m[4];
  std::vector<DrawItem> items;
  for (float z : {50.0f, -20.0f, 50.0f, 10.0f}) items.push_back({&m[items.size()], engine::Matrix4::translation({3, 4, z})});
  SortNearestFirst(items, camera.viewMatrix());
  EXPECT_EQ(items[0].mesh, &m[1]);
  EXPECT_EQ(items[1].mesh, &m[3]);
  EXPECT_EQ(items[2].mesh, &m[0]);
  EXPECT_EQ(items[3].mesh, &m[2]);
  // Turned round, the camera sees the far side first.
  cam.setOrientation(&root, {0, 0, -1}, {0, 1, 0});
  SortNearestFirst(items, camera.viewMatrix());
  EXPECT_EQ(items[0].mesh, &m[0]);
  EXPECT_EQ(items[1].mesh, &m[2]);
  EXPECT_EQ(items[3].mesh, &m[1]);
}

TEST(GlView, ItemsWithoutADepthGoLastAndTheSortStaysInsideTheList) {
  engine::Frame root;
  engine::Frame& cam = root.createChild("camera");
  cam.setPosition(&root, {0, 0, -100});
  engine::Camera camera;
  camera.frame = &cam;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  // Many items with NaN and infinite depths mixed in: a comparator without a strict weak
  // order lets the sort run out of the vector, which the sanitizers and the library's
  // assertions report.
  std::vector<engine::Mesh> meshes(200);
  std::vector<DrawItem> items;
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    const float z = i % 7 == 0 ? nan : i % 11 == 0 ? inf : float((i * 37) % 50) - 25.0f;
    items.push_back({&meshes[i], engine::Matrix4::translation({0, 0, z})});
  }
  DrawOrderScratch scratch;
  for (int round = 0; round < 2; ++round) {
    SortNearestFirst(items, camera.viewMatrix(), scratch);
    ASSERT_EQ(items.size(), meshes.size());
    std::size_t firstNan = items.size();
    for (std::size_t i = 0; i < items.size(); ++i)
      if (std::isnan(items[i].world.m[3][2])) {
        firstNan = i;
        break;
      }
    EXPECT_EQ(firstNan, items.size() - 29) << "the 29 items without a depth come last";
    for (std::size_t i = 1; i < firstNan; ++i) EXPECT_LE(items[i - 1].world.m[3][2], items[i].world.m[3][2]);
    // NaN items keep their order among themselves.
    for (std::size_t i = firstNan + 1; i < items.size(); ++i) EXPECT_LT(items[i - 1].mesh, items[i].mesh);
  }
}
