#include "runtime/core/engine_scene.h"

namespace prismora::runtime {
namespace {
engine::Vec3 V(Vec3f v) { return {v.x, v.y, v.z}; }
}  // namespace

std::vector<FrameRef> EngineScene::Children(FrameRef frame) {
  std::vector<FrameRef> out;
  for (const auto& child : F(frame).children()) out.push_back(child.get());
  return out;
}

void EngineScene::AttachCamera(FrameRef parent) {
  if (scene_.camera.frame) scene_.camera.frame->setParent(F(parent));
}

void EngineScene::PlaceCamera(Vec3f position, Vec3f direction, Vec3f up) {
  engine::Frame* camera = scene_.camera.frame;
  if (!camera) return;
  camera->setPosition(&scene_.root, V(position));
  camera->setOrientation(&scene_.root, V(direction), V(up));
}

Vec3f EngineScene::PositionInScene(FrameRef frame) {
  engine::Vec3 p = F(frame).position(&scene_.root);
  return {p.x, p.y, p.z};
}

void EngineScene::ResetInScene(FrameRef frame) {
  F(frame).setPosition(&scene_.root, {});
  F(frame).setVelocity(&scene_.root, {}, false);
}

void EngineScene::SetVelocityInScene(FrameRef frame, Vec3f velocity, bool withRotation) {
  F(frame).setVelocity(&scene_.root, V(velocity), withRotation);
}

void EngineScene::SetRotation(FrameRef frame, Vec3f axis, float rate) { F(frame).setRotation(V(axis), rate); }

void EngineScene::CameraLookAt(FrameRef target) {
  if (scene_.camera.frame)
    scene_.camera.frame->lookAt(F(target), &scene_.root, engine::LookAtConstraint::XYOnly);
}

}  // namespace prismora::runtime
