// The arithmetic between the scene's left-handed world and OpenGL, and what one white
// ambient light makes of a material. Platform-free so it is tested without a context.
#pragma once
#include <cstdint>

#include "engine/scene/material.h"
#include "engine/scene/math.h"

namespace prismora::gl {

using engine::Matrix4;

// Camera space (left-handed, looking along +z) to OpenGL eye space (looking along -z):
// a mirror of z. The picture on screen is unchanged by it, so faces keep their
// clockwise front.
Matrix4 GlEyeFromView(const Matrix4& view);

struct Rgba {
  float r = 0, g = 0, b = 0, a = 1;
};
// 0xAARRGGBB as the scene's background colour is kept.
Rgba FromArgb(uint32_t argb);
// The material's colour plus its own emission, each channel held to [0, 1] (a NaN
// channel becomes 0); alpha is the material's.
Rgba LitColour(const engine::ColorRGBA& face, const engine::Vec3& emissive);

}  // namespace prismora::gl
