#include "engine/gl/scene_walk.h"

#include <algorithm>

namespace prismora::gl {
namespace {

void Walk(const engine::Frame& frame, const engine::Matrix4& parentWorld, std::vector<DrawItem>& out) {
  // Row vectors: local first, then the parent's world.
  const engine::Matrix4 world = frame.localMatrix() * parentWorld;
  for (const auto& mesh : frame.visuals())
    if (mesh) out.push_back({mesh.get(), world});
  for (const auto& child : frame.children()) Walk(*child, world, out);
}

void WalkMeshes(const engine::Frame& frame, std::vector<engine::Mesh*>& out) {
  for (const auto& mesh : frame.visuals())
    if (mesh && std::find(out.begin(), out.end(), mesh.get()) == out.end()) out.push_back(mesh.get());
  for (const auto& child : frame.children()) WalkMeshes(*child, out);
}

}  // namespace

void CollectDrawItems(const engine::Frame& root, std::vector<DrawItem>& out) {
  out.clear();
  // The root's own parent chain counts too: a root that is not at the identity moves
  // everything below it.
  engine::Matrix4 above = engine::Matrix4::identity();
  if (root.parent()) above = root.parent()->worldMatrix();
  Walk(root, above, out);
}

void CollectMeshes(const engine::Frame& root, std::vector<engine::Mesh*>& out) {
  out.clear();
  WalkMeshes(root, out);
}

}  // namespace prismora::gl
