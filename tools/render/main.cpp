// Offline renderer: draws a template scene with a folder of photos into a bitmap file,
// at an animation time or after a number of screen saver ticks, or times frames for the
// render benchmark. See render_options.h for the command line.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/gl/gl_device.h"
#include "engine/gl/scene_renderer.h"
#include "engine/scene/scene.h"
#include "engine/xfile/loader.h"
#include "runtime/core/animation.h"
#include "runtime/core/engine_scene.h"
#include "tools/render/floor_scene.h"
#include "tools/render/render_options.h"

using namespace prismora;

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class OffscreenCanvas final : public runtime::Canvas {
 public:
  OffscreenCanvas(gl::GlDevice& device, gl::SceneRenderer& renderer, uint32_t background)
      : device_(device), renderer_(renderer), background_(background) {}
  void Clear(bool colour) override {
    device_.Clear(colour ? gl::ClearMode::ColourAndDepth : gl::ClearMode::DepthOnly, background_);
  }
  void Render(const engine::Scene& scene) override { renderer_.Render(scene.root, scene.camera); }
  void Present() override { device_.Present(); }

 private:
  gl::GlDevice& device_;
  gl::SceneRenderer& renderer_;
  uint32_t background_;
};

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// Times scene ticks and floor frames alternately, so both see the same load on a
// shared machine; each sample is one frame drawn to completion.
struct FrameTimes {
  double sceneMs, floorMs;
};

template <typename DrawScene, typename DrawFloor>
FrameTimes MedianFrameMs(int frames, gl::GlDevice& device, DrawScene drawScene, DrawFloor drawFloor) {
  for (int i = 0; i < 10; ++i) {  // warm-up: first uses compile and page in
    drawScene();
    drawFloor();
  }
  device.Finish();
  std::vector<double> scene, floor;
  scene.reserve(frames);
  floor.reserve(frames);
  for (int i = 0; i < frames; ++i) {
    double start = NowMs();
    drawScene();
    device.Finish();
    scene.push_back(NowMs() - start);
    start = NowMs();
    drawFloor();
    device.Finish();
    floor.push_back(NowMs() - start);
  }
  return {render::Median(std::move(scene)), render::Median(std::move(floor))};
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "prismora_render: %s\n", why.c_str());
  return 1;
}

// The screen saver's start, over and over: a freshly loaded scene, the frame conventions,
// a random animation start time as the runtime draws it, then a few ticks. A start that
// sorts or draws out of bounds ends the process, which is what the crash test looks for.
int RunStarts(const render::RenderOptions& o, const trailer::Trailer& settings, gl::GlDevice& device,
              const std::vector<uint8_t>& sceneBytes, const std::vector<std::string>& photos) {
  gl::SceneRenderer renderer(device);  // keeps the photo textures from one start to the next
  runtime::Random random(o.seed);
  const int ticks = o.ticks > 0 ? o.ticks : 1;
  for (int start = 0; start < o.starts; ++start) {
    engine::Scene scene;
    scene.camera.frame->setPosition(&scene.root, {0, 0, -200});
    scene.camera.back = 6000.0f;
    const auto loaded = engine::xfile::loadXFile(sceneBytes, scene.root, scene.animation);
    if (!loaded.ok()) return Fail(o.scene + ": " + loaded.error);
    render::PhotoCycle cycle(photos);
    renderer.Prepare(scene.root, [&](std::string_view) { return cycle.Next(); });
    scene.background = settings.backgroundColor3D();
    OffscreenCanvas canvas(device, renderer, scene.background);
    runtime::EngineScene port(scene, canvas);
    port.PlaceCamera(settings.cameraPosition(), settings.cameraDirection(), settings.cameraUp());
    canvas.Clear(true);
    runtime::Animation anim = runtime::AnimationFromSettings(settings);
    runtime::ApplyFrameConventions(port, settings, anim);
    anim.time = runtime::RandomStartTime(random, settings.animEnd());
    for (int i = 0; i < ticks; ++i) runtime::Tick(port, anim, random);
  }
  if (!image::SaveBmpFile(o.output, device.ReadPixels())) return Fail("cannot write " + o.output);
  std::printf("starts %d\n", o.starts);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const render::ParsedOptions parsed = render::ParseRenderOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::fprintf(stderr,
                 "prismora_render: %s\nusage: prismora_render SCENE.x PHOTO_FOLDER OUT.bmp [--block FILE] "
                 "[--size WxH] [--time T] [--ticks N] [--seed S] [--bench N] [--starts N]\n",
                 parsed.error.c_str());
    return 2;
  }
  const render::RenderOptions& o = parsed.options;

  trailer::Trailer settings;
  {
    trailer::TemplateBlockFields defaults;
    defaults.cameraPosition = {0, 0, -200};
    trailer::TemplateBlock block = trailer::makeTemplateBlock(defaults);
    if (!o.block.empty()) {
      const std::vector<uint8_t> bytes = ReadFile(o.block);
      if (bytes.size() != block.size()) return Fail(o.block + ": a template block has 204 bytes");
      std::copy(bytes.begin(), bytes.end(), block.begin());
    }
    std::copy(block.begin(), block.end(), settings.display.begin());
  }

  const std::vector<std::string> photos = render::ListBitmaps(o.photoFolder);
  if (photos.empty()) return Fail("no .bmp photos in " + o.photoFolder);

  std::string error;
  auto device = gl::GlDevice::Offscreen(o.width, o.height, &error);
  if (!device) return Fail(error);

  engine::Scene scene;
  scene.camera.frame->setPosition(&scene.root, {0, 0, -200});
  scene.camera.back = 6000.0f;
  const std::vector<uint8_t> sceneBytes = ReadFile(o.scene);
  if (sceneBytes.empty()) return Fail("cannot read " + o.scene);
  if (o.starts > 0) return RunStarts(o, settings, *device, sceneBytes, photos);
  const auto loaded = engine::xfile::loadXFile(sceneBytes, scene.root, scene.animation);
  if (!loaded.ok()) return Fail(o.scene + ": " + loaded.error);

  gl::SceneRenderer renderer(*device);
  render::PhotoCycle cycle(photos);
  renderer.Prepare(scene.root, [&](std::string_view) { return cycle.Next(); });
  for (const std::string& problem : renderer.textureProblems()) std::fprintf(stderr, "texture: %s\n", problem.c_str());

  scene.background = settings.backgroundColor3D();
  OffscreenCanvas canvas(*device, renderer, scene.background);
  runtime::EngineScene port(scene, canvas);
  port.PlaceCamera(settings.cameraPosition(), settings.cameraDirection(), settings.cameraUp());
  canvas.Clear(true);
  runtime::Animation anim = runtime::AnimationFromSettings(settings);
  runtime::ApplyFrameConventions(port, settings, anim);
  runtime::Random random(o.seed);
  anim.time = o.time.value_or(0.0f);

  if (o.benchFrames > 0) {
    // The floor frame: clear colour and depth, one full-view quad with a photo.
    engine::Scene floor;
    floor.root.createChild("floor").addVisual(
        render::FullViewQuad(floor.camera, device->width(), device->height(), 100.0f, "floor"));
    gl::SceneRenderer floorRenderer(*device);
    floorRenderer.Prepare(floor.root, [&](std::string_view) { return std::vector<std::string>{photos.front()}; });
    const FrameTimes t = MedianFrameMs(
        o.benchFrames, *device, [&] { runtime::Tick(port, anim, random); },
        [&] {
          device->Clear(gl::ClearMode::ColourAndDepth, 0xFF000000);
          floorRenderer.Render(floor.root, floor.camera);
          device->Present();
        });
    std::printf("frame_ms %.2f floor_ms %.2f\n", t.sceneMs, t.floorMs);
    return 0;
  }
  if (o.ticks > 0) {
    for (int i = 0; i < o.ticks; ++i) runtime::Tick(port, anim, random);
  } else {
    if (anim.lookAt && anim.lookAtTarget) port.CameraLookAt(anim.lookAtTarget);
    port.SetAnimationTime(anim.time);
    canvas.Clear(true);
    canvas.Render(scene);
    canvas.Present();
  }
  if (!image::SaveBmpFile(o.output, device->ReadPixels())) return Fail("cannot write " + o.output);
  return 0;
}
