// Authoring helper for template meshes: vertices carry a position, texture
// coordinates and a chart id (vertices are shared only inside one chart, i.e. one
// piece of texture mapping), triangles are wound clockwise seen from outside (the
// .x/Direct3D front side) by checking them against the shape's centre, which works
// for every star-shaped solid.
#pragma once
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "engine/scene/math.h"
#include "engine/xfile/document.h"

namespace prismora::scenegen {

using engine::Vec2;
using engine::Vec3;

class MeshBuilder {
 public:
  explicit MeshBuilder(std::string name) { mesh_.name = std::move(name); mesh_.hasMaterialList = true; }

  // Faces added from now on are oriented away from `centre`.
  void setCentre(const Vec3& centre) { centre_ = centre; }
  // Index of a material (by reference to a top-level material) in this mesh's list.
  uint32_t material(const std::string& name);
  int newChart() { return nextChart_++; }

  uint32_t vertex(const Vec3& p, const Vec2& uv, int chart);
  void triangle(uint32_t a, uint32_t b, uint32_t c, uint32_t material);
  // A quad a b c d going round its edge, with the photo's corners (0,0) (1,0) (1,1)
  // (0,1) on a b c d: one chart of its own.
  void quad(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, uint32_t material);
  void quadUV(const Vec3 (&p)[4], const Vec2 (&uv)[4], uint32_t material, int chart);
  // An axis-aligned box; `materials` lists the material of each face in the order
  // -z (front), +x, +z, -x, +y (top), -y (bottom).
  void box(const Vec3& centre, const Vec3& half, const uint32_t (&materials)[6]);

  engine::xfile::XMesh take();

 private:
  engine::xfile::XMesh mesh_;
  Vec3 centre_;
  int nextChart_ = 1;
  std::map<std::tuple<float, float, float, float, float, int>, uint32_t> vertices_;
};

}  // namespace prismora::scenegen
