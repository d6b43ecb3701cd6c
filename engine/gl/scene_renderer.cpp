#include "engine/gl/scene_renderer.h"

#include <set>

#include "engine/gl/mesh_data.h"

namespace prismora::gl {

TextureId SceneRenderer::TextureFor(const std::vector<std::string>& candidates) {
  std::string why;
  for (const std::string& file : candidates) {
    if (auto it = byFile_.find(file); shareFiles_ && it != byFile_.end()) return it->second;
    const image::BmpReadResult read = image::LoadBmpFile(file);
    if (!read.ok()) {
      why = read.error;
      continue;
    }
    const TextureId id = device_.AddTexture(read.image);
    if (id == 0) {
      why = file + ": the device refused the picture";
      continue;
    }
    byFile_[file] = id;
    return id;
  }
  problems_.push_back(candidates.empty() ? "no picture offered" : why);
  return 0;
}

std::vector<engine::Material*> SceneRenderer::TexturedMaterials(const engine::Frame& root) {
  std::vector<engine::Mesh*> meshes;
  CollectMeshes(root, meshes);
  std::set<const engine::Material*> asked;
  std::vector<engine::Material*> out;
  for (engine::Mesh* mesh : meshes)
    for (engine::MeshGroup& g : mesh->groups) {
      engine::Material* m = g.material.get();
      if (m && !m->textureFile.empty() && asked.insert(m).second) out.push_back(m);
    }
  return out;
}

bool SceneRenderer::ReplaceTexture(engine::Material& material, const std::vector<std::string>& candidates) {
  if (material.deviceTexture == 0) return false;
  for (const std::string& file : candidates) {
    const image::BmpReadResult read = image::LoadBmpFile(file);
    if (read.ok() && device_.ReplaceTexture(material.deviceTexture, read.image)) return true;
  }
  return false;
}

bool SceneRenderer::ReplaceTexture(engine::Material& material, const image::MippedPicture& picture) {
  return material.deviceTexture != 0 && device_.ReplaceTexture(material.deviceTexture, picture);
}

int SceneRenderer::Prepare(engine::Frame& root, const engine::TextureRequest& request) {
  problems_.clear();
  keyLight_ = engine::FindKeyLight(root);
  std::vector<engine::Mesh*> meshes;
  CollectMeshes(root, meshes);
  int textured = 0;
  for (engine::Material* m : TexturedMaterials(root)) {
    if (request) m->deviceTexture = TextureFor(request(m->textureFile));
    if (m->deviceTexture) ++textured;
  }
  for (engine::Mesh* mesh : meshes)
    if (mesh->deviceHandle == 0) mesh->deviceHandle = device_.AddMesh(FromSceneMesh(*mesh));
  return textured;
}

void SceneRenderer::Render(const engine::Frame& root, const engine::Camera& camera) {
  if (!device_.alive()) return;
  const engine::Matrix4 view = camera.viewMatrix();
  device_.SetLighting(engine::LightRigFor(keyLight_));
  CollectDrawItems(root, items_);
  SortNearestFirst(items_, view, order_);
  for (const DrawItem& item : items_)
    if (item.mesh->deviceHandle == 0) item.mesh->deviceHandle = device_.AddMesh(FromSceneMesh(*item.mesh));
  if (device_.viewports().empty()) {
    DrawView(PixelRect{0, 0, device_.width(), device_.height()}, camera, view);
    return;
  }
  for (const PixelRect& viewport : device_.viewports()) DrawView(viewport, camera, view);
}

void SceneRenderer::DrawView(const PixelRect& viewport, const engine::Camera& camera, const engine::Matrix4& view) {
  device_.UseViewport(viewport);
  device_.SetCamera(view, ViewportProjection(camera, viewport));
  for (const DrawItem& item : items_) device_.Draw(item.mesh->deviceHandle, item.world);
}

}  // namespace prismora::gl
