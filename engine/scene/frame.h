// A node of the retained-mode scene: a local transform relative to its parent,
// child frames, visuals (meshes) and free motion (a linear velocity and a rotation)
// that Move advances by a time delta.
//
// "reference" parameters name the frame whose coordinate system a value is expressed
// in; nullptr means world space (the space of the root frame's parent, i.e. of the
// scene root when the root itself sits at the identity, as it always does here).
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/scene/math.h"
#include "engine/scene/mesh.h"

namespace prismora::engine {

// The classic engine's LookAt constraint values. XYOnly (0) turns the frame only
// about its own x and y axes: its z axis points at the target and it has no roll
// against its parent (its x axis stays in the parent's x-z plane), so a camera keeps
// the roll its rig gives it and never drifts into a tilt however long it turns.
enum class LookAtConstraint : int { XYOnly = 0 };

struct Orientation {
  Vec3 direction{0, 0, 1};  // the frame's z axis
  Vec3 up{0, 1, 0};         // the frame's y axis
};

class Frame {
 public:
  explicit Frame(std::string name = {});
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  // ---- hierarchy --------------------------------------------------------------
  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  Frame* parent() const { return parent_; }
  // Children in the order they were added; owned by this frame.
  const std::vector<std::unique_ptr<Frame>>& children() const { return children_; }
  std::size_t childCount() const { return children_.size(); }
  Frame& child(std::size_t i) const { return *children_[i]; }

  // New child at the identity transform, at the end of the children.
  Frame& createChild(std::string name = {});
  // Moves this frame (with its subtree) to the end of `newParent`'s children, keeping
  // its world placement. Refused (false) for a root frame (it has no owner to take it
  // from), when `newParent` is this frame or lies below it.
  bool setParent(Frame& newParent);
  // Depth-first search of this frame and its subtree; exact, case-sensitive match.
  Frame* findByName(std::string_view name);

  // ---- visuals ------------------------------------------------------------------
  const std::vector<std::shared_ptr<Mesh>>& visuals() const { return visuals_; }
  void addVisual(std::shared_ptr<Mesh> mesh);
  bool removeVisual(const Mesh* mesh);
  // Moves every visual to `target` (appended in order); this frame keeps none.
  void moveVisualsTo(Frame& target);

  // ---- placement ----------------------------------------------------------------
  const Matrix4& localMatrix() const { return local_; }
  void setLocalMatrix(const Matrix4& m) { local_ = m; }
  // Local to world: local * parent's world * ...
  Matrix4 worldMatrix() const;

  Vec3 position(const Frame* reference) const;
  void setPosition(const Frame* reference, const Vec3& position);
  Orientation orientation(const Frame* reference) const;
  // Direction and up need not be unit length or exactly perpendicular: up is made
  // perpendicular to direction. A degenerate pair (zero direction, or up parallel to
  // it) keeps the current orientation. The frame's scale is kept.
  void setOrientation(const Frame* reference, const Vec3& direction, const Vec3& up);

  // ---- free motion ----------------------------------------------------------------
  // Linear velocity in units per time unit, given relative to `reference` (converted to
  // the parent's coordinates at the time of the call). With `withRotation` the velocity
  // also turns with the frame's own rotation as Move advances it, so a spinning frame
  // drifts along a curve; without it the path is straight.
  void setVelocity(const Frame* reference, const Vec3& velocity, bool withRotation);
  Vec3 velocity(const Frame* reference) const;
  bool velocityWithRotation() const { return velocityWithRotation_; }

  // Rotation about `axis` (in the parent's coordinates, through the frame's own origin)
  // at `radiansPerUnit`; a zero axis or rate stops it.
  void setRotation(const Vec3& axis, float radiansPerUnit);
  Vec3 rotationAxis() const { return rotationAxis_; }
  float rotationRate() const { return rotationRate_; }

  // Advances rotation then velocity of this frame and its whole subtree by `delta`
  // time units. Allocates nothing.
  void move(float delta);

  // Turns the frame so its z axis points at the target's origin, computed in
  // `reference`'s coordinates. The target at the frame's own position leaves the
  // orientation unchanged; looking straight along the parent's y axis keeps the
  // current up side.
  void lookAt(const Frame& target, const Frame* reference, LookAtConstraint constraint);

 private:
  void moveSelf(float delta);

  std::string name_;
  Frame* parent_ = nullptr;
  std::vector<std::unique_ptr<Frame>> children_;
  std::vector<std::shared_ptr<Mesh>> visuals_;
  Matrix4 local_;
  Vec3 velocity_;  // in parent coordinates
  bool velocityWithRotation_ = false;
  Vec3 rotationAxis_;
  float rotationRate_ = 0;
};

}  // namespace prismora::engine
