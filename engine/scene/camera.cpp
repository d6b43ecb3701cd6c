#include "engine/scene/camera.h"

#include <algorithm>

#include "engine/scene/frame.h"

namespace prismora::engine {

Matrix4 Camera::viewMatrix() const {
  return frame ? inverseAffine(frame->worldMatrix()) : Matrix4{};
}

FrustumPlane Camera::frustum(int width, int height) const {
  float w = static_cast<float>(std::max(width, 1));
  float h = static_cast<float>(std::max(height, 1));
  float larger = std::max(w, h);
  float hx = field * front * w / larger;
  float hy = field * front * h / larger;
  return {-hx, hx, -hy, hy, front, back};
}

}  // namespace prismora::engine
