#include "engine/gl/mesh_data.h"

namespace prismora::gl {

std::size_t DropInvalidTriangles(MeshGroup& group) {
  std::size_t dropped = 0;
  const std::size_t n = group.vertices.size();
  std::vector<uint32_t> kept;
  kept.reserve(group.indices.size());
  const std::size_t whole = group.indices.size() / 3 * 3;
  for (std::size_t i = 0; i < whole; i += 3) {
    const uint32_t* t = &group.indices[i];
    if (t[0] < n && t[1] < n && t[2] < n)
      kept.insert(kept.end(), t, t + 3);
    else
      ++dropped;
  }
  group.indices = std::move(kept);
  return dropped;
}

MeshData FromSceneMesh(const engine::Mesh& mesh) {
  MeshData out;
  out.groups.reserve(mesh.groups.size());
  for (const engine::MeshGroup& g : mesh.groups) {
    MeshGroup group;
    if (g.material) {
      group.colour = LitColour(g.material->faceColor, g.material->emissive);
      group.texture = g.material->deviceTexture;
      if (group.texture) group.colour = {1, 1, 1, group.colour.a};
    } else {
      group.colour = {1, 1, 1, 1};
    }
    group.vertices.reserve(g.vertices.size());
    for (const engine::MeshVertex& v : g.vertices)
      group.vertices.push_back(
          {v.position.x, v.position.y, v.position.z, v.uv.x, v.uv.y, v.normal.x, v.normal.y, v.normal.z});
    group.indices = g.indices;
    DropInvalidTriangles(group);
    if (!group.indices.empty()) out.groups.push_back(std::move(group));
  }
  return out;
}

}  // namespace prismora::gl
