#include "runtime/core/animation.h"

#include <algorithm>
#include <cmath>

namespace prismora::runtime {
namespace {

constexpr std::size_t kFlagSpin = 5, kFlagDrift = 6, kFlagCamera = 7, kFlagLookAt = 8,
                      kFlagTarget = 9;
// Names are read into a 255-byte buffer: longer names are cut to 254 characters.
constexpr std::size_t kNameLimit = 254;

bool At(std::string_view name, std::size_t pos, char c) { return pos < name.size() && name[pos] == c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

void Append(std::vector<FrameRef>& list, FrameRef frame) {
  if (list.size() < kMotionListCapacity) list.push_back(frame);
}

// Steps shared by every flagged frame F (the sub-frame, or the frame itself).
void ApplyCameraAndTarget(ScenePort& scene, const trailer::Trailer& settings, Animation& anim,
                          const FrameFlags& flags, FrameRef f) {
  if (flags.cameraRig) {
    scene.AttachCamera(f);
    scene.PlaceCamera(settings.cameraPosition(), settings.cameraDirection(), settings.cameraUp());
  }
  if (flags.lookAt) anim.lookAt = true;
  if (flags.target) {
    anim.lookAtTarget = scene.CreateFrame(f);
    anim.lookAt = true;
  }
}

int Centered(int draw, int modulus) { return draw % modulus - modulus / 2; }

void DriftFrames(ScenePort& scene, Animation& anim, Random& random) {
  for (FrameRef f : anim.driftFrames) {
    if (random.Next() % 1000 > 990) {
      int d1 = random.Next(), d2 = random.Next(), d3 = random.Next();
      scene.SetVelocityInScene(f, {float(Centered(d3, 20)), float(Centered(d2, 20)), float(Centered(d1, 20))},
                               true);
    }
    Vec3f p = scene.PositionInScene(f);
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
      // A pull-back towards a position that is not a number would make the velocity
      // NaN too and the part would never come back: start it again at the origin.
      scene.ResetInScene(f);
    } else if (!InsideDriftBox(p)) {
      scene.SetVelocityInScene(f, {-0.1f * p.x, -0.1f * p.y, -0.1f * p.z}, true);
    }
  }
}

void SpinFrames(ScenePort& scene, Animation& anim, Random& random) {
  for (FrameRef f : anim.spinFrames) {
    if (random.Next() % 10000 > 9950) {
      int d1 = random.Next(), d2 = random.Next(), d3 = random.Next();
      Vec3f axis{float(Centered(d3, 100)), float(Centered(d2, 100)), float(Centered(d1, 100))};
      // A zero axis has no direction; the engine would turn it into NaN. Keep spinning.
      if (axis.x != 0 || axis.y != 0 || axis.z != 0) scene.SetRotation(f, axis, 0.2f);
    }
  }
}

void Draw(ScenePort& scene, Animation& anim) {
  const float t = anim.time, s = anim.step;
  scene.MoveScene(s);
  scene.SetAnimationTime(t);
  scene.ClearViewport(anim.clear);
  if (!anim.trails) {
    scene.Render();
    scene.Present();
    return;
  }
  for (int32_t n = anim.trailCount; n >= 1; --n) {
    scene.MoveScene(s);
    scene.SetAnimationTime(t - float(n) * s);
    scene.Render();
  }
  scene.ClearViewport(ScenePort::Clear::DepthOnly);
  scene.Render();
  scene.Present();
}

}  // namespace

FrameFlags ParseFrameName(std::string_view name) {
  name = name.substr(0, std::min(name.size(), kNameLimit));
  FrameFlags f;
  f.spin = At(name, kFlagSpin, 'f');
  f.drift = At(name, kFlagDrift, 'f');
  f.cameraRig = At(name, kFlagCamera, 'v');
  f.lookAt = At(name, kFlagLookAt, 't');
  f.target = At(name, kFlagTarget, 't');
  f.rotCube = EqualsIgnoringCase(name, "x3ds_fr_rot_cub");
  return f;
}

Animation AnimationFromSettings(const trailer::Trailer& settings) {
  Animation a;
  a.animEnd = settings.animEnd();
  a.animLoopStart = settings.animLoopStart();
  a.step = settings.speedPerTick();
  a.clear = settings.eraseFlag() ? ScenePort::Clear::ColourAndDepth : ScenePort::Clear::DepthOnly;
  a.trails = settings.trailsFlag();
  a.trailCount = std::min(settings.trailCount(), kMaxTrailCount);
  return a;
}

float RandomStartTime(Random& random, uint32_t animEnd) {
  uint32_t r = uint32_t(random.Next());
  return animEnd == 0 ? 0.0f : float(r % animEnd);
}

void ApplyFrameConventions(ScenePort& scene, const trailer::Trailer& settings, Animation& anim) {
  FrameRef root = scene.SceneFrame();
  for (FrameRef child : scene.Children(root)) {
    FrameFlags flags = ParseFrameName(scene.Name(child));
    if (flags.rotCube) {
      anim.lookAtTarget = scene.CreateFrame(child);
      anim.lookAt = true;
    }
    FrameRef f = child;
    if (flags.spin || flags.drift) {
      f = scene.CreateFrame(child);
      scene.MoveVisuals(child, f);
      if (flags.spin) Append(anim.spinFrames, f);
      if (flags.drift) Append(anim.driftFrames, f);
    }
    ApplyCameraAndTarget(scene, settings, anim, flags, f);
  }
  if (anim.lookAt && anim.lookAtTarget == nullptr) anim.lookAtTarget = scene.CreateFrame(root);
}

bool InsideDriftBox(Vec3f p) {
  // Written as "inside" so that NaN, which fails every comparison, counts as outside.
  return p.x <= 250 && p.x >= -250 && p.y <= 250 && p.y >= -10 && p.z <= 250 && p.z >= -250;
}

void Tick(ScenePort& scene, Animation& anim, Random& random) {
  DriftFrames(scene, anim, random);
  SpinFrames(scene, anim, random);
  if (anim.lookAt && anim.lookAtTarget) scene.CameraLookAt(anim.lookAtTarget);
  Draw(scene, anim);
  if (float(anim.animEnd) < anim.time) anim.time = float(anim.animLoopStart);
  anim.time += anim.step;
}

}  // namespace prismora::runtime
