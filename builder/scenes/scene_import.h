// Turning a user's .x scene into what a template carries: the scene rewritten so the
// runtime shows all of it (centred, brought to a standard size, turning when it has no
// animation of its own), the template block's camera and motion, and the photo slots.
// The runtime has a fixed back plane and a camera whose view the template block sets,
// so a scene of any size or place is fitted to the view here, once, at import.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/trailer.h"
#include "engine/scene/math.h"
#include "engine/xfile/document.h"

namespace prismora::scenes {

struct Bounds {
  engine::Vec3 min, max;
  bool empty = true;

  void add(const engine::Vec3& p);
  engine::Vec3 centre() const { return (min + max) * 0.5f; }
  // Half the diagonal: the sphere round the centre that holds the box in any turn.
  float radius() const { return engine::length(max - min) * 0.5f; }
};

// The world-space box of every mesh vertex with the scene's animation at time 0 (the
// first animation set, as the runtime plays it). An empty box when nothing loads.
Bounds BoundsAtFirstFrame(const engine::xfile::XDocument& document);

// The size every imported scene is brought to: the radius of its bounding sphere.
inline constexpr float kFittedRadius = 100.0f;
// Tangent of the half view angle across the narrower side of a wide (16:9) screen; the
// runtime's camera sees 0.5 across the wider side, so 0.5 * 9 / 16 across the narrower.
inline constexpr float kNarrowHalfViewTan = 0.28125f;
// Room round the scene, as a factor on the distance that just fits it.
inline constexpr float kViewMargin = 1.15f;
// Ticks of one turn of a scene without animation of its own; at the default speed
// about two minutes per turn.
inline constexpr uint32_t kTurnTicks = 1200;

// How far from the centre a camera must stand to see a sphere of `radius` whole, with
// the margin.
float ViewDistance(float radius);

// Names of the frames the import puts round the scene. Neither carries a flag letter at
// the positions the runtime reads, so the import adds no behaviour by its names.
inline constexpr std::string_view kTurnFrameName = "scene_turn";
inline constexpr std::string_view kFitFrameName = "scene_size";

// The way the importer's key light travels: from above the viewer's left shoulder into
// the scene (the camera looks along +z with +y up), so faces turned towards the viewer
// and up are bright and the others fall off into the ambient light.
inline constexpr engine::Vec3 kKeyLightDirection{0.4f, -0.55f, 0.73f};

struct ImportedScene {
  engine::xfile::XDocument document;  // ready to be written as the template's scene
  trailer::TemplateBlockFields block;
  std::vector<std::string> photoSlots;  // the scene's texture names, first use first
  bool turns = false;                   // no animation of its own: the import turns it
};

struct ImportResult {
  ImportedScene scene;
  std::string error;  // empty on success; a text for the user
  bool ok() const { return error.empty(); }
};

inline constexpr std::string_view kNoTexturedFacesMessage =
    "This scene has no textured faces for photos";

// Reads a .x file in any form the reader takes. `fileName` names the file in messages.
ImportResult ImportScene(std::span<const uint8_t> bytes, std::string_view fileName);
// The same from a document already read.
ImportResult ImportDocument(engine::xfile::XDocument document);

}  // namespace prismora::scenes
