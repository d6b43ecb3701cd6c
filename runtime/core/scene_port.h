// What the animation needs from the 3D engine, in the engine's own terms: frames in a
// hierarchy under one scene frame, free motions advanced by a time delta, an animation
// set driven by time, and a device that clears, renders and presents. The runtime's rules
// (frame-name conventions, the tick) are written against this port so they can be tested
// without a device.
#pragma once
#include <string>
#include <vector>

#include "common/trailer.h"

namespace prismora::runtime {

using trailer::Vec3f;

// An engine frame, opaque to the rules.
using FrameRef = void*;

struct ScenePort {
  virtual ~ScenePort() = default;

  // ---- structure (set-up) ----
  virtual FrameRef SceneFrame() = 0;
  virtual std::vector<FrameRef> Children(FrameRef frame) = 0;
  virtual std::string Name(FrameRef frame) = 0;
  virtual FrameRef CreateFrame(FrameRef parent) = 0;
  // Moves every visual of `from` to `to`.
  virtual void MoveVisuals(FrameRef from, FrameRef to) = 0;
  // Makes the camera frame a child of `parent`, keeping nothing of its old placement.
  virtual void AttachCamera(FrameRef parent) = 0;
  // Camera position and orientation relative to the scene frame.
  virtual void PlaceCamera(Vec3f position, Vec3f direction, Vec3f up) = 0;

  // ---- free motions (tick) ----
  virtual Vec3f PositionInScene(FrameRef frame) = 0;
  // Puts a frame back at the scene origin, standing still.
  virtual void ResetInScene(FrameRef frame) = 0;
  virtual void SetVelocityInScene(FrameRef frame, Vec3f velocity, bool withRotation) = 0;
  // Rotation about `axis` relative to the parent, `rate` radians per time unit.
  virtual void SetRotation(FrameRef frame, Vec3f axis, float rate) = 0;
  // Turns the camera towards `target`, about its x and y axes only.
  virtual void CameraLookAt(FrameRef target) = 0;
  // Advances every velocity and rotation of the scene hierarchy by `delta` time units.
  virtual void MoveScene(float delta) = 0;

  // ---- drawing ----
  virtual void SetAnimationTime(float time) = 0;
  enum class Clear { DepthOnly = 2, ColourAndDepth = 3 };
  virtual void ClearViewport(Clear what) = 0;
  virtual void Render() = 0;
  virtual void Present() = 0;
};

}  // namespace prismora::runtime
