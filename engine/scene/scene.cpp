#include "engine/scene/scene.h"

namespace prismora::engine {

Scene::Scene() { camera.frame = &root.createChild("camera"); }

std::size_t Mesh::triangleCount() const {
  std::size_t n = 0;
  for (const MeshGroup& g : groups) n += g.indices.size() / 3;
  return n;
}

}  // namespace prismora::engine
