// The 3D objects of one screen saver window: the OpenGL device on the window, the scene
// model with the template's scene, the renderer, and the animation port over them.
#pragma once
#include <windows.h>

#include <future>
#include <memory>

#include "common/trailer.h"
#include "engine/gl/gl_device.h"
#include "engine/gl/scene_renderer.h"
#include "engine/scene/scene.h"
#include "platform/seams.h"
#include "runtime/core/animation.h"
#include "runtime/core/engine_scene.h"
#include "runtime/core/photo_change.h"
#include "runtime/core/photo_paths.h"
#include "runtime/core/random.h"

namespace prismora::runtime {

// Resource of the template's scene file.
inline constexpr int kSceneResourceId = 1001;

class GlCanvas final : public Canvas {
 public:
  GlCanvas(gl::GlDevice& device, gl::SceneRenderer& renderer, const uint32_t& background)
      : device_(device), renderer_(renderer), background_(background) {}
  void Clear(bool colour) override;
  void Render(const engine::Scene& scene) override;
  void Present() override;

 private:
  gl::GlDevice& device_;
  gl::SceneRenderer& renderer_;
  const uint32_t& background_;
};

struct Stage {
  std::unique_ptr<gl::GlDevice> device;
  engine::Scene scene;
  std::unique_ptr<gl::SceneRenderer> renderer;
  std::unique_ptr<GlCanvas> canvas;
  std::unique_ptr<EngineScene> port;
  // The photo textures in the order the renderer asked for them, and what changes them
  // while the saver runs (never when the interval is 0).
  std::vector<engine::Material*> photoSlots;
  std::vector<Facing> photoFacing;  // each tick's counts, storage kept between ticks
  std::unique_ptr<PhotoChanger> photos;
  PhotoSource photoSource;
  // The next change's photo, read and reduced to its mip levels on a thread of its own
  // while frames go on: a change then costs the tick only the upload. The textures up
  // plus this one are all the photos held.
  std::future<image::MippedPicture> readAhead;

  // False once the window the device draws into has gone.
  bool alive() const { return device && device->alive(); }
};

// Builds everything on a device made for the window, in the set-up order: scene frame
// and camera, the scene from the program's resource with photo textures, background,
// camera placement, a first clear, then the frame-name conventions. Null when any step
// fails; a scene that cannot be loaded is reported with the "AnimSets->Load" box first.
std::unique_ptr<Stage> SetUpStage(std::unique_ptr<gl::GlDevice> device, HWND window,
                                  const trailer::Trailer& settings, Random& random, Animation& animation,
                                  platform::MessageBoxes& boxes);

// Once per tick, before drawing: when a photo change is due, a photo texture is turned
// away from the camera and the next photo of the deck has been read ahead, the texture
// takes it. `nowMs` is the tick count.
void ChangePhotos(Stage& stage, uint32_t nowMs);

// The system folder as the platform reports it.
std::string SystemFolder();

}  // namespace prismora::runtime
