// Flattens a frame tree into what one picture draws: every visual with its frame's
// local-to-world matrix, depth first in child order. Platform-free.
#pragma once
#include <cstddef>
#include <tuple>
#include <vector>

#include "engine/scene/frame.h"

namespace prismora::gl {

struct DrawItem {
  engine::Mesh* mesh = nullptr;
  engine::Matrix4 world;
};

// Clears `out` and fills it; keeps its capacity so a frame allocates nothing once the
// list has grown to the scene's size.
void CollectDrawItems(const engine::Frame& root, std::vector<DrawItem>& out);

// Orders the items by the distance of their frame origin along the view direction,
// nearest first, so the depth test rejects hidden pixels before they are textured.
// Equal distances keep their order; an item whose distance is NaN goes last. `view` is
// world to camera space (looking along +z).
void SortNearestFirst(std::vector<DrawItem>& items, const engine::Matrix4& view);

// The same, with buffers kept between frames so that sorting allocates nothing once they
// have grown to the scene's size.
struct DrawOrderScratch {
  // Without a depth (NaN), the depth, the walk's position: one total order.
  std::vector<std::tuple<bool, float, std::size_t>> keys;
  std::vector<DrawItem> sorted;
};
void SortNearestFirst(std::vector<DrawItem>& items, const engine::Matrix4& view, DrawOrderScratch& scratch);

// Every mesh below root once, in drawing order (for uploading).
void CollectMeshes(const engine::Frame& root, std::vector<engine::Mesh*>& out);

}  // namespace prismora::gl
