#include "runtime/win/stage.h"

#include <chrono>
#include <new>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "engine/xfile/loader.h"
#include "runtime/core/photo_paths.h"
#include "runtime/win/settings_store.h"

namespace prismora::runtime {
namespace {

std::span<const uint8_t> SceneResource() {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(kSceneResourceId), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(self, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const uint8_t*>(bytes), SizeofResource(self, found)};
}

}  // namespace

std::string SystemFolder() {
  char folder[MAX_PATH + 1] = {};
  UINT n = GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder, n <= MAX_PATH ? n : 0);
}

void GlCanvas::Clear(bool colour) {
  device_.Clear(colour ? gl::ClearMode::ColourAndDepth : gl::ClearMode::DepthOnly, background_);
}
void GlCanvas::Render(const engine::Scene& scene) { renderer_.Render(scene.root, scene.camera); }
void GlCanvas::Present() { device_.Present(); }

std::unique_ptr<Stage> SetUpStage(std::unique_ptr<gl::GlDevice> device, HWND window,
                                  const trailer::Trailer& settings, Random& random, Animation& animation,
                                  platform::MessageBoxes& boxes) {
  if (!device) return nullptr;
  auto stage = std::make_unique<Stage>();
  stage->device = std::move(device);
  engine::Scene& scene = stage->scene;

  // The camera starts behind the origin until the settings place it.
  scene.camera.frame->setPosition(&scene.root, {0, 0, -200});
  scene.camera.back = 6000.0f;

  std::span<const uint8_t> sceneFile = SceneResource();
  if (sceneFile.empty() || !engine::xfile::loadXFile(sceneFile, scene.root, scene.animation).ok()) {
    boxes.Show(window, "AnimSets->Load", "Error", platform::BoxIcon::Error);
    return nullptr;
  }

  // Every texture the scene names gets a photo drawn at random, photo 0 if that fails;
  // with a photo change interval each gets the next photo of a shuffled deck instead.
  const std::string systemFolder = SystemFolder(), program = OwnProgramPath();
  stage->renderer = std::make_unique<gl::SceneRenderer>(*stage->device);
  stage->photoSlots = gl::SceneRenderer::TexturedMaterials(scene.root);
  stage->photoSource = PhotoSourceFor({systemFolder, FolderOfProgram(program)}, settings);
  stage->photos = std::make_unique<PhotoChanger>(settings.photoChangeSeconds(), settings.photoCount(),
                                                 stage->photoSlots.size(), random);
  if (stage->photos->dealing()) {
    // Changing one texture must not change another that happened to show the same file.
    stage->renderer->KeepTexturesApart();
    stage->renderer->Prepare(scene.root, [&](std::string_view) {
      return std::vector<std::string>{PhotoPath(stage->photoSource, stage->photos->DealFirst()),
                                      PhotoPath(stage->photoSource, 0)};
    });
    stage->photos->Start(GetTickCount());
  } else {
    stage->renderer->Prepare(scene.root, [&](std::string_view) {
      TextureChoice choice = ChooseTexture(stage->photoSource, settings, random);
      return std::vector<std::string>{choice.path, choice.fallback};
    });
  }

  scene.background = settings.backgroundColor3D();
  stage->canvas = std::make_unique<GlCanvas>(*stage->device, *stage->renderer, scene.background);
  stage->port = std::make_unique<EngineScene>(scene, *stage->canvas);
  stage->port->PlaceCamera(settings.cameraPosition(), settings.cameraDirection(), settings.cameraUp());

  stage->canvas->Clear(true);
  stage->canvas->Present();

  ApplyFrameConventions(*stage->port, settings, animation);
  return stage;
}

void ChangePhotos(Stage& stage, uint32_t nowMs) {
  // Which photos have been in sight is followed on every tick, not only when one is due.
  if (!stage.photos || !stage.renderer || !stage.photos->changing()) return;
  CountFacing(stage.scene.root, stage.scene.camera, stage.photoSlots, stage.device->width(), stage.device->height(),
              stage.photoFacing);
  if (!stage.readAhead.valid()) {
    std::vector<std::string> candidates{PhotoPath(stage.photoSource, stage.photos->Upcoming()),
                                        PhotoPath(stage.photoSource, 0)};
    try {
      stage.readAhead = std::async(std::launch::async, image::ReadMipped, candidates);
    } catch (const std::system_error&) {
      // No thread to be had: the photo is read on this one when the change comes.
      stage.readAhead = std::async(std::launch::deferred, image::ReadMipped, candidates);
    }
  }
  // Until the photo is read the change waits (its slot keeps what it shows): a tick
  // never waits for the disk.
  if (stage.readAhead.wait_for(std::chrono::seconds(0)) == std::future_status::timeout) {
    stage.photos->Observe(nowMs, stage.photoFacing);
    return;
  }
  if (auto change = stage.photos->Change(nowMs, stage.photoFacing)) {
    // A photo that reads as neither itself nor photo 0, or that memory does not hold,
    // leaves the old picture up.
    try {
      const image::MippedPicture picture = stage.readAhead.get();
      if (picture.ok()) stage.renderer->ReplaceTexture(*stage.photoSlots[change->slot], picture);
    } catch (const std::bad_alloc&) {
    }
  }
}

}  // namespace prismora::runtime
