// Full screen over every monitor the display offers: one window over the virtual screen,
// each monitor showing the whole scene in its own viewport with its own aspect ratio.
// Under a display with one monitor this checks that one; set PRISMORA_EXPECT_MONITORS to
// the count the display server was started with so a lost monitor fails the run.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/gl/gl_device.h"
#include "engine/gl/scene_renderer.h"
#include "engine/scene/scene.h"
#include "runtime/win/monitors.h"
#include "tests/support/screen.h"
#include "tests/support/test_meshes.h"
#include "tests/support/wait.h"

using namespace prismora;

namespace {

using testsupport::MonitorRects;

// Where the square's colour lies in a screen rectangle, in that rectangle's pixels.
struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool found() const { return right >= left; }
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};
Box FindSquare(RECT r) {
  const std::vector<uint32_t> px = testsupport::ScreenPixels(r);
  const int w = r.right - r.left;
  Box b;
  for (std::size_t i = 0; i < px.size(); ++i) {
    const uint32_t p = px[i];
    if (std::abs(int(p >> 16) - 0xF0) > 6 || std::abs(int((p >> 8) & 0xFF) - 0xD0) > 6 ||
        std::abs(int(p & 0xFF) - 0x20) > 6)
      continue;
    const int x = int(i % w), y = int(i / w);
    b.left = std::min(b.left, x);
    b.right = std::max(b.right, x);
    b.top = std::min(b.top, y);
    b.bottom = std::max(b.bottom, y);
  }
  return b;
}

// A flat square of 50 units, 200 units ahead of the camera: with the field on the
// viewport's larger side it spans a quarter of that side.
void ShowSquareOnEveryMonitor(bool framebuffers) {
  if (!framebuffers) SetEnvironmentVariableA("PRISMORA_GL_NO_FBO", "1");
  const gl::ScreenLayout layout = runtime::MonitorLayout();
  const gl::PixelRect& area = layout.window;
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, area.left, area.top,
                                area.width(), area.height(), nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  std::string error;
  auto device = gl::GlDevice::ForWindow(window, &error);
  SetEnvironmentVariableA("PRISMORA_GL_NO_FBO", nullptr);
  ASSERT_TRUE(device) << error;
  EXPECT_EQ(device->usesFramebuffer(), framebuffers);
  device->SetViewports(layout.viewports);

  engine::Scene scene;
  scene.camera.frame->setPosition(&scene.root, {0, 0, -200});
  scene.root.createChild("square").addVisual(
      testsupport::Square(25, testsupport::MaterialFor("", {0xF0 / 255.0f, 0xD0 / 255.0f, 0x20 / 255.0f, 1})));
  gl::SceneRenderer renderer(*device);
  renderer.Prepare(scene.root, {});

  for (const RECT& m : MonitorRects()) {
    const int w = m.right - m.left, h = m.bottom - m.top;
    const int side = std::max(w, h) / 4;
    Box b;
    // Drawn again for each look: the X server may take a moment to show a frame.
    testsupport::WaitUntil(
        [&] {
          device->Clear(gl::ClearMode::ColourAndDepth, 0xFF000000);
          renderer.Render(scene.root, scene.camera);
          device->Present();
          b = FindSquare(m);
          return b.found() && std::abs(b.width() - side) <= 3;
        },
        3000, testsupport::kScreenWaitStepMs);
    SCOPED_TRACE("monitor " + std::to_string(m.left) + "," + std::to_string(m.top) + " " + std::to_string(w) +
                 "x" + std::to_string(h) + (framebuffers ? "" : " without framebuffer objects"));
    ASSERT_TRUE(b.found()) << "no square on this monitor";
    // Square on every monitor, whatever its shape: nothing stretched over two screens.
    EXPECT_NEAR(b.width(), side, 3);
    EXPECT_NEAR(b.height(), side, 3);
    EXPECT_NEAR(b.left + b.width() / 2.0, w / 2.0, 2);
    EXPECT_NEAR(b.top + b.height() / 2.0, h / 2.0, 2);
  }
  device.reset();
  DestroyWindow(window);
}

}  // namespace

TEST(Monitors, OneWindowCoversTheVirtualScreenWithAViewportPerMonitor) {
  const std::vector<RECT> monitors = MonitorRects();
  ASSERT_FALSE(monitors.empty());
  if (const char* expected = std::getenv("PRISMORA_EXPECT_MONITORS")) {
    EXPECT_EQ(monitors.size(), std::size_t(std::atoi(expected))) << "the display offers another monitor count";
  }
  const gl::ScreenLayout layout = runtime::MonitorLayout();
  const RECT v = testsupport::VirtualScreenRect();
  EXPECT_EQ(layout.window, (gl::PixelRect{int(v.left), int(v.top), int(v.right), int(v.bottom)}));
  ASSERT_LE(layout.viewports.size(), monitors.size());
  for (const RECT& m : monitors) {
    const gl::PixelRect relative{int(m.left - v.left), int(m.top - v.top), int(m.right - v.left),
                                 int(m.bottom - v.top)};
    EXPECT_NE(std::find(layout.viewports.begin(), layout.viewports.end(), relative), layout.viewports.end())
        << "no viewport for the monitor at " << m.left << "," << m.top;
  }
}

TEST(Monitors, EveryMonitorShowsTheSceneWithItsOwnAspect) { ShowSquareOnEveryMonitor(true); }

TEST(Monitors, EveryMonitorShowsTheSceneWithItsOwnAspectWithoutFramebuffers) { ShowSquareOnEveryMonitor(false); }
