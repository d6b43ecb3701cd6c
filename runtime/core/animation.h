// The screen saver's animation rules over the engine port: the frame-name conventions
// that a scene designer uses to make parts spin, drift, carry the camera or be looked at,
// and the tick that runs once per timer message.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/trailer.h"
#include "runtime/core/random.h"
#include "runtime/core/scene_port.h"

namespace prismora::runtime {

// Flags read from a top-level frame's name. Positions 0..4 are a prefix nobody tests.
struct FrameFlags {
  bool spin = false;       // "f" at 5
  bool drift = false;      // "f" at 6
  bool cameraRig = false;  // "v" at 7
  bool lookAt = false;     // "t" at 8
  bool target = false;     // "t" at 9
  bool rotCube = false;    // whole name "x3ds_fr_rot_cub", any case
};
FrameFlags ParseFrameName(std::string_view name);

// Room of each motion list; frames beyond it keep their sub-frame but stay still.
inline constexpr std::size_t kMotionListCapacity = 100;
// Earlier steps drawn per frame with trails on. A registry copy can hold any count; a
// larger one would make a single tick run for minutes.
inline constexpr int32_t kMaxTrailCount = 100;

struct Animation {
  // Settings, fixed for the run.
  uint32_t animEnd = 1;
  uint32_t animLoopStart = 0;
  float step = 0;  // clock advance per tick
  ScenePort::Clear clear = ScenePort::Clear::ColourAndDepth;
  bool trails = false;
  int32_t trailCount = 0;

  // State.
  float time = 0;
  bool lookAt = false;
  FrameRef lookAtTarget = nullptr;
  std::vector<FrameRef> spinFrames, driftFrames;
};

// The settings part of an Animation, from the display block.
Animation AnimationFromSettings(const trailer::Trailer& settings);

// A random point of the animation: a draw modulo AnimEnd (0 when AnimEnd is 0).
float RandomStartTime(Random& random, uint32_t animEnd);

// Walks the scene frame's children once, after the scene is loaded and the camera placed.
void ApplyFrameConventions(ScenePort& scene, const trailer::Trailer& settings, Animation& anim);

// One timer message: random motions, drawing at the current time, clock advance.
void Tick(ScenePort& scene, Animation& anim, Random& random);

// The drift box around the scene origin; a position that is not a number lies outside.
bool InsideDriftBox(Vec3f p);

}  // namespace prismora::runtime
