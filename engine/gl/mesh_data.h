// A mesh as the device compiles it: per material group a colour, a device texture and a
// checked triangle list, with a normal per vertex for scenes drawn under a key light.
// Made once per scene mesh, never per frame.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/gl/view_math.h"
#include "engine/scene/mesh.h"

namespace prismora::gl {

using TextureId = uint32_t;  // 0: none
using MeshId = uint32_t;     // 0: none

struct MeshVertex {
  float x = 0, y = 0, z = 0;
  float u = 0, v = 0;  // v grows downwards in the picture, as in .x files
  float nx = 0, ny = 0, nz = 1;
};

struct MeshGroup {
  Rgba colour;
  TextureId texture = 0;
  std::vector<MeshVertex> vertices;
  std::vector<uint32_t> indices;  // triangles, clockwise seen from the front
};

struct MeshData {
  std::vector<MeshGroup> groups;
};

// The scene mesh in the device's terms, taking each material's device texture slot. A
// group that shows a texture is drawn in white (its material's alpha kept): the texture
// is a photo, which shows at its own brightness whatever colour the scene's author gave
// the material (exporters default to a grey that would dim every photo).
// Triangles that index outside their group's vertices are left out, so a damaged mesh
// draws what it can and never reads outside an array.
MeshData FromSceneMesh(const engine::Mesh& mesh);

// Drops triangles with an index outside the group's vertices, and a trailing partial
// triangle. Returns how many triangles were dropped.
std::size_t DropInvalidTriangles(MeshGroup& group);

}  // namespace prismora::gl
