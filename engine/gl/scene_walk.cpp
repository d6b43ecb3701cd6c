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

void SortNearestFirst(std::vector<DrawItem>& items, const engine::Matrix4& view) {
  // Only the view-space z of each origin is needed: row 3 of world times view's z column.
  auto depth = [&view](const DrawItem& d) {
    const float x = d.world.m[3][0], y = d.world.m[3][1], z = d.world.m[3][2];
    return x * view.m[0][2] + y * view.m[1][2] + z * view.m[2][2] + view.m[3][2];
  };
  std::stable_sort(items.begin(), items.end(),
                   [&](const DrawItem& a, const DrawItem& b) { return depth(a) < depth(b); });
}

void CollectMeshes(const engine::Frame& root, std::vector<engine::Mesh*>& out) {
  out.clear();
  WalkMeshes(root, out);
}

}  // namespace prismora::gl
