// Draws a scene model with a GlDevice. Prepare uploads every texture and mesh once;
// Render only walks the frames and issues one draw per material group.
//
// Trails and erase-off are the caller's clears: Clear(ColourAndDepth or DepthOnly),
// any number of Render calls at different animation times (a DepthOnly clear between
// them where wanted), then one Present.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "engine/gl/gl_device.h"
#include "engine/gl/scene_walk.h"
#include "engine/gl/screen_layout.h"
#include "engine/scene/camera.h"
#include "engine/scene/frame.h"
#include "engine/scene/texture_request.h"

namespace prismora::gl {

class SceneRenderer {
 public:
  explicit SceneRenderer(GlDevice& device) : device_(device) {}

  // Asks `request` once for every material below root that names a texture (in drawing
  // order), uploads the first candidate file that reads as a bitmap, and compiles every
  // mesh. A file named by several materials is loaded once. Notes the scene's key light
  // frame, if it has one (see engine/scene/light_rig.h). Returns how many materials got
  // a texture.
  int Prepare(engine::Frame& root, const engine::TextureRequest& request);

  // Draws everything below root as the camera sees it, once into each of the device's
  // viewports with that viewport's own projection. A mesh added after Prepare is
  // compiled on first sight.
  void Render(const engine::Frame& root, const engine::Camera& camera);

  // The materials Prepare asks about, in the order it asks (each once).
  static std::vector<engine::Material*> TexturedMaterials(const engine::Frame& root);

  // Each material gets a texture of its own even when several name the same file, so
  // ReplaceTexture changes one material only. Call before Prepare.
  void KeepTexturesApart() { shareFiles_ = false; }

  // Loads the first candidate that reads as a bitmap into the material's texture, in
  // place. False (the old picture stays) when none reads or the material has no texture.
  bool ReplaceTexture(engine::Material& material, const std::vector<std::string>& candidates);
  // The same with a picture read ahead (image::ReadMipped): only its upload is left.
  bool ReplaceTexture(engine::Material& material, const image::MippedPicture& picture);

  // What the last Prepare could not load, one line per material, for error reports.
  const std::vector<std::string>& textureProblems() const { return problems_; }

 private:
  TextureId TextureFor(const std::vector<std::string>& candidates);
  void DrawView(const PixelRect& viewport, const engine::Camera& camera, const engine::Matrix4& view);

  GlDevice& device_;
  std::vector<DrawItem> items_;
  DrawOrderScratch order_;
  std::map<std::string, TextureId> byFile_;
  bool shareFiles_ = true;
  std::vector<std::string> problems_;
  const engine::Frame* keyLight_ = nullptr;
};

}  // namespace prismora::gl
