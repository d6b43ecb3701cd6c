#include "engine/gl/screen_layout.h"

#include <algorithm>

namespace prismora::gl {

ScreenLayout LayOutScreens(std::span<const PixelRect> monitors) {
  ScreenLayout layout;
  std::vector<PixelRect> distinct;
  for (const PixelRect& m : monitors) {
    if (m.empty() || std::find(distinct.begin(), distinct.end(), m) != distinct.end()) continue;
    distinct.push_back(m);
  }
  if (distinct.empty()) return layout;
  PixelRect& w = layout.window;
  w = distinct.front();
  for (const PixelRect& m : distinct) {
    w.left = std::min(w.left, m.left);
    w.top = std::min(w.top, m.top);
    w.right = std::max(w.right, m.right);
    w.bottom = std::max(w.bottom, m.bottom);
  }
  for (const PixelRect& m : distinct)
    layout.viewports.push_back({m.left - w.left, m.top - w.top, m.right - w.left, m.bottom - w.top});
  return layout;
}

GlViewport ToGlViewport(const PixelRect& v, int pictureHeight) {
  return {v.left, pictureHeight - v.bottom, v.width(), v.height()};
}

engine::FrustumPlane ViewportProjection(const engine::Camera& camera, const PixelRect& viewport) {
  return camera.frustum(viewport.width(), viewport.height());
}

}  // namespace prismora::gl
