// Turns a .x document into scene objects: its top-level frames become children of a
// given parent frame (in file order), meshes become visuals ready for drawing,
// materials keep their texture names, and the first animation set is bound by frame
// name below the parent.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "engine/scene/animation.h"
#include "engine/scene/frame.h"
#include "engine/xfile/document.h"

namespace prismora::engine::xfile {

struct LoadResult {
  std::string error;  // empty on success
  bool ok() const { return error.empty(); }
};

// A reference to an unknown material or mesh is an error; on error the parent keeps
// whatever frames were added before it was found (callers treat the load as failed).
LoadResult loadDocument(const XDocument& document, Frame& parent, AnimationSet& animation);
// Reads then loads.
LoadResult loadXFile(std::span<const uint8_t> bytes, Frame& parent, AnimationSet& animation);

}  // namespace prismora::engine::xfile
