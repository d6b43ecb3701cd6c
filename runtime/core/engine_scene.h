// The animation's scene port on our retained-mode engine: frames, motions and the
// animation set come from engine::Scene; clearing, rendering and presenting go to the
// device that draws it.
#pragma once
#include "engine/scene/scene.h"
#include "runtime/core/scene_port.h"

namespace prismora::runtime {

// The drawing half: what a device offers for the current window.
struct Canvas {
  virtual ~Canvas() = default;
  virtual void Clear(bool colour) = 0;  // depth always; colour when asked
  virtual void Render(const engine::Scene& scene) = 0;
  virtual void Present() = 0;
};

class EngineScene final : public ScenePort {
 public:
  EngineScene(engine::Scene& scene, Canvas& canvas) : scene_(scene), canvas_(canvas) {}

  FrameRef SceneFrame() override { return &scene_.root; }
  std::vector<FrameRef> Children(FrameRef frame) override;
  std::string Name(FrameRef frame) override { return F(frame).name(); }
  FrameRef CreateFrame(FrameRef parent) override { return &F(parent).createChild(); }
  void MoveVisuals(FrameRef from, FrameRef to) override { F(from).moveVisualsTo(F(to)); }
  void AttachCamera(FrameRef parent) override;
  void PlaceCamera(Vec3f position, Vec3f direction, Vec3f up) override;

  Vec3f PositionInScene(FrameRef frame) override;
  void ResetInScene(FrameRef frame) override;
  void SetVelocityInScene(FrameRef frame, Vec3f velocity, bool withRotation) override;
  void SetRotation(FrameRef frame, Vec3f axis, float rate) override;
  void CameraLookAt(FrameRef target) override;
  void MoveScene(float delta) override { scene_.root.move(delta); }

  void SetAnimationTime(float time) override { scene_.animation.setTime(time); }
  void ClearViewport(Clear what) override { canvas_.Clear(what == Clear::ColourAndDepth); }
  void Render() override { canvas_.Render(scene_); }
  void Present() override { canvas_.Present(); }

 private:
  static engine::Frame& F(FrameRef r) { return *static_cast<engine::Frame*>(r); }
  engine::Scene& scene_;
  Canvas& canvas_;
};

}  // namespace prismora::runtime
