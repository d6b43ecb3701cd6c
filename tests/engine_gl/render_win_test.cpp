// Offscreen pictures of small known scenes: colours, photos, clears, culling, depth.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine/gl/gl_device.h"
#include "engine/gl/scene_renderer.h"
#include "engine/scene/light_rig.h"
#include "engine/scene/scene.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_meshes.h"

using namespace prismora;
using engine::Vec3;
using testsupport::MaterialFor;
using testsupport::Square;

namespace {

constexpr int kWidth = 320, kHeight = 240;
constexpr uint32_t kBackground = 0xFF204080;

image::Image Solid(uint8_t r, uint8_t g, uint8_t b, int side = 512) {
  image::Image img;
  img.width = img.height = side;
  img.rgb.resize(std::size_t(side) * side * 3);
  for (std::size_t i = 0; i < img.rgb.size(); i += 3) {
    img.rgb[i] = r;
    img.rgb[i + 1] = g;
    img.rgb[i + 2] = b;
  }
  return img;
}

struct Rgb {
  int r, g, b;
};
Rgb At(const image::Image& img, int x, int y) {
  const uint8_t* p = img.pixel(x, y);
  return {p[0], p[1], p[2]};
}
bool Near(Rgb a, Rgb b, int tolerance = 3) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}
int Count(const image::Image& img, Rgb colour) {
  int n = 0;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) n += Near(At(img, x, y), colour);
  return n;
}
::testing::AssertionResult IsColour(const image::Image& img, int x, int y, Rgb want) {
  const Rgb got = At(img, x, y);
  if (Near(got, want)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is " << got.r << "," << got.g << ","
                                       << got.b << ", wanted " << want.r << "," << want.g << "," << want.b;
}

const Rgb kBack{0x20, 0x40, 0x80};

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    device = gl::GlDevice::Offscreen(kWidth, kHeight, &error);
    ASSERT_TRUE(device) << error;
    renderer = std::make_unique<gl::SceneRenderer>(*device);
    scene.camera.frame->setPosition(&scene.root, {0, 0, -200});
  }
  // Photos named by material go to files in the temp folder.
  engine::TextureRequest Photos() {
    return [this](std::string_view name) { return std::vector<std::string>{folder / std::string(name)}; };
  }
  image::Image Draw(gl::ClearMode mode = gl::ClearMode::ColourAndDepth) {
    device->Clear(mode, kBackground);
    renderer->Render(scene.root, scene.camera);
    EXPECT_TRUE(device->Present());
    return device->ReadPixels();
  }
  testsupport::TempFolder folder;
  std::unique_ptr<gl::GlDevice> device;
  std::unique_ptr<gl::SceneRenderer> renderer;
  engine::Scene scene;
};

}  // namespace

TEST_F(RenderTest, EachPhotoShowsOnItsMaterialAndTheBackgroundFillsTheRest) {
  ASSERT_TRUE(image::SaveBmpFile(folder / "red.bmp", Solid(230, 20, 20)));
  ASSERT_TRUE(image::SaveBmpFile(folder / "green.bmp", Solid(20, 200, 40)));
  ASSERT_TRUE(image::SaveBmpFile(folder / "yellow.bmp", Solid(240, 220, 10)));
  const char* names[] = {"red.bmp", "green.bmp", "yellow.bmp"};
  for (int i = 0; i < 3; ++i) {
    engine::Frame& f = scene.root.createChild("photo" + std::to_string(i));
    f.setPosition(&scene.root, {-70.0f + 70.0f * i, 0, 0});
    f.addVisual(Square(25, MaterialFor(names[i])));
  }
  EXPECT_EQ(renderer->Prepare(scene.root, Photos()), 3);
  const image::Image img = Draw();
  ASSERT_EQ(img.width, kWidth);
  ASSERT_EQ(img.height, kHeight);
  // Squares of 50 units at distance 200 with the field on the wider side: 80 pixels.
  EXPECT_TRUE(IsColour(img, 160, 120, {20, 200, 40}));
  EXPECT_TRUE(IsColour(img, 160 - 112, 120, {230, 20, 20}));
  EXPECT_TRUE(IsColour(img, 160 + 112, 120, {240, 220, 10}));
  EXPECT_NEAR(Count(img, {20, 200, 40}), 80 * 80, 2 * 80 + 1);
  EXPECT_TRUE(IsColour(img, 0, 0, kBack));
  EXPECT_TRUE(IsColour(img, kWidth - 1, kHeight - 1, kBack));
  EXPECT_TRUE(IsColour(img, 160, 120 - 45, kBack));
}

TEST_F(RenderTest, PhotoKeepsItsTopUpAndItsOwnBrightnessUnderAGreyMaterial) {
  image::Image split = Solid(255, 255, 255, 64);
  for (int y = 32; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      uint8_t* p = split.rgb.data() + (std::size_t(y) * 64 + x) * 3;
      p[0] = 0;
      p[1] = 0;
    }
  ASSERT_TRUE(image::SaveBmpFile(folder / "split.bmp", split));
  // The grey exporters give a material by default: it must not dim the photo.
  scene.root.createChild("photo").addVisual(Square(50, MaterialFor("split.bmp", {0.588f, 0.588f, 0.588f, 1})));
  renderer->Prepare(scene.root, Photos());
  const image::Image img = Draw();
  EXPECT_TRUE(IsColour(img, 160, 120 - 40, {255, 255, 255}));
  EXPECT_TRUE(IsColour(img, 160, 120 + 40, {0, 0, 255}));
}

// A scene with the importer's key light frame is shaded: faces turned differently get
// different tones, a photo looking straight into the light shows at its own brightness,
// and without the frame the same faces are one tone under the white ambient light.
TEST_F(RenderTest, AKeyLightGivesFacesTheirShapeAndSparesPhotosBrightness) {
  ASSERT_TRUE(image::SaveBmpFile(folder / "grey.bmp", Solid(200, 200, 200, 64)));
  const engine::Vec3 d = engine::normalize(engine::Vec3{0.4f, -0.55f, 0.73f});
  auto grey = MaterialFor("", {0.8f, 0.8f, 0.8f, 1});
  engine::Frame& front = scene.root.createChild("front");  // faces the camera
  front.setPosition(&scene.root, {-70, 40, 0});
  front.addVisual(Square(25, grey));
  engine::Frame& turned = scene.root.createChild("turned");  // turned 60 degrees away
  turned.setPosition(&scene.root, {70, 40, 0});
  turned.setOrientation(&scene.root, {-0.866f, 0, 0.5f}, {0, 1, 0});
  turned.addVisual(Square(25, grey));
  engine::Frame& photo = scene.root.createChild("photo");  // looks into the light
  photo.setPosition(&scene.root, {0, -50, 0});
  photo.setOrientation(&scene.root, d, {0, 1, 0});
  photo.addVisual(Square(25, MaterialFor("grey.bmp", {0.5f, 0.5f, 0.5f, 1})));

  renderer->Prepare(scene.root, Photos());
  const image::Image ambient = Draw();
  EXPECT_TRUE(IsColour(ambient, 160 - 112, 120 - 64, {204, 204, 204}));
  EXPECT_TRUE(IsColour(ambient, 160 + 112, 120 - 64, {204, 204, 204})) << "one tone without a light";

  engine::Frame& light = scene.root.createChild(std::string(engine::kKeyLightFrameName));
  light.setOrientation(&scene.root, d, {0, 1, 0});
  renderer->Prepare(scene.root, Photos());
  const image::Image lit = Draw();
  const Rgb a = At(lit, 160 - 112, 120 - 64), b = At(lit, 160 + 112, 120 - 64);
  EXPECT_GT(std::abs(a.r - b.r), 20) << "front " << a.r << " and turned " << b.r << " differ";
  EXPECT_LT(std::max(a.r, b.r), 205);
  EXPECT_GT(std::min(a.r, b.r), 204 * 0.45 - 4) << "nothing darker than the ambient light";
  EXPECT_TRUE(IsColour(lit, 160, 120 + 80, {200, 200, 200})) << "the photo at its own brightness";
}

TEST_F(RenderTest, UntexturedMaterialsShowTheirColourUnderTheWhiteAmbientLight) {
  auto m = MaterialFor("", {0.25f, 0.5f, 0.75f, 1});
  m->emissive = {0.5f, 0, 0};
  scene.root.createChild("plain").addVisual(Square(50, m));
  EXPECT_EQ(renderer->Prepare(scene.root, Photos()), 0);
  const image::Image img = Draw();
  EXPECT_TRUE(IsColour(img, 160, 120, {191, 128, 191}));
}

TEST_F(RenderTest, EraseOffKeepsThePreviousPictureAndAFullClearRemovesIt) {
  ASSERT_TRUE(image::SaveBmpFile(folder / "red.bmp", Solid(230, 20, 20)));
  engine::Frame& f = scene.root.createChild("mover");
  f.addVisual(Square(20, MaterialFor("red.bmp")));
  renderer->Prepare(scene.root, Photos());
  f.setPosition(&scene.root, {-60, 0, 0});
  Draw();
  f.setPosition(&scene.root, {60, 0, 0});
  image::Image img = Draw(gl::ClearMode::DepthOnly);
  EXPECT_TRUE(IsColour(img, 160 - 96, 120, {230, 20, 20}));  // the old place stays painted
  EXPECT_TRUE(IsColour(img, 160 + 96, 120, {230, 20, 20}));
  EXPECT_TRUE(IsColour(img, 160, 120, kBack));
  img = Draw(gl::ClearMode::ColourAndDepth);
  EXPECT_TRUE(IsColour(img, 160 - 96, 120, kBack));
  EXPECT_TRUE(IsColour(img, 160 + 96, 120, {230, 20, 20}));
}

TEST_F(RenderTest, TrailsAreSeveralRendersBetweenOneClearAndOnePresent) {
  engine::Frame& f = scene.root.createChild("mover");
  f.addVisual(Square(10, MaterialFor("", {1, 1, 1, 1})));
  renderer->Prepare(scene.root, Photos());
  device->Clear(gl::ClearMode::ColourAndDepth, kBackground);
  for (float x : {-80.0f, 0.0f}) {
    f.setPosition(&scene.root, {x, 0, 0});
    renderer->Render(scene.root, scene.camera);
  }
  device->Clear(gl::ClearMode::DepthOnly, kBackground);
  f.setPosition(&scene.root, {80, 0, 0});
  renderer->Render(scene.root, scene.camera);
  device->Present();
  const image::Image img = device->ReadPixels();
  for (int x : {160 - 128, 160, 160 + 128}) EXPECT_TRUE(IsColour(img, x, 120, {255, 255, 255})) << x;
}

TEST_F(RenderTest, BackFacesAreNotDrawnAndNearerFacesHideFartherOnes) {
  scene.root.createChild("away").addVisual(Square(50, MaterialFor("", {1, 0, 0, 1}), /*facingAway=*/true));
  engine::Frame& front = scene.root.createChild("front");  // drawn first, still in front
  front.setPosition(&scene.root, {-30, 0, -50});
  front.addVisual(Square(20, MaterialFor("", {0, 1, 0, 1})));
  engine::Frame& behind = scene.root.createChild("behind");
  behind.setPosition(&scene.root, {30, 0, 100});
  behind.addVisual(Square(60, MaterialFor("", {0, 0, 1, 1})));
  renderer->Prepare(scene.root, Photos());
  const image::Image img = Draw();
  EXPECT_EQ(Count(img, {255, 0, 0}), 0);
  EXPECT_TRUE(IsColour(img, 160 - 32, 120, {0, 255, 0}));
  EXPECT_TRUE(IsColour(img, 160 + 50, 120, {0, 0, 255}));
}

TEST_F(RenderTest, TextureCandidatesFallBackInOrderAndMissingPhotosLeaveTheMaterialPlain) {
  ASSERT_TRUE(image::SaveBmpFile(folder / "photo0.bmp", Solid(10, 220, 220)));
  std::vector<std::string> asked;
  engine::TextureRequest request = [&](std::string_view name) {
    asked.emplace_back(name);
    if (name == "first.bmp") return std::vector<std::string>{folder / "photo7.bmp", folder / "photo0.bmp"};
    return std::vector<std::string>{folder / "nothing.bmp"};
  };
  auto shared = MaterialFor("first.bmp");
  engine::Frame& a = scene.root.createChild("a");
  a.setPosition(&scene.root, {-50, 0, 0});
  a.addVisual(Square(20, shared));
  engine::Frame& b = scene.root.createChild("b");
  b.setPosition(&scene.root, {50, 0, 0});
  b.addVisual(Square(20, MaterialFor("second.bmp", {1, 1, 0, 1})));
  scene.root.createChild("c").addVisual(Square(5, shared));  // asked once only
  EXPECT_EQ(renderer->Prepare(scene.root, request), 1);
  EXPECT_EQ(asked, (std::vector<std::string>{"first.bmp", "second.bmp"}));
  ASSERT_EQ(renderer->textureProblems().size(), 1u);
  EXPECT_NE(renderer->textureProblems()[0].find("nothing.bmp"), std::string::npos);
  const image::Image img = Draw();
  EXPECT_TRUE(IsColour(img, 160 - 80, 120 - 20, {10, 220, 220}));
  EXPECT_TRUE(IsColour(img, 160 + 80, 120, {255, 255, 0}));
}

TEST_F(RenderTest, ResizingKeepsUploadedMeshesAndFollowsTheNewAspect) {
  scene.root.createChild("sq").addVisual(Square(25, MaterialFor("", {1, 1, 1, 1})));
  renderer->Prepare(scene.root, Photos());
  ASSERT_TRUE(device->Resize(200, 400));
  const image::Image img = Draw();
  ASSERT_EQ(img.width, 200);
  ASSERT_EQ(img.height, 400);
  // The taller side now carries the field: 50 units at distance 200 span 100 pixels.
  EXPECT_NEAR(Count(img, {255, 255, 255}), 100 * 100, 2 * 100 + 1);
}

TEST(RenderDevices, TwoDevicesKeepTheirOwnPicturesAndObjects) {
  std::string error;
  auto a = gl::GlDevice::Offscreen(64, 48, &error);
  ASSERT_TRUE(a) << error;
  engine::Scene scene;
  scene.camera.frame->setPosition(&scene.root, {0, 0, -200});
  scene.root.createChild("sq").addVisual(Square(50, MaterialFor("", {1, 0, 1, 1})));
  gl::SceneRenderer ra(*a);
  ra.Prepare(scene.root, {});
  const uint32_t meshOfA = scene.root.child(1).visuals()[0]->deviceHandle;
  {
    auto b = gl::GlDevice::Offscreen(32, 32, &error);  // made current on creation
    ASSERT_TRUE(b) << error;
    b->Clear(gl::ClearMode::ColourAndDepth, 0xFF00FF00);
    a->Clear(gl::ClearMode::ColourAndDepth, kBackground);
    ra.Render(scene.root, scene.camera);
    a->Present();
    EXPECT_TRUE(IsColour(b->ReadPixels(), 5, 5, {0, 255, 0}));
  }  // b goes while a's context is the current one
  const image::Image img = a->ReadPixels();
  EXPECT_TRUE(IsColour(img, 32, 24, {255, 0, 255}));
  EXPECT_TRUE(IsColour(img, 1, 1, kBack));
  a->Clear(gl::ClearMode::ColourAndDepth, kBackground);
  ra.Render(scene.root, scene.camera);  // a's display list survived b's end
  EXPECT_EQ(scene.root.child(1).visuals()[0]->deviceHandle, meshOfA);
  EXPECT_TRUE(IsColour(a->ReadPixels(), 32, 24, {255, 0, 255}));
}

namespace {

// A photo of one-pixel black and white columns: seen small, only its mipmap levels give
// the even grey it averages to; a single level shows whichever columns the pixels hit.
image::Image FineStripes() {
  image::Image img = Solid(0, 0, 0);
  for (int y = 0; y < img.height; ++y)
    for (int x = 1; x < img.width; x += 2) {
      uint8_t* p = img.rgb.data() + (std::size_t(y) * img.width + x) * 3;
      p[0] = p[1] = p[2] = 255;
    }
  return img;
}

// The spread of grey values inside the middle of a square drawn 6.4 times smaller than
// its texture.
int GreySpread(bool framebuffers, bool anisotropy) {
  // The switches are read when a device is made: the back buffer road, and filtering
  // without anisotropy (which alone would also even the stripes out where it exists).
  _putenv(framebuffers ? "PRISMORA_GL_NO_FBO=" : "PRISMORA_GL_NO_FBO=1");
  _putenv(anisotropy ? "PRISMORA_GL_NO_ANISOTROPY=" : "PRISMORA_GL_NO_ANISOTROPY=1");
  std::string error;
  auto device = gl::GlDevice::Offscreen(kWidth, kHeight, &error);
  _putenv("PRISMORA_GL_NO_FBO=");
  _putenv("PRISMORA_GL_NO_ANISOTROPY=");
  EXPECT_TRUE(device) << error;
  if (!device) return 999;
  EXPECT_EQ(device->usesFramebuffer(), framebuffers);
  if (!anisotropy) {
    EXPECT_EQ(device->maxAnisotropy(), 0.0f);
  }
  testsupport::TempFolder folder;
  EXPECT_TRUE(image::SaveBmpFile(folder / "stripes.bmp", FineStripes()));
  engine::Scene scene;
  scene.camera.frame->setPosition(&scene.root, {0, 0, -200});
  scene.root.createChild("photo").addVisual(Square(25, MaterialFor("stripes.bmp")));
  gl::SceneRenderer renderer(*device);
  renderer.Prepare(scene.root, [&](std::string_view) { return std::vector<std::string>{folder / "stripes.bmp"}; });
  device->Clear(gl::ClearMode::ColourAndDepth, kBackground);
  renderer.Render(scene.root, scene.camera);
  device->Present();
  const image::Image img = device->ReadPixels();
  int lo = 255, hi = 0;
  for (int y = 120 - 30; y < 120 + 30; ++y)
    for (int x = 160 - 30; x < 160 + 30; ++x) {
      lo = std::min(lo, At(img, x, y).r);
      hi = std::max(hi, At(img, x, y).r);
    }
  EXPECT_NEAR((lo + hi) / 2, 128, 20);
  return hi - lo;
}

}  // namespace

// A single linear level shows grey values from 26 to 229 here.
TEST(RenderMipmaps, ASmallPhotoIsItsEvenAverageOnBothDrawingRoads) {
  for (bool anisotropy : {true, false}) {
    EXPECT_LT(GreySpread(true, anisotropy), 24) << "anisotropy " << anisotropy;
    EXPECT_LT(GreySpread(false, anisotropy), 24) << "anisotropy " << anisotropy;
  }
}

TEST_F(RenderTest, AReplacedTextureShowsItsNewPictureOnItsOwnMaterialOnly) {
  ASSERT_TRUE(image::SaveBmpFile(folder / "red.bmp", Solid(230, 20, 20)));
  ASSERT_TRUE(image::SaveBmpFile(folder / "green.bmp", Solid(20, 200, 40)));
  auto left = MaterialFor("red.bmp"), right = MaterialFor("red.bmp");
  engine::Frame& a = scene.root.createChild("a");
  a.setPosition(&scene.root, {-50, 0, 0});
  a.addVisual(Square(20, left));
  engine::Frame& b = scene.root.createChild("b");
  b.setPosition(&scene.root, {50, 0, 0});
  b.addVisual(Square(20, right));
  std::vector<engine::Material*> slots = gl::SceneRenderer::TexturedMaterials(scene.root);
  ASSERT_EQ(slots.size(), 2u);
  EXPECT_EQ(slots[0], left.get());
  renderer->KeepTexturesApart();
  EXPECT_EQ(renderer->Prepare(scene.root, Photos()), 2);
  EXPECT_NE(left->deviceTexture, right->deviceTexture);
  EXPECT_TRUE(renderer->ReplaceTexture(*left, {folder / "missing.bmp", folder / "green.bmp"}));
  EXPECT_FALSE(renderer->ReplaceTexture(*right, {folder / "missing.bmp"}));
  const image::Image img = Draw();
  EXPECT_TRUE(IsColour(img, 160 - 80, 120, {20, 200, 40}));
  EXPECT_TRUE(IsColour(img, 160 + 80, 120, {230, 20, 20}));  // kept its picture
}
