// Surface description of a mesh group, as a .x Material carries it.
#pragma once
#include <cstdint>
#include <string>

#include "engine/scene/math.h"

namespace prismora::engine {

struct ColorRGBA {
  float r = 1, g = 1, b = 1, a = 1;
  friend bool operator==(const ColorRGBA&, const ColorRGBA&) = default;
};

struct Material {
  std::string name;
  ColorRGBA faceColor;       // lit by the white ambient light: the vertex colour
  float power = 0;           // specular exponent (kept; the ambient-only scene ignores it)
  Vec3 specular;             // kept for completeness, see power
  Vec3 emissive;             // added to the lit colour
  std::string textureFile;   // as named in the scene file; empty: untextured

  // Slot owned by the rendering device (for example its texture object id) so the
  // per-frame path needs no lookup. 0 means "none yet"; the scene never reads it.
  uint32_t deviceTexture = 0;
};

}  // namespace prismora::engine
