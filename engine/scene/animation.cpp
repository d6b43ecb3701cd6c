#include "engine/scene/animation.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "engine/scene/frame.h"

namespace prismora::engine {

namespace {

// Index i of the segment [keys[i], keys[i+1]] holding `time` and the blend factor;
// times outside the range clamp to the end keys (a NaN time takes the first key).
template <typename T>
bool segment(const std::vector<Key<T>>& keys, float time, std::size_t& i, float& f) {
  if (!(time > keys.front().time)) {
    i = 0;
    f = 0;
    return false;
  }
  if (time >= keys.back().time) {
    i = keys.size() - 1;
    f = 0;
    return false;
  }
  auto it = std::upper_bound(keys.begin(), keys.end(), time,
                             [](float t, const Key<T>& k) { return t < k.time; });
  i = static_cast<std::size_t>(it - keys.begin()) - 1;
  float span = keys[i + 1].time - keys[i].time;
  f = span > 0 ? (time - keys[i].time) / span : 0;
  return true;
}

}  // namespace

Quaternion sampleRotation(const std::vector<Key<Quaternion>>& keys, float time,
                          const Quaternion& fallback) {
  if (keys.empty()) return fallback;
  std::size_t i;
  float f;
  if (!segment(keys, time, i, f)) return keys[i].value;
  return slerp(keys[i].value, keys[i + 1].value, f);
}

Vec3 sampleVector(const std::vector<Key<Vec3>>& keys, float time, const Vec3& fallback) {
  if (keys.empty()) return fallback;
  std::size_t i;
  float f;
  if (!segment(keys, time, i, f)) return keys[i].value;
  return lerp(keys[i].value, keys[i + 1].value, f);
}

Matrix4 sampleMatrix(const std::vector<Key<Matrix4>>& keys, float time,
                     const Matrix4& fallback) {
  if (keys.empty()) return fallback;
  std::size_t i;
  float f;
  if (!segment(keys, time, i, f)) return keys[i].value;
  Matrix4 r;
  for (int a = 0; a < 4; ++a)
    for (int b = 0; b < 4; ++b)
      r.m[a][b] = keys[i].value.m[a][b] + (keys[i + 1].value.m[a][b] - keys[i].value.m[a][b]) * f;
  return r;
}

BindCount AnimationSet::bindCounted(Frame& root) {
  BindCount count;
  // One walk builds the name map; a search per animation would cost frames times
  // animations, hours for a file of a few hundred thousand of each. The walk keeps its
  // own stack so a deep tree cannot exhaust the thread's.
  std::unordered_map<std::string_view, Frame*> byName;
  std::vector<Frame*> pending{&root};
  while (!pending.empty()) {
    Frame* f = pending.back();
    pending.pop_back();
    ++count.framesVisited;
    byName.try_emplace(f->name(), f);
    for (std::size_t i = f->childCount(); i-- > 0;) pending.push_back(&f->child(i));
  }
  for (Animation& a : animations) {
    a.frame = nullptr;
    if (a.frameName.empty()) continue;
    auto it = byName.find(a.frameName);
    if (it == byName.end()) continue;
    a.frame = it->second;
    const Matrix4& local = a.frame->localMatrix();
    a.baseScale = scaleOf(local);
    a.baseRotation = rotationOf(local);
    a.basePosition = local.translationPart();
    ++count.bound;
  }
  return count;
}

void AnimationSet::setTime(float time) const {
  for (const Animation& a : animations) {
    if (!a.frame) continue;
    if (!a.matrixKeys.empty()) {
      a.frame->setLocalMatrix(sampleMatrix(a.matrixKeys, time, a.frame->localMatrix()));
      continue;
    }
    if (a.rotationKeys.empty() && a.scaleKeys.empty() && a.positionKeys.empty()) continue;
    Vec3 s = sampleVector(a.scaleKeys, time, a.baseScale);
    Quaternion r = sampleRotation(a.rotationKeys, time, a.baseRotation);
    Vec3 p = sampleVector(a.positionKeys, time, a.basePosition);
    Matrix4 m = Matrix4::scaling(s) * Matrix4::rotation(r);
    m.setRow(3, p);
    a.frame->setLocalMatrix(m);
  }
}

}  // namespace prismora::engine
