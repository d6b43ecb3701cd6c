// How a scene is lit. The six templates' scenes are made for one white ambient light:
// every face shows its material colour as it is. A scene made elsewhere was shaped under
// its author's lights, which a .x file does not carry; under ambient light alone it reads
// as a flat silhouette in one tone. The importer therefore gives such a scene a light of
// its own: a frame named kKeyLightFrameName whose z axis is the direction the light
// travels. A scene with that frame is drawn with a dimmer ambient light plus that
// directional key light, the two adding up to full brightness on a face that looks
// straight into the key.
#pragma once
#include <string_view>

#include "engine/scene/frame.h"
#include "engine/scene/math.h"

namespace prismora::engine {

inline constexpr std::string_view kKeyLightFrameName = "scene_key_light";
inline constexpr float kRigAmbient = 0.45f;
inline constexpr float kRigKey = 0.55f;

struct LightRig {
  float ambient = 1.0f;  // white ambient light, 0..1
  float key = 0.0f;      // white directional light, 0..1; 0: none
  Vec3 keyDirection{0, 0, 1};  // world space, the way the light travels (unit length)
  bool hasKey() const { return key > 0; }
};

// The key light frame below (or at) root, nullptr when the scene has none.
const Frame* FindKeyLight(Frame& root);
// The rig for a scene whose key light frame is `keyLight` (nullptr: ambient light alone),
// the direction taken from the frame's placement now (it may move with the animation).
LightRig LightRigFor(const Frame* keyLight);

}  // namespace prismora::engine
