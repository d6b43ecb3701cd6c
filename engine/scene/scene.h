// Everything one viewport draws: the root frame (the scene frame), the camera, the
// background and the loaded animation set.
#pragma once
#include <cstdint>
#include <memory>

#include "engine/scene/animation.h"
#include "engine/scene/camera.h"
#include "engine/scene/frame.h"

namespace prismora::engine {

struct Scene {
  Frame root{"scene"};
  Camera camera;                    // camera.frame is created under root by the constructor
  uint32_t background = 0xFF000000; // 0xAARRGGBB
  AnimationSet animation;

  Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;
};

}  // namespace prismora::engine
