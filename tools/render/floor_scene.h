// The floor frame of the render benchmark: one square photo stretched over the whole
// view, the least a textured full-screen picture can cost.
#pragma once
#include <memory>
#include <string>

#include "engine/scene/camera.h"
#include "engine/scene/mesh.h"

namespace prismora::render {

// A quad at distance `distance` in front of a camera at its frame's origin (looking
// along +z) that exactly fills a width x height view, with the material naming `texture`.
std::shared_ptr<engine::Mesh> FullViewQuad(const engine::Camera& camera, int width, int height, float distance,
                                           const std::string& texture);

}  // namespace prismora::render
