#include "builder/scenes/scene_import.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <set>

#include "engine/scene/animation.h"
#include "engine/scene/frame.h"
#include "engine/scene/light_rig.h"
#include "engine/xfile/loader.h"
#include "engine/xfile/reader.h"

namespace prismora::scenes {

using namespace engine;
using namespace engine::xfile;

void Bounds::add(const Vec3& p) {
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return;
  if (empty) {
    min = max = p;
    empty = false;
    return;
  }
  min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
  max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
}

namespace {

void AddFrameBounds(const Frame& frame, Bounds& bounds) {
  const Matrix4 world = frame.worldMatrix();
  for (const auto& mesh : frame.visuals())
    for (const MeshGroup& group : mesh->groups)
      for (const MeshVertex& v : group.vertices) bounds.add(transformPoint(v.position, world));
  for (const auto& child : frame.children()) AddFrameBounds(*child, bounds);
}

// The runtime plays one animation set; a file with several gets them as one.
void MergeAnimationSets(XDocument& document) {
  if (document.animationSets.size() < 2) return;
  XAnimationSet& first = document.animationSets.front();
  for (std::size_t i = 1; i < document.animationSets.size(); ++i)
    for (XAnimation& a : document.animationSets[i].animations) first.animations.push_back(std::move(a));
  document.animationSets.resize(1);
}

uint32_t AnimationLength(const XDocument& document) {
  uint32_t last = 0;
  for (const XAnimationSet& set : document.animationSets)
    for (const XAnimation& a : set.animations)
      for (const XAnimationKey& k : a.keys)
        for (const XTimedValues& v : k.keys) last = std::max(last, v.time);
  return last;
}

// Every face whose material names a texture and whose mesh has texture coordinates.
std::size_t TexturedFaceCount(const XDocument& document) {
  std::map<std::string, const XMaterial*> named;
  for (const XMaterial& m : document.materials) named[m.name] = &m;
  auto countMesh = [&](const XMesh& mesh) -> std::size_t {
    if (mesh.texCoords.empty() || mesh.materials.empty() || mesh.faceMaterials.empty()) return 0;
    std::size_t count = 0;
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
      uint32_t index = mesh.faceMaterials[std::min(f, mesh.faceMaterials.size() - 1)];
      if (index >= mesh.materials.size()) continue;
      const XMaterialSlot& slot = mesh.materials[index];
      const XMaterial* material = &slot.material;
      if (!slot.reference.empty()) {
        auto it = named.find(slot.reference);
        if (it == named.end()) continue;
        material = it->second;
      }
      if (!material->textureFile.empty()) ++count;
    }
    return count;
  };
  std::size_t total = 0;
  for (const XMesh& m : document.meshes) total += countMesh(m);
  std::function<void(const XFrame&)> walk = [&](const XFrame& frame) {
    for (const XMesh& m : frame.meshes) total += countMesh(m);
    for (const XFrame& c : frame.children) walk(c);
  };
  for (const XFrame& f : document.frames) walk(f);
  return total;
}

// Gives each distinct texture name the photo name the six templates use; the runtime
// puts a photo wherever a texture is asked for, so only the slots matter, not the names.
std::vector<std::string> RenameTexturesToPhotos(XDocument& document) {
  std::vector<std::string> slots;
  std::map<std::string, std::size_t> index;
  auto rename = [&](XMaterial& m) {
    if (m.textureFile.empty()) return;
    auto [it, added] = index.emplace(m.textureFile, slots.size());
    if (added) slots.push_back(m.textureFile);
    m.textureFile = "photo" + std::to_string(it->second) + ".bmp";
  };
  auto renameMesh = [&](XMesh& mesh) {
    for (XMaterialSlot& s : mesh.materials)
      if (s.reference.empty()) rename(s.material);
  };
  for (XMaterial& m : document.materials) rename(m);
  for (XMesh& m : document.meshes) renameMesh(m);
  std::function<void(XFrame&)> walk = [&](XFrame& frame) {
    for (XMesh& m : frame.meshes) renameMesh(m);
    for (XFrame& c : frame.children) walk(c);
  };
  for (XFrame& f : document.frames) walk(f);
  return slots;
}

std::array<float, 16> ToArray(const Matrix4& m) {
  std::array<float, 16> values{};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) values[std::size_t(r * 4 + c)] = m.m[r][c];
  return values;
}

// Skinned meshes are in the space of the scene's root whatever frame holds them (see
// XMesh::skinned): they move into the fitted frame, which stands for that root, so they
// are drawn whole in their bind pose without the skin that the runtime does not play.
void AdoptSkinnedMeshes(std::vector<XFrame>& frames, XFrame& fit) {
  for (XFrame& frame : frames) {
    std::vector<XMesh> kept;
    for (XMesh& m : frame.meshes) {
      if (m.skinned) {
        m.skinned = false;
        fit.meshes.push_back(std::move(m));
      } else {
        kept.push_back(std::move(m));
      }
    }
    frame.meshes = std::move(kept);
    AdoptSkinnedMeshes(frame.children, fit);
  }
}

// Top-level meshes no frame refers to hang directly in the scene; they move into the
// fitted frame with the rest.
void AdoptLooseMeshes(XDocument& document, XFrame& fit) {
  std::set<std::string> referenced;
  std::function<void(const XFrame&)> walk = [&](const XFrame& frame) {
    for (const std::string& r : frame.meshReferences) referenced.insert(r);
    for (const XFrame& c : frame.children) walk(c);
  };
  for (const XFrame& f : document.frames) walk(f);
  std::vector<XMesh> kept;
  for (XMesh& m : document.meshes) {
    if (!m.name.empty() && referenced.count(m.name)) kept.push_back(std::move(m));
    else fit.meshes.push_back(std::move(m));
  }
  document.meshes = std::move(kept);
}

// A scene made elsewhere carries no light the runtime could use: it gets the importer's
// key light (engine/scene/light_rig.h), a frame of its own beside the turning scene so
// the light stays where it is while the scene turns under it.
XFrame KeyLightFrame() {
  const Vec3 z = normalize(kKeyLightDirection);
  const Vec3 x = normalize(cross({0, 1, 0}, z));
  const Vec3 y = cross(z, x);
  Matrix4 m = Matrix4::identity();
  m.setRow(0, x);
  m.setRow(1, y);
  m.setRow(2, z);
  XFrame light;
  light.name = std::string(kKeyLightFrameName);
  light.transform = ToArray(m);
  return light;
}

XAnimationSet TurnAnimation() {
  XAnimation turn;
  turn.name = "prismora_turn_animation";
  turn.frameName = std::string(kTurnFrameName);
  XAnimationKey rotation;
  rotation.type = KeyType::Rotation;
  // Eighth turns: each pair of keys is far from half a turn apart, so interpolating
  // along the shorter arc keeps the sense of the turn.
  constexpr int kSteps = 8;
  for (int i = 0; i <= kSteps; ++i) {
    const float angle = float(2 * std::numbers::pi * i / kSteps);
    const Quaternion q = Quaternion::fromAxisAngle({0, 1, 0}, angle);
    rotation.keys.push_back({kTurnTicks * uint32_t(i) / kSteps, {q.w, q.x, q.y, q.z}});
  }
  turn.keys.push_back(std::move(rotation));
  XAnimationSet set;
  set.name = "prismora_turn_set";
  set.animations.push_back(std::move(turn));
  return set;
}

}  // namespace

Bounds BoundsAtFirstFrame(const XDocument& document) {
  Frame root("bounds");
  AnimationSet animation;
  Bounds bounds;
  if (!loadDocument(document, root, animation).ok()) return bounds;
  animation.setTime(0);
  AddFrameBounds(root, bounds);
  return bounds;
}

float ViewDistance(float radius) {
  const float sinHalf = kNarrowHalfViewTan / std::sqrt(1 + kNarrowHalfViewTan * kNarrowHalfViewTan);
  return radius / sinHalf * kViewMargin;
}

ImportResult ImportDocument(XDocument document) {
  ImportResult result;
  MergeAnimationSets(document);
  if (TexturedFaceCount(document) == 0) {
    result.error = std::string(kNoTexturedFacesMessage);
    return result;
  }
  const std::string loadError = [&] {
    Frame probe;
    AnimationSet animation;
    return loadDocument(document, probe, animation).error;
  }();
  if (!loadError.empty()) {
    result.error = loadError;
    return result;
  }
  const Bounds bounds = BoundsAtFirstFrame(document);
  const float radius = bounds.radius();
  if (bounds.empty || !(radius > 0) || !std::isfinite(radius)) {
    result.error = std::string(kNoTexturedFacesMessage);
    return result;
  }

  ImportedScene& scene = result.scene;
  scene.photoSlots = RenameTexturesToPhotos(document);
  const uint32_t length = AnimationLength(document);
  scene.turns = length == 0;
  if (scene.turns) document.animationSets.clear();

  // (p - centre) * scale: the scene's sphere lands on the origin with the fitted radius.
  XFrame fit;
  fit.name = std::string(kFitFrameName);
  const float scale = kFittedRadius / radius;
  fit.transform = ToArray(Matrix4::translation(-bounds.centre()) * Matrix4::scaling({scale, scale, scale}));
  AdoptSkinnedMeshes(document.frames, fit);
  fit.children = std::move(document.frames);
  AdoptLooseMeshes(document, fit);
  XFrame turn;
  turn.name = std::string(kTurnFrameName);
  turn.children.push_back(std::move(fit));
  document.frames.clear();
  document.frames.push_back(std::move(turn));
  document.frames.push_back(KeyLightFrame());
  if (scene.turns) document.animationSets.push_back(TurnAnimation());

  trailer::TemplateBlockFields& block = scene.block;
  block.animEnd = scene.turns ? kTurnTicks : length;
  block.animLoopStart = 0;
  block.cameraPosition = {0, 0, -ViewDistance(kFittedRadius)};
  block.cameraDirection = {0, 0, 1};
  block.cameraUp = {0, 1, 0};
  scene.document = std::move(document);
  return result;
}

ImportResult ImportScene(std::span<const uint8_t> bytes, std::string_view fileName) {
  ReadResult read = readXFile(bytes);
  if (!read.ok()) {
    ImportResult result;
    result.error = std::string(fileName) + ": " + read.error;
    return result;
  }
  ImportResult result = ImportDocument(std::move(read.document));
  if (!result.ok()) result.error = std::string(fileName) + ": " + result.error;
  return result;
}

}  // namespace prismora::scenes
