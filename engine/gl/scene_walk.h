// Flattens a frame tree into what one picture draws: every visual with its frame's
// local-to-world matrix, depth first in child order. Platform-free.
#pragma once
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
// Equal distances keep their order. `view` is world to camera space (looking along +z).
void SortNearestFirst(std::vector<DrawItem>& items, const engine::Matrix4& view);

// Every mesh below root once, in drawing order (for uploading).
void CollectMeshes(const engine::Frame& root, std::vector<engine::Mesh*>& out);

}  // namespace prismora::gl
