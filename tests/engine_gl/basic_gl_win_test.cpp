// OpenGL as Windows ships it (1.1, no framebuffer objects), forced with the device's
// switches: the same scene drawn into a window's back buffer must give the picture a
// framebuffer object gives, off screen and on the screen for every kind of window; and
// without any context no device is made.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/gl/gl_device.h"
#include "engine/gl/scene_renderer.h"
#include "engine/scene/scene.h"
#include "tests/support/screen.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_host.h"
#include "tests/support/test_meshes.h"
#include "tests/support/wait.h"

using namespace prismora;
using testsupport::MaterialFor;
using testsupport::Square;

namespace {

constexpr uint32_t kBackground = 0xFF203050;

// Sets an environment switch for the devices made while it lives (each device reads the
// switches once, when it is made).
class Switch {
 public:
  explicit Switch(const char* name) : name_(name) { SetEnvironmentVariableA(name_, "1"); }
  ~Switch() { SetEnvironmentVariableA(name_, nullptr); }

 private:
  const char* name_;
};
constexpr const char* kNoFbo = "PRISMORA_GL_NO_FBO";
constexpr const char* kNoContext = "PRISMORA_GL_NO_CONTEXT";

// A picture with a vertical colour ramp and a bright corner, so a flipped, shifted or
// badly filtered texture shows.
image::Image Ramp() {
  image::Image img;
  img.width = img.height = 64;
  img.rgb.resize(64 * 64 * 3);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      uint8_t* p = img.rgb.data() + (y * 64 + x) * 3;
      p[0] = uint8_t(y * 4);
      p[1] = uint8_t(255 - x * 4);
      p[2] = (x < 16 && y < 16) ? 255 : 60;
    }
  return img;
}

// Photos in perspective at several depths, overlapping (depth test), one plain colour.
struct TestScene {
  testsupport::TempFolder folder;
  engine::Scene scene;
  engine::Frame* mover = nullptr;

  TestScene() {
    image::SaveBmpFile(folder / "ramp.bmp", Ramp());
    scene.camera.frame->setPosition(&scene.root, {0, 0, -200});
    engine::Frame& tilted = scene.root.createChild("tilted");
    tilted.setPosition(&scene.root, {-40, 10, 30});
    tilted.setOrientation(&scene.root, {0.5f, 0.2f, 1}, {0, 1, 0});
    tilted.addVisual(Square(45, MaterialFor("ramp.bmp", {1, 1, 1, 1})));
    engine::Frame& front = scene.root.createChild("front");
    front.setPosition(&scene.root, {30, -15, -20});
    front.addVisual(Square(30, MaterialFor("ramp.bmp", {1, 0.6f, 0.8f, 1})));
    mover = &scene.root.createChild("mover");
    mover->setPosition(&scene.root, {70, 40, 10});
    mover->addVisual(Square(15, MaterialFor("", {0.9f, 0.8f, 0.1f, 1})));
  }
  engine::TextureRequest Photos() {
    return [this](std::string_view name) { return std::vector<std::string>{folder / std::string(name)}; };
  }
};

// Draws a first picture, then, after a depth-only clear, the small square again at
// another place: both places show it when the first picture was kept.
void DrawTwice(gl::GlDevice& device, gl::SceneRenderer& renderer, TestScene& t) {
  t.mover->setPosition(&t.scene.root, {70, 40, 10});
  device.Clear(gl::ClearMode::ColourAndDepth, kBackground);
  renderer.Render(t.scene.root, t.scene.camera);
  EXPECT_TRUE(device.Present());
  t.mover->setPosition(&t.scene.root, {-80, -50, 10});
  device.Clear(gl::ClearMode::DepthOnly, kBackground);
  renderer.Render(t.scene.root, t.scene.camera);
  EXPECT_TRUE(device.Present());
}

// The scene drawn off screen into a framebuffer object: the picture to match.
image::Image Reference(int width, int height) {
  TestScene t;
  std::string error;
  auto device = gl::GlDevice::Offscreen(width, height, &error);
  EXPECT_TRUE(device) << error;
  if (!device) return {};
  EXPECT_TRUE(device->usesFramebuffer());
  gl::SceneRenderer renderer(*device);
  EXPECT_EQ(renderer.Prepare(t.scene.root, t.Photos()), 2);
  DrawTwice(*device, renderer, t);
  return device->ReadPixels();
}

int Channel(uint32_t rgb, int shift) { return int((rgb >> shift) & 0xFF); }

// Pixels whose channels differ by more than 3 from the reference, and the largest
// difference; the comparison fails on a size mismatch.
::testing::AssertionResult SamePicture(const image::Image& want, const std::vector<uint32_t>& got, int width,
                                       int height, double allowedShare = 0.002) {
  if (want.width != width || want.height != height || got.size() != std::size_t(width) * height)
    return ::testing::AssertionFailure() << "sizes differ: " << want.width << "x" << want.height << " vs " << width
                                         << "x" << height;
  long off = 0;
  int worst = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint8_t* w = want.pixel(x, y);
      const uint32_t g = got[std::size_t(y) * width + x];
      const int d = std::max({std::abs(w[0] - Channel(g, 16)), std::abs(w[1] - Channel(g, 8)),
                              std::abs(w[2] - Channel(g, 0))});
      worst = std::max(worst, d);
      off += d > 3;
    }
  if (double(off) / (double(width) * height) <= allowedShare) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << off << " of " << width * height << " pixels differ (largest " << worst
                                       << ")";
}

std::vector<uint32_t> Packed(const image::Image& img) {
  std::vector<uint32_t> out(std::size_t(img.width) * img.height);
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = uint32_t(img.rgb[i * 3]) << 16 | uint32_t(img.rgb[i * 3 + 1]) << 8 | img.rgb[i * 3 + 2];
  return out;
}

// Draws the scene twice on a window device and compares the screen with the reference
// until they match (the X server may take a moment), at most two seconds.
::testing::AssertionResult ScreenMatches(gl::GlDevice& device, HWND window, TestScene& t) {
  gl::SceneRenderer renderer(device);
  renderer.Prepare(t.scene.root, t.Photos());
  const RECT r = testsupport::ClientOnScreen(window);
  const image::Image want = Reference(r.right - r.left, r.bottom - r.top);
  ::testing::AssertionResult result = ::testing::AssertionFailure() << "never drawn";
  testsupport::WaitUntil(
      [&] {
        DrawTwice(device, renderer, t);
        result = SamePicture(want, testsupport::ScreenPixels(r), r.right - r.left, r.bottom - r.top);
        return bool(result);
      },
      2000, testsupport::kScreenWaitStepMs);
  return result;
}

HWND MakeWindow(DWORD style, int x, int y, int w, int h, HWND parent) {
  return CreateWindowExA(0, "STATIC", "", style, x, y, w, h, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A device for the window made with the framebuffer switch on; null (a failed test)
// when none could be made or it still uses a framebuffer object.
std::unique_ptr<gl::GlDevice> BackBufferDevice(HWND window, gl::PresenterKind kind) {
  Switch noFbo(kNoFbo);
  std::string error;
  auto device = gl::GlDevice::ForWindow(window, &error);
  EXPECT_TRUE(device) << error;
  if (!device) return nullptr;
  EXPECT_EQ(device->presenterKind(), kind);
  EXPECT_FALSE(device->usesFramebuffer());
  return device;
}

}  // namespace

TEST(BasicGl, OffscreenBackBufferGivesTheFramebufferPictureAtEverySize) {
  const image::Image want = Reference(320, 240), wantLarger = Reference(500, 400),
                    wantSmaller = Reference(200, 150);
  TestScene t;
  std::string error;
  std::unique_ptr<gl::GlDevice> device;
  {
    Switch noFbo(kNoFbo);
    device = gl::GlDevice::Offscreen(320, 240, &error);
  }
  ASSERT_TRUE(device) << error;
  EXPECT_FALSE(device->usesFramebuffer());
  gl::SceneRenderer renderer(*device);
  EXPECT_EQ(renderer.Prepare(t.scene.root, t.Photos()), 2);
  DrawTwice(*device, renderer, t);
  const image::Image got = device->ReadPixels();
  EXPECT_TRUE(SamePicture(want, Packed(got), got.width, got.height, 0));

  // Larger than the hidden window it started on: the context moves to a larger one and
  // keeps its textures and meshes.
  ASSERT_TRUE(device->Resize(500, 400));
  DrawTwice(*device, renderer, t);
  const image::Image larger = device->ReadPixels();
  EXPECT_TRUE(SamePicture(wantLarger, Packed(larger), larger.width, larger.height, 0));
  // And smaller again, on the larger window.
  ASSERT_TRUE(device->Resize(200, 150));
  DrawTwice(*device, renderer, t);
  const image::Image smaller = device->ReadPixels();
  EXPECT_TRUE(SamePicture(wantSmaller, Packed(smaller), smaller.width, smaller.height, 0));
}

TEST(BasicGl, TopLevelWindowShowsItsBackBufferAndKeepsItForDepthOnlyClears) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, 60, 50, 360, 270, nullptr);
  auto device = BackBufferDevice(top, gl::PresenterKind::Direct);
  ASSERT_TRUE(device);
  TestScene t;
  EXPECT_TRUE(ScreenMatches(*device, top, t));
  device.reset();
  DestroyWindow(top);
}

TEST(BasicGl, ChildWindowGetsTheHelperWindowsBackBufferAndFollowsItsSize) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, 450, 50, 520, 420, nullptr);
  HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, 20, 20, 256, 192, top);
  auto device = BackBufferDevice(child, gl::PresenterKind::ChildCopy);
  ASSERT_TRUE(device);
  TestScene t;
  EXPECT_TRUE(ScreenMatches(*device, child, t));
  SetWindowPos(child, nullptr, 0, 0, 480, 360, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_TRUE(ScreenMatches(*device, child, t));
  EXPECT_EQ(device->width(), 480);
  device.reset();
  DestroyWindow(top);
}

TEST(BasicGl, ChildInsideAnotherProcessesWindowShowsThePicture) {
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(testsupport::StartTestHost(pi));
  HWND host = nullptr;
  HWND panel = testsupport::WaitForTestHostPanel(host);
  ASSERT_TRUE(panel) << "the host program's panel did not appear";
  HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, 10, 10, 220, 160, panel);
  ASSERT_TRUE(child);
  // Wine never paints a child of another process's window: a popup of ours covers it.
  auto device = BackBufferDevice(
      child, gl::RunningOnWine() ? gl::PresenterKind::OwnedPopup : gl::PresenterKind::ChildCopy);
  ASSERT_TRUE(device);
  TestScene t;
  EXPECT_TRUE(ScreenMatches(*device, child, t));
  device.reset();
  PostMessageA(host, WM_CLOSE, 0, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

TEST(BasicGl, WithoutAnyContextNoDeviceIsMade) {
  Switch noContext(kNoContext);
  std::string error;
  EXPECT_FALSE(gl::GlDevice::Offscreen(64, 64, &error));
  EXPECT_NE(error.find("OpenGL"), std::string::npos) << error;
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, 40, 40, 100, 80, nullptr);
  error.clear();
  EXPECT_FALSE(gl::GlDevice::ForWindow(top, &error));
  EXPECT_FALSE(error.empty());
  DestroyWindow(top);
}
