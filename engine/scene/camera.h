// The viewport's camera: a frame to look from plus the classic engine's projection
// values. The field is half the extent of the larger viewport side on the front plane.
#pragma once
#include "engine/scene/math.h"

namespace prismora::engine {

class Frame;

struct FrustumPlane {
  // Extents of the view on the front plane (at distance `front`), as glFrustum takes them.
  float left, right, bottom, top, front, back;
};

struct Camera {
  Frame* frame = nullptr;
  float front = 1.0f;
  float back = 6000.0f;  // the runtime's back plane; the classic default of 100 is far too near
  float field = 0.5f;

  // World to camera space (row vectors, left-handed: the camera looks along +z).
  Matrix4 viewMatrix() const;
  FrustumPlane frustum(int width, int height) const;
};

}  // namespace prismora::engine
