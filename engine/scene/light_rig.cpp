#include "engine/scene/light_rig.h"

#include <cmath>

namespace prismora::engine {

const Frame* FindKeyLight(Frame& root) { return root.findByName(kKeyLightFrameName); }

LightRig LightRigFor(const Frame* keyLight) {
  LightRig rig;
  if (!keyLight) return rig;
  const Vec3 z = keyLight->worldMatrix().row(2);
  const float len = length(z);
  if (!(len > 0) || !std::isfinite(len)) return rig;  // a degenerate frame: ambient only
  rig.ambient = kRigAmbient;
  rig.key = kRigKey;
  rig.keyDirection = z * (1.0f / len);
  return rig;
}

}  // namespace prismora::engine
