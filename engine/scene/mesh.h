// A mesh ready for drawing: triangles grouped by material, each group with its own
// flat vertex and index arrays, built once at load time so a device can upload them
// once and draw every frame without touching them again.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/scene/material.h"
#include "engine/scene/math.h"

namespace prismora::engine {

// Interleaved exactly as OpenGL's GL_T2F_N3F_V3F layout (u, v, normal, position).
struct MeshVertex {
  Vec2 uv;
  Vec3 normal;
  Vec3 position;
};
static_assert(sizeof(MeshVertex) == 32, "MeshVertex must stay tightly packed");

struct MeshGroup {
  std::shared_ptr<Material> material;   // never null after loading
  std::vector<MeshVertex> vertices;
  std::vector<uint32_t> indices;        // triangle list, three per triangle, into `vertices`
};

struct Mesh {
  std::string name;
  std::vector<MeshGroup> groups;

  // Slot owned by the rendering device (for example a display list id); 0 = none yet.
  uint32_t deviceHandle = 0;

  std::size_t triangleCount() const;
};

}  // namespace prismora::engine
