// Small scene parts for the drawing tests: a material and a flat square.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/scene/material.h"
#include "engine/scene/mesh.h"

namespace prismora::testsupport {

inline std::shared_ptr<engine::Material> MaterialFor(const std::string& texture, engine::ColorRGBA colour = {}) {
  auto m = std::make_shared<engine::Material>();
  m->faceColor = colour;
  m->textureFile = texture;
  return m;
}

// A square of side 2*half in the plane z = 0 of its frame, facing -z (towards a camera
// in front of it), texture v = 0 at its top edge.
inline std::shared_ptr<engine::Mesh> Square(float half, std::shared_ptr<engine::Material> material,
                                            bool facingAway = false) {
  auto mesh = std::make_shared<engine::Mesh>();
  engine::MeshGroup g;
  g.material = std::move(material);
  const engine::Vec3 n{0, 0, facingAway ? 1.0f : -1.0f};
  g.vertices = {{{0, 0}, n, {-half, half, 0}},
                {{1, 0}, n, {half, half, 0}},
                {{1, 1}, n, {half, -half, 0}},
                {{0, 1}, n, {-half, -half, 0}}};
  g.indices = facingAway ? std::vector<uint32_t>{0, 2, 1, 0, 3, 2} : std::vector<uint32_t>{0, 1, 2, 0, 2, 3};
  mesh->groups.push_back(std::move(g));
  return mesh;
}

}  // namespace prismora::testsupport
