// A scene port that keeps frames in memory and records every drawing call, so the
// animation rules can be checked step by step.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/core/scene_port.h"

namespace prismora::testsupport {

using runtime::FrameRef;

struct FakeFrame {
  std::string name;
  FakeFrame* parent = nullptr;
  std::vector<FakeFrame*> children;
  int visuals = 0;
  runtime::Vec3f position, velocity, axis;
  float rate = 0;
  bool velocityWithRotation = false;
};

struct FakeScene : runtime::ScenePort {
  std::vector<std::unique_ptr<FakeFrame>> store;
  FakeFrame* root = Make(nullptr, "scene");
  FakeFrame* camera = Make(root, "camera");
  std::vector<std::string> calls;  // drawing calls in order, e.g. "time 3.5", "render"
  runtime::Vec3f cameraPosition, cameraDirection, cameraUp;
  FrameRef lookedAt = nullptr;
  int moves = 0;

  FakeFrame* Make(FakeFrame* parent, std::string name, int visuals = 0) {
    store.push_back(std::make_unique<FakeFrame>());
    FakeFrame* f = store.back().get();
    f->name = std::move(name);
    f->parent = parent;
    f->visuals = visuals;
    if (parent) parent->children.push_back(f);
    return f;
  }
  static FakeFrame* F(FrameRef r) { return static_cast<FakeFrame*>(r); }

  FrameRef SceneFrame() override { return root; }
  std::vector<FrameRef> Children(FrameRef f) override {
    std::vector<FrameRef> out;
    for (FakeFrame* c : F(f)->children)
      if (c != camera) out.push_back(c);
    return out;
  }
  std::string Name(FrameRef f) override { return F(f)->name; }
  FrameRef CreateFrame(FrameRef parent) override { return Make(F(parent), ""); }
  void MoveVisuals(FrameRef from, FrameRef to) override {
    F(to)->visuals += F(from)->visuals;
    F(from)->visuals = 0;
  }
  void AttachCamera(FrameRef parent) override {
    auto& siblings = camera->parent->children;
    std::erase(siblings, camera);
    camera->parent = F(parent);
    F(parent)->children.push_back(camera);
  }
  void PlaceCamera(runtime::Vec3f p, runtime::Vec3f d, runtime::Vec3f u) override {
    cameraPosition = p;
    cameraDirection = d;
    cameraUp = u;
  }
  runtime::Vec3f PositionInScene(FrameRef f) override { return F(f)->position; }
  void ResetInScene(FrameRef f) override {
    F(f)->position = {};
    F(f)->velocity = {};
  }
  void SetVelocityInScene(FrameRef f, runtime::Vec3f v, bool withRotation) override {
    F(f)->velocity = v;
    F(f)->velocityWithRotation = withRotation;
  }
  void SetRotation(FrameRef f, runtime::Vec3f axis, float rate) override {
    F(f)->axis = axis;
    F(f)->rate = rate;
  }
  void CameraLookAt(FrameRef target) override {
    lookedAt = target;
    calls.push_back("lookat");
  }
  void MoveScene(float delta) override {
    ++moves;
    for (auto& f : store) {
      f->position.x += f->velocity.x * delta;
      f->position.y += f->velocity.y * delta;
      f->position.z += f->velocity.z * delta;
    }
    calls.push_back("move");
  }
  void SetAnimationTime(float t) override { calls.push_back("time " + std::to_string(t)); }
  void ClearViewport(Clear what) override {
    calls.push_back(what == Clear::ColourAndDepth ? "clear colour+depth" : "clear depth");
  }
  void Render() override { calls.push_back("render"); }
  void Present() override { calls.push_back("present"); }
};

}  // namespace prismora::testsupport
