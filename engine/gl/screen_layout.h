// How one full-screen window spanning every monitor is cut into pictures: each monitor
// shows the whole scene through its own viewport with its own aspect ratio, so nothing
// is stretched across the seam between two screens. Platform-free: monitor rectangles
// in, viewports and projections out.
#pragma once
#include <span>
#include <vector>

#include "engine/scene/camera.h"

namespace prismora::gl {

// Pixels in screen or window coordinates: right and bottom are one past the last pixel,
// y grows downwards.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct ScreenLayout {
  // The window: every monitor's rectangle together (the virtual screen), in screen
  // coordinates. Empty when no monitor had an area.
  PixelRect window;
  // One per distinct monitor, in the order given, relative to the window's top-left.
  std::vector<PixelRect> viewports;
};

// Monitors without an area are left out; a rectangle given twice (mirrored displays, or
// a display server that reports two heads at the same place) is drawn once.
ScreenLayout LayOutScreens(std::span<const PixelRect> monitors);

// A viewport as glViewport takes it: rows counted from the bottom of the picture.
struct GlViewport {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const GlViewport&, const GlViewport&) = default;
};
GlViewport ToGlViewport(const PixelRect& viewport, int pictureHeight);

// The projection of one viewport: the camera's field on the larger side of that
// viewport, so every monitor keeps its own aspect ratio.
engine::FrustumPlane ViewportProjection(const engine::Camera& camera, const PixelRect& viewport);

}  // namespace prismora::gl
