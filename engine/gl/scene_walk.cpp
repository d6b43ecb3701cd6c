#include "engine/gl/scene_walk.h"

#include <algorithm>
#include <cmath>

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

void SortNearestFirst(std::vector<DrawItem>& items, const engine::Matrix4& view, DrawOrderScratch& scratch) {
  // Each item's depth is computed once and kept: a comparator that computes its keys anew
  // on every call may see one value rounded and once not, and then a < b and b < a both
  // hold and the sort runs past the vector's end. A NaN depth (a degenerate matrix) would
  // break the ordering the same way, so it sorts last. Ties keep the walk's order.
  auto& keys = scratch.keys;
  keys.resize(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    const engine::Matrix4& w = items[i].world;
    // Only the view-space z of each origin is needed: row 3 of world times view's z column.
    float z = w.m[3][0] * view.m[0][2] + w.m[3][1] * view.m[1][2] + w.m[3][2] * view.m[2][2] + view.m[3][2];
    const bool noDepth = std::isnan(z);
    keys[i] = {noDepth, noDepth ? 0.0f : z, i};
  }
  std::sort(keys.begin(), keys.end());
  auto& sorted = scratch.sorted;
  sorted.clear();
  for (const auto& key : keys) sorted.push_back(items[std::get<2>(key)]);
  items.swap(sorted);
}

void SortNearestFirst(std::vector<DrawItem>& items, const engine::Matrix4& view) {
  DrawOrderScratch scratch;
  SortNearestFirst(items, view, scratch);
}

void CollectMeshes(const engine::Frame& root, std::vector<engine::Mesh*>& out) {
  out.clear();
  WalkMeshes(root, out);
}

}  // namespace prismora::gl
