#include "tools/scenegen/mesh_builder.h"

namespace prismora::scenegen {

using engine::cross;
using engine::dot;
using engine::normalize;

uint32_t MeshBuilder::material(const std::string& name) {
  for (uint32_t i = 0; i < mesh_.materials.size(); ++i)
    if (mesh_.materials[i].reference == name) return i;
  engine::xfile::XMaterialSlot slot;
  slot.reference = name;
  mesh_.materials.push_back(slot);
  return static_cast<uint32_t>(mesh_.materials.size() - 1);
}

uint32_t MeshBuilder::vertex(const Vec3& p, const Vec2& uv, int chart) {
  auto key = std::make_tuple(p.x, p.y, p.z, uv.x, uv.y, chart);
  auto [it, added] = vertices_.try_emplace(key, static_cast<uint32_t>(mesh_.positions.size()));
  if (added) {
    mesh_.positions.push_back({p.x, p.y, p.z});
    mesh_.texCoords.push_back({uv.x, uv.y});
  }
  return it->second;
}

void MeshBuilder::triangle(uint32_t a, uint32_t b, uint32_t c, uint32_t material) {
  auto at = [&](uint32_t i) { return Vec3{mesh_.positions[i][0], mesh_.positions[i][1], mesh_.positions[i][2]}; };
  Vec3 pa = at(a), pb = at(b), pc = at(c);
  Vec3 n = cross(pb - pa, pc - pa);
  Vec3 middle = (pa + pb + pc) * (1.0f / 3);
  if (dot(n, middle - centre_) < 0) {  // clockwise from outside: the normal points out
    std::swap(b, c);
    n = -n;
  }
  n = normalize(n);
  mesh_.faces.push_back({a, b, c});
  mesh_.faceMaterials.push_back(material);
  mesh_.normals.push_back({n.x, n.y, n.z});
  uint32_t ni = static_cast<uint32_t>(mesh_.normals.size() - 1);
  mesh_.normalFaces.push_back({ni, ni, ni});
  mesh_.hasNormals = true;
}

void MeshBuilder::quadUV(const Vec3 (&p)[4], const Vec2 (&uv)[4], uint32_t material, int chart) {
  uint32_t i[4];
  for (int k = 0; k < 4; ++k) i[k] = vertex(p[k], uv[k], chart);
  triangle(i[0], i[1], i[2], material);
  triangle(i[0], i[2], i[3], material);
}

void MeshBuilder::quad(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d,
                       uint32_t material) {
  quadUV({a, b, c, d}, {Vec2{0, 0}, Vec2{1, 0}, Vec2{1, 1}, Vec2{0, 1}}, material, newChart());
}

void MeshBuilder::box(const Vec3& c, const Vec3& h, const uint32_t (&materials)[6]) {
  Vec3 saved = centre_;
  centre_ = c;
  // Each face: outward normal n and the photo's up u; right r = n x u as seen from
  // outside, corners top-left, top-right, bottom-right, bottom-left.
  struct Face {
    Vec3 n, u;
  };
  const Face faces[6] = {{{0, 0, -1}, {0, 1, 0}}, {{1, 0, 0}, {0, 1, 0}}, {{0, 0, 1}, {0, 1, 0}},
                         {{-1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, 1}}, {{0, -1, 0}, {0, 0, -1}}};
  auto scale = [&](const Vec3& v) { return Vec3{v.x * h.x, v.y * h.y, v.z * h.z}; };
  for (int f = 0; f < 6; ++f) {
    Vec3 n = faces[f].n, u = faces[f].u, r = cross(n, u);
    Vec3 centre = c + scale(n), ru = scale(r), uu = scale(u);
    quad(centre - ru + uu, centre + ru + uu, centre + ru - uu, centre - ru - uu, materials[f]);
  }
  centre_ = saved;
}

engine::xfile::XMesh MeshBuilder::take() {
  vertices_.clear();
  return std::move(mesh_);
}

}  // namespace prismora::scenegen
