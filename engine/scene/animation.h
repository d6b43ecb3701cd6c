// Keyframe animation of frames, as .x AnimationSets describe it. Each animation drives
// one frame, found by name when the set is bound; times are the file's integers and the
// runtime clock's unit. Rotation keys are slerped, scale and position keys lerped,
// matrix keys lerped element-wise; a time outside the keys' range takes the nearest
// end key (the clock wraps itself, so the set never loops on its own).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "engine/scene/math.h"

namespace prismora::engine {

class Frame;

template <typename T>
struct Key {
  float time = 0;
  T value{};
};

struct Animation {
  std::string name;
  std::string frameName;               // the frame this animation drives
  std::vector<Key<Quaternion>> rotationKeys;
  std::vector<Key<Vec3>> scaleKeys;
  std::vector<Key<Vec3>> positionKeys;
  std::vector<Key<Matrix4>> matrixKeys;  // when present they replace the other three
  bool closed = true;                  // AnimationOptions, kept for completeness
  bool splinePositions = false;        // drawn linearly all the same

  Frame* frame = nullptr;              // set by AnimationSet::bind
  // Parts the keys do not cover keep the frame's placement at bind time.
  Vec3 baseScale{1, 1, 1};
  Quaternion baseRotation;
  Vec3 basePosition;
};

// What binding did: how many animations found their frame, and how many frames were
// looked at to find them (the tree is walked once, whatever the number of animations).
struct BindCount {
  int bound = 0;
  std::size_t framesVisited = 0;
};

class AnimationSet {
 public:
  std::string name;
  std::vector<Animation> animations;

  // Finds each animation's frame by name below (and including) `root`, as a depth-first
  // search would (the first frame of a name in that order wins); animations whose frame
  // is missing stay unbound and do nothing. Returns how many were bound.
  int bind(Frame& root) { return bindCounted(root).bound; }
  BindCount bindCounted(Frame& root);
  // Sets every bound frame's local transform to the keys' value at `time`.
  // Allocates nothing.
  void setTime(float time) const;
};

// Interpolation helpers, exposed for tests and tools. Keys must be sorted by time;
// an empty list returns `fallback`.
Quaternion sampleRotation(const std::vector<Key<Quaternion>>& keys, float time,
                          const Quaternion& fallback);
Vec3 sampleVector(const std::vector<Key<Vec3>>& keys, float time, const Vec3& fallback);
Matrix4 sampleMatrix(const std::vector<Key<Matrix4>>& keys, float time,
                     const Matrix4& fallback);

}  // namespace prismora::engine
