#include "tools/render/floor_scene.h"

namespace prismora::render {

std::shared_ptr<engine::Mesh> FullViewQuad(const engine::Camera& camera, int width, int height, float distance,
                                           const std::string& texture) {
  const engine::FrustumPlane f = camera.frustum(width, height);
  const float scale = distance / f.front;
  const float l = f.left * scale, r = f.right * scale, b = f.bottom * scale, t = f.top * scale;
  auto material = std::make_shared<engine::Material>();
  material->textureFile = texture;
  engine::MeshGroup g;
  g.material = material;
  g.vertices = {{{0, 0}, {}, {l, t, distance}},
                {{1, 0}, {}, {r, t, distance}},
                {{1, 1}, {}, {r, b, distance}},
                {{0, 1}, {}, {l, b, distance}}};
  g.indices = {0, 1, 2, 0, 2, 3};  // clockwise as seen from the camera
  auto mesh = std::make_shared<engine::Mesh>();
  mesh->name = "floor";
  mesh->groups.push_back(std::move(g));
  return mesh;
}

}  // namespace prismora::render
