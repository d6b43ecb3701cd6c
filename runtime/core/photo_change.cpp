#include "runtime/core/photo_change.h"

#include <algorithm>

namespace prismora::runtime {
namespace {

using engine::Matrix4;
using engine::Vec3;

Vec3 Sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct Viewer {
  Vec3 eye;
  Matrix4 view;
  engine::FrustumPlane frustum;
  std::span<engine::Material* const> materials;
  std::vector<Facing>* out;
};

void CountMesh(const engine::Mesh& mesh, const Matrix4& world, const Viewer& v) {
  for (const engine::MeshGroup& g : mesh.groups) {
    auto it = std::find(v.materials.begin(), v.materials.end(), g.material.get());
    if (it == v.materials.end()) continue;
    Facing& f = (*v.out)[std::size_t(it - v.materials.begin())];
    for (std::size_t i = 0; i + 2 < g.indices.size(); i += 3) {
      if (g.indices[i] >= g.vertices.size() || g.indices[i + 1] >= g.vertices.size() ||
          g.indices[i + 2] >= g.vertices.size())
        continue;  // the device drops such triangles too
      Vec3 p[3];
      // The corners in front of the camera, projected onto its front plane: the face
      // reaches into the view when their bounds overlap the view's.
      float left = 1e30f, right = -1e30f, bottom = 1e30f, top = -1e30f;
      bool inFront = false;
      for (int k = 0; k < 3; ++k) {
        p[k] = engine::transformPoint(g.vertices[g.indices[i + k]].position, world);
        const Vec3 e = engine::transformPoint(p[k], v.view);
        if (!(e.z > v.frustum.front)) continue;
        inFront = true;
        const float x = e.x / e.z * v.frustum.front, y = e.y / e.z * v.frustum.front;
        left = std::min(left, x), right = std::max(right, x);
        bottom = std::min(bottom, y), top = std::max(top, y);
      }
      ++f.total;
      const bool inView = inFront && right >= v.frustum.left && left <= v.frustum.right &&
                          top >= v.frustum.bottom && bottom <= v.frustum.top;
      // Clockwise seen from the front: the left-handed normal points at a viewer in front.
      const Vec3 normal = Cross(Sub(p[1], p[0]), Sub(p[2], p[0]));
      if (inView && Dot(normal, Sub(v.eye, p[0])) > 0) ++f.seen;
    }
  }
}

void Walk(const engine::Frame& frame, const Matrix4& parentWorld, const Viewer& v) {
  const Matrix4 world = frame.localMatrix() * parentWorld;
  for (const auto& mesh : frame.visuals())
    if (mesh) CountMesh(*mesh, world, v);
  for (const auto& child : frame.children()) Walk(*child, world, v);
}

}  // namespace

std::vector<Facing> CountFacing(const engine::Frame& root, const engine::Camera& camera,
                                std::span<engine::Material* const> materials, int width, int height) {
  std::vector<Facing> out;
  CountFacing(root, camera, materials, width, height, out);
  return out;
}

void CountFacing(const engine::Frame& root, const engine::Camera& camera,
                 std::span<engine::Material* const> materials, int width, int height, std::vector<Facing>& out) {
  out.assign(materials.size(), Facing{});
  if (!camera.frame) return;
  Viewer v{camera.frame->position(nullptr), camera.viewMatrix(), camera.frustum(width, height), materials, &out};
  Matrix4 above = root.parent() ? root.parent()->worldMatrix() : Matrix4::identity();
  Walk(root, above, v);
}

std::optional<std::size_t> ChooseSlotToChange(std::span<const PhotoSlot> slots,
                                              std::span<const Facing> facing, uint32_t nowMs,
                                              bool anyway) {
  auto seenShare = [&](std::size_t i) {
    const Facing f = i < facing.size() ? facing[i] : Facing{};
    return f.total == 0 ? 0.0 : double(f.seen) / double(f.total);
  };
  const bool anySeen = std::any_of(slots.begin(), slots.end(), [](const PhotoSlot& s) { return s.seen; });
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (anySeen && !slots[i].seen) continue;
    const double share = seenShare(i);
    if (share > 0 && !anyway) continue;
    if (!best) {
      best = i;
      continue;
    }
    const double bestShare = seenShare(*best);
    const uint32_t age = nowMs - slots[i].shownSinceMs, bestAge = nowMs - slots[*best].shownSinceMs;
    if (share < bestShare || (share == bestShare && age > bestAge)) best = i;
  }
  return best;
}

PhotoChanger::PhotoChanger(int32_t intervalSeconds, int photoCount, std::size_t slotCount, Random& random)
    : intervalMs_(intervalSeconds > 0 ? uint32_t(intervalSeconds) * 1000u : 0),
      slotCount_(slotCount) {
  if (intervalMs_ > 0) deck_.emplace(photoCount, random);
}

int PhotoChanger::DealFirst() {
  int photo = deck_ ? deck_->Next(onScreen_) : 0;
  onScreen_.push_back(photo);
  slots_.push_back({photo, 0});
  return photo;
}

int PhotoChanger::Upcoming() {
  // Drawn while the photos now up are on screen; none of them can come back up before
  // this one has, since only a change puts a photo up and it takes this one.
  if (!upcoming_) upcoming_ = deck_ ? deck_->Next(onScreen_) : 0;
  return *upcoming_;
}

void PhotoChanger::Start(uint32_t nowMs) {
  for (PhotoSlot& s : slots_) s.shownSinceMs = nowMs;
  observedMs_ = nowMs;
  dueMs_ = nowMs + intervalMs_;
}

bool PhotoChanger::Due(uint32_t nowMs) const {
  // Differences, not comparisons, so the tick count may wrap round.
  return changing() && !slots_.empty() && int32_t(nowMs - dueMs_) >= 0;
}

void PhotoChanger::Observe(uint32_t nowMs, std::span<const Facing> facing) {
  // A stall (the machine asleep, a debugger) counts as one short step, not as minutes.
  const uint32_t step = std::min(nowMs - observedMs_, uint32_t(250));
  observedMs_ = nowMs;
  for (std::size_t i = 0; i < slots_.size() && i < facing.size(); ++i) {
    if (facing[i].seen == 0) continue;
    PhotoSlot& s = slots_[i];
    s.inSightMs = std::min(s.inSightMs + step, intervalMs_);
    if (s.inSightMs >= intervalMs_) s.seen = true;
  }
}

std::optional<PhotoChange> PhotoChanger::Change(uint32_t nowMs, std::span<const Facing> facing) {
  Observe(nowMs, facing);
  if (!Due(nowMs)) return std::nullopt;
  const bool anyway = int32_t(nowMs - dueMs_) >= int32_t(2 * intervalMs_);
  std::optional<std::size_t> slot = ChooseSlotToChange(slots_, facing, nowMs, anyway);
  if (!slot) return std::nullopt;
  const int photo = Upcoming();
  upcoming_.reset();
  onScreen_[*slot] = photo;
  slots_[*slot] = {photo, nowMs, false, 0};
  dueMs_ = nowMs + intervalMs_;
  return PhotoChange{*slot, photo};
}

}  // namespace prismora::runtime
