#include "engine/scene/frame.h"

#include <algorithm>

namespace prismora::engine {

namespace {

Matrix4 worldOf(const Frame* frame) { return frame ? frame->worldMatrix() : Matrix4{}; }

// Keeps the translation row, replaces the 3x3 part by rows * rot.
void rotateAxes(Matrix4& m, const Matrix4& rot) {
  for (int i = 0; i < 3; ++i) m.setRow(i, transformVector(m.row(i), rot));
}

}  // namespace

Frame::Frame(std::string name) : name_(std::move(name)) {}
Frame::~Frame() = default;

Frame& Frame::createChild(std::string name) {
  children_.push_back(std::make_unique<Frame>(std::move(name)));
  children_.back()->parent_ = this;
  return *children_.back();
}

bool Frame::setParent(Frame& newParent) {
  if (!parent_) return false;
  for (const Frame* f = &newParent; f; f = f->parent_)
    if (f == this) return false;
  Matrix4 world = worldMatrix();
  Vec3 worldVelocity = transformVector(velocity_, parent_->worldMatrix());

  auto& siblings = parent_->children_;
  auto it = std::find_if(siblings.begin(), siblings.end(),
                         [this](const std::unique_ptr<Frame>& c) { return c.get() == this; });
  std::unique_ptr<Frame> self = std::move(*it);
  siblings.erase(it);
  newParent.children_.push_back(std::move(self));
  parent_ = &newParent;

  Matrix4 toParent = inverseAffine(newParent.worldMatrix());
  local_ = world * toParent;
  velocity_ = transformVector(worldVelocity, toParent);
  return true;
}

Frame* Frame::findByName(std::string_view name) {
  if (name_ == name) return this;
  for (auto& c : children_)
    if (Frame* f = c->findByName(name)) return f;
  return nullptr;
}

void Frame::addVisual(std::shared_ptr<Mesh> mesh) {
  if (mesh) visuals_.push_back(std::move(mesh));
}

bool Frame::removeVisual(const Mesh* mesh) {
  auto it = std::find_if(visuals_.begin(), visuals_.end(),
                         [mesh](const std::shared_ptr<Mesh>& v) { return v.get() == mesh; });
  if (it == visuals_.end()) return false;
  visuals_.erase(it);
  return true;
}

void Frame::moveVisualsTo(Frame& target) {
  if (&target == this) return;
  for (auto& v : visuals_) target.visuals_.push_back(std::move(v));
  visuals_.clear();
}

Matrix4 Frame::worldMatrix() const {
  Matrix4 m = local_;
  for (const Frame* p = parent_; p; p = p->parent_) m = m * p->local_;
  return m;
}

Vec3 Frame::position(const Frame* reference) const {
  Vec3 world = worldMatrix().translationPart();
  return reference ? transformPoint(world, inverseAffine(reference->worldMatrix())) : world;
}

void Frame::setPosition(const Frame* reference, const Vec3& position) {
  Vec3 world = reference ? transformPoint(position, reference->worldMatrix()) : position;
  Vec3 local = parent_ ? transformPoint(world, inverseAffine(parent_->worldMatrix())) : world;
  local_.setRow(3, local);
}

Orientation Frame::orientation(const Frame* reference) const {
  Matrix4 m = worldMatrix();
  if (reference) m = m * inverseAffine(reference->worldMatrix());
  return {normalize(m.row(2)), normalize(m.row(1))};
}

void Frame::setOrientation(const Frame* reference, const Vec3& direction, const Vec3& up) {
  Vec3 d = normalize(direction);
  Vec3 u = normalize(up - d * dot(up, d));
  if (d == Vec3{} || u == Vec3{}) return;
  Vec3 x = cross(u, d);

  Matrix4 rows;
  rows.setRow(0, x);
  rows.setRow(1, u);
  rows.setRow(2, d);
  // Into world space, then into the parent's space.
  if (reference) rotateAxes(rows, reference->worldMatrix());
  if (parent_) rotateAxes(rows, inverseAffine(parent_->worldMatrix()));

  Vec3 scale = scaleOf(local_);
  local_.setRow(0, normalize(rows.row(0)) * scale.x);
  local_.setRow(1, normalize(rows.row(1)) * scale.y);
  local_.setRow(2, normalize(rows.row(2)) * scale.z);
}

void Frame::setVelocity(const Frame* reference, const Vec3& velocity, bool withRotation) {
  Vec3 world = reference ? transformVector(velocity, reference->worldMatrix()) : velocity;
  velocity_ = parent_ ? transformVector(world, inverseAffine(parent_->worldMatrix())) : world;
  velocityWithRotation_ = withRotation;
}

Vec3 Frame::velocity(const Frame* reference) const {
  Vec3 world = transformVector(velocity_, worldOf(parent_));
  return reference ? transformVector(world, inverseAffine(reference->worldMatrix())) : world;
}

void Frame::setRotation(const Vec3& axis, float radiansPerUnit) {
  rotationAxis_ = axis;
  rotationRate_ = radiansPerUnit;
}

void Frame::moveSelf(float delta) {
  if (rotationRate_ != 0 && rotationAxis_ != Vec3{}) {
    Matrix4 turn = Matrix4::rotationAxis(rotationAxis_, rotationRate_ * delta);
    rotateAxes(local_, turn);
    if (velocityWithRotation_) velocity_ = transformVector(velocity_, turn);
  }
  if (velocity_ != Vec3{}) local_.setRow(3, local_.translationPart() + velocity_ * delta);
}

void Frame::move(float delta) {
  moveSelf(delta);
  for (auto& c : children_) c->move(delta);
}

void Frame::lookAt(const Frame& target, const Frame* reference, LookAtConstraint) {
  Matrix4 toReference = reference ? inverseAffine(reference->worldMatrix()) : Matrix4{};
  Matrix4 mine = worldMatrix() * toReference;
  Vec3 to = transformPoint(target.worldMatrix().translationPart(), toReference) -
            mine.translationPart();
  Vec3 d = normalize(to);
  if (d == Vec3{}) return;
  // Turning only about the own x and y axes means no roll against the parent: the up
  // side is the parent's y axis (so a camera keeps the roll its rig gives it, and a
  // loop never leaves it tilted). Looking along that axis, the current up decides.
  Matrix4 parentAxes = parent_ ? parent_->worldMatrix() * toReference : toReference;
  Vec3 up = normalize(parentAxes.row(1));
  if (length(cross(d, up)) < 1e-4f) up = normalize(mine.row(1));
  if (length(cross(d, up)) < 1e-4f) up = cross(d, normalize(mine.row(0)));
  setOrientation(reference, d, up);
}

}  // namespace prismora::engine
