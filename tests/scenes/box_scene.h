// A small textured scene for the import tests: one box under a frame that places it.
#pragma once
#include <string>

#include "engine/scene/math.h"
#include "engine/xfile/document.h"
#include "tools/scenegen/mesh_builder.h"

namespace prismora::testsupport {

// A box of half extents `half` round the origin, moved by `offset` and scaled by `scale`
// through its frame's matrix; every face takes the material "skin" with `texture` (none
// when empty).
inline engine::xfile::XDocument BoxScene(engine::Vec3 offset, float scale,
                                         engine::Vec3 half = {10, 20, 30},
                                         const std::string& texture = "wood.jpg") {
  using namespace engine::xfile;
  XDocument doc;
  XMaterial skin;
  skin.name = "skin";
  skin.textureFile = texture;
  doc.materials.push_back(skin);
  scenegen::MeshBuilder builder("box");
  const uint32_t m = builder.material("skin");
  builder.box({0, 0, 0}, half, {m, m, m, m, m, m});
  XFrame frame;
  frame.name = "Box";
  const engine::Matrix4 place = engine::Matrix4::scaling({scale, scale, scale}) *
                                engine::Matrix4::translation(offset);
  std::array<float, 16> values{};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) values[std::size_t(r * 4 + c)] = place.m[r][c];
  frame.transform = values;
  frame.meshes.push_back(builder.take());
  doc.frames.push_back(std::move(frame));
  return doc;
}

}  // namespace prismora::testsupport
