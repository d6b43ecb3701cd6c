// One full-screen window over every monitor, cut into one viewport per monitor.
#include <gtest/gtest.h>

#include <vector>

#include "engine/gl/screen_layout.h"

using namespace prismora;
using gl::GlViewport;
using gl::PixelRect;

namespace prismora::gl {
void PrintTo(const PixelRect& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}
void PrintTo(const GlViewport& v, std::ostream* os) {
  *os << "at " << v.x << "," << v.y << " size " << v.width << "x" << v.height;
}
}  // namespace prismora::gl

namespace {

PixelRect At(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

float Aspect(const engine::FrustumPlane& f) { return (f.right - f.left) / (f.top - f.bottom); }

}  // namespace

TEST(ScreenLayout, OneMonitorIsTheWholeWindow) {
  const std::vector<PixelRect> monitors{At(0, 0, 1920, 1080)};
  const gl::ScreenLayout l = gl::LayOutScreens(monitors);
  EXPECT_EQ(l.window, At(0, 0, 1920, 1080));
  ASSERT_EQ(l.viewports.size(), 1u);
  EXPECT_EQ(l.viewports[0], At(0, 0, 1920, 1080));
  EXPECT_EQ(gl::ToGlViewport(l.viewports[0], 1080), (GlViewport{0, 0, 1920, 1080}));
}

TEST(ScreenLayout, SideBySideMonitorsOfDifferentSizesKeepTheirOwnAspect) {
  // A wide primary and a smaller 5:4 screen to its right, both aligned at the top.
  const std::vector<PixelRect> monitors{At(0, 0, 1920, 1080), At(1920, 0, 1280, 1024)};
  const gl::ScreenLayout l = gl::LayOutScreens(monitors);
  EXPECT_EQ(l.window, At(0, 0, 3200, 1080));
  ASSERT_EQ(l.viewports.size(), 2u);
  EXPECT_EQ(l.viewports[0], At(0, 0, 1920, 1080));
  EXPECT_EQ(l.viewports[1], At(1920, 0, 1280, 1024));
  // OpenGL counts from the bottom: the shorter screen's rows start 56 rows up.
  EXPECT_EQ(gl::ToGlViewport(l.viewports[0], l.window.height()), (GlViewport{0, 0, 1920, 1080}));
  EXPECT_EQ(gl::ToGlViewport(l.viewports[1], l.window.height()), (GlViewport{1920, 56, 1280, 1024}));

  engine::Camera camera;
  const engine::FrustumPlane wide = gl::ViewportProjection(camera, l.viewports[0]);
  const engine::FrustumPlane square = gl::ViewportProjection(camera, l.viewports[1]);
  EXPECT_FLOAT_EQ(Aspect(wide), 1920.0f / 1080.0f);
  EXPECT_FLOAT_EQ(Aspect(square), 1280.0f / 1024.0f);
  // Not one scene over 3200 x 1080: the field lies on each screen's own wider side.
  EXPECT_FLOAT_EQ(wide.right, camera.field * camera.front);
  EXPECT_FLOAT_EQ(square.right, camera.field * camera.front);
  EXPECT_FLOAT_EQ(wide.back, camera.back);
}

TEST(ScreenLayout, StackedMonitorsCountRowsFromTheBottomOfTheWindow) {
  const std::vector<PixelRect> monitors{At(0, 0, 1920, 1080), At(0, 1080, 1920, 1200)};
  const gl::ScreenLayout l = gl::LayOutScreens(monitors);
  EXPECT_EQ(l.window, At(0, 0, 1920, 2280));
  ASSERT_EQ(l.viewports.size(), 2u);
  EXPECT_EQ(gl::ToGlViewport(l.viewports[0], 2280), (GlViewport{0, 1200, 1920, 1080}));
  EXPECT_EQ(gl::ToGlViewport(l.viewports[1], 2280), (GlViewport{0, 0, 1920, 1200}));
}

TEST(ScreenLayout, MonitorsLeftOfAndAboveThePrimaryMoveTheWindowOrigin) {
  // The primary keeps (0, 0); a second screen sits to its left and 200 pixels higher.
  const std::vector<PixelRect> monitors{At(0, 0, 1920, 1080), At(-1280, -200, 1280, 1024)};
  const gl::ScreenLayout l = gl::LayOutScreens(monitors);
  EXPECT_EQ(l.window, (PixelRect{-1280, -200, 1920, 1080}));
  ASSERT_EQ(l.viewports.size(), 2u);
  EXPECT_EQ(l.viewports[0], At(1280, 200, 1920, 1080));
  EXPECT_EQ(l.viewports[1], At(0, 0, 1280, 1024));
  EXPECT_EQ(gl::ToGlViewport(l.viewports[0], l.window.height()), (GlViewport{1280, 0, 1920, 1080}));
  EXPECT_EQ(gl::ToGlViewport(l.viewports[1], l.window.height()), (GlViewport{0, 256, 1280, 1024}));
}

TEST(ScreenLayout, PortraitMonitorPutsTheFieldOnItsHeight) {
  const std::vector<PixelRect> monitors{At(0, 0, 1920, 1080), At(1920, -420, 1080, 1920)};
  const gl::ScreenLayout l = gl::LayOutScreens(monitors);
  EXPECT_EQ(l.window, (PixelRect{0, -420, 3000, 1500}));
  ASSERT_EQ(l.viewports.size(), 2u);
  engine::Camera camera;
  const engine::FrustumPlane tall = gl::ViewportProjection(camera, l.viewports[1]);
  EXPECT_FLOAT_EQ(tall.top, camera.field * camera.front);
  EXPECT_FLOAT_EQ(tall.right, camera.field * camera.front * 1080.0f / 1920.0f);
  // The wide primary's bottom edge lies 420 rows above the tall screen's.
  EXPECT_EQ(gl::ToGlViewport(l.viewports[0], l.window.height()), (GlViewport{0, 420, 1920, 1080}));
}

TEST(ScreenLayout, RepeatedAndEmptyMonitorsAreLeftOut) {
  // Two heads reported at the same place show one picture, not two on top of each other.
  const std::vector<PixelRect> twice{At(0, 0, 1280, 1024), At(0, 0, 1280, 1024), At(500, 500, 0, 300)};
  const gl::ScreenLayout l = gl::LayOutScreens(twice);
  EXPECT_EQ(l.window, At(0, 0, 1280, 1024));
  EXPECT_EQ(l.viewports, (std::vector<PixelRect>{At(0, 0, 1280, 1024)}));

  const std::vector<PixelRect> none{At(10, 10, 0, 0)};
  EXPECT_TRUE(gl::LayOutScreens(none).window.empty());
  EXPECT_TRUE(gl::LayOutScreens(none).viewports.empty());
  EXPECT_TRUE(gl::LayOutScreens({}).viewports.empty());
}
