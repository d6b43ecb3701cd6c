#include "engine/xfile/loader.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>

#include "engine/xfile/reader.h"

namespace prismora::engine::xfile {

namespace {

Vec3 vec(const Float3& f) { return {f[0], f[1], f[2]}; }

std::shared_ptr<Material> toMaterial(const XMaterial& x) {
  auto m = std::make_shared<Material>();
  m->name = x.name;
  m->faceColor = {x.faceColor[0], x.faceColor[1], x.faceColor[2], x.faceColor[3]};
  m->power = x.power;
  m->specular = vec(x.specular);
  m->emissive = vec(x.emissive);
  m->textureFile = x.textureFile;
  return m;
}

class Builder {
 public:
  explicit Builder(const XDocument& doc) : doc_(doc) {}

  bool prepare(std::string& error) {
    for (const XMaterial& m : doc_.materials)
      if (!m.name.empty()) materials_[m.name] = toMaterial(m);
    for (const XMesh& m : doc_.meshes) {
      std::shared_ptr<Mesh> mesh;
      if (!buildMesh(m, mesh, error)) return false;
      topMeshes_.push_back(mesh);
      if (!m.name.empty()) meshesByName_[m.name] = mesh;
    }
    return true;
  }

  // Builds the frame's meshes and checks its references before anything touches the
  // scene, so a failing load leaves the parent as it was.
  bool buildFrame(const XFrame& x, std::string& error) {
    auto& visuals = frameVisuals_[&x];
    for (const XMesh& m : x.meshes) {
      std::shared_ptr<Mesh> mesh;
      if (!buildMesh(m, mesh, error)) return false;
      // A skinned mesh is drawn whole in its bind pose: where its vertices are, in the
      // space of the scene's root, not moved again by the frame that holds it.
      (m.skinned ? skinnedVisuals_ : visuals).push_back(mesh);
    }
    for (const std::string& r : x.meshReferences) {
      auto it = meshesByName_.find(r);
      if (it == meshesByName_.end()) {
        error = "frame \"" + x.name + "\" refers to unknown mesh \"" + r + "\"";
        return false;
      }
      visuals.push_back(it->second);
      referenced_.insert(it->second.get());
    }
    for (const XFrame& c : x.children)
      if (!buildFrame(c, error)) return false;
    return true;
  }

  void attach(const XFrame& x, Frame& parent) {
    Frame& f = parent.createChild(x.name);
    if (x.transform) f.setLocalMatrix(Matrix4::fromArray(x.transform->data()));
    for (auto& mesh : frameVisuals_[&x]) f.addVisual(mesh);
    for (const XFrame& c : x.children) attach(c, f);
  }

  void attachLooseMeshes(Frame& parent) {
    // Meshes at the top level that no frame refers to belong to the parent itself, as
    // do the skinned meshes.
    for (auto& mesh : topMeshes_)
      if (!referenced_.count(mesh.get())) parent.addVisual(mesh);
    for (auto& mesh : skinnedVisuals_) parent.addVisual(mesh);
  }

 private:
  bool buildMesh(const XMesh& x, std::shared_ptr<Mesh>& out, std::string& error) {
    auto fail = [&](const std::string& why) {
      error = "mesh \"" + x.name + "\": " + why;
      return false;
    };
    const std::size_t nPos = x.positions.size();
    if (!x.texCoords.empty() && x.texCoords.size() != nPos)
      return fail("texture coordinates do not match the vertices");
    if (x.hasNormals && x.normalFaces.size() != x.faces.size())
      return fail("normal faces do not match the faces");

    // Materials of the list, references resolved.
    std::vector<std::shared_ptr<Material>> slots;
    for (const XMaterialSlot& s : x.materials) {
      if (s.reference.empty()) {
        slots.push_back(toMaterial(s.material));
        continue;
      }
      auto it = materials_.find(s.reference);
      if (it == materials_.end()) return fail("unknown material \"" + s.reference + "\"");
      slots.push_back(it->second);
    }
    if (slots.empty()) slots.push_back(std::make_shared<Material>());

    // Smooth normals for meshes without MeshNormals.
    std::vector<Vec3> smooth;
    if (!x.hasNormals) {
      smooth.assign(nPos, Vec3{});
      for (const XFace& f : x.faces) {
        if (f.size() < 3) continue;
        for (uint32_t i : f)
          if (i >= nPos) return fail("vertex index out of range");
        Vec3 a = vec(x.positions[f[0]]), b = vec(x.positions[f[1]]), c = vec(x.positions[f[2]]);
        Vec3 n = cross(b - a, c - a);
        for (uint32_t i : f) smooth[i] += n;
      }
      for (Vec3& n : smooth) n = normalize(n);
    }

    auto mesh = std::make_shared<Mesh>();
    mesh->name = x.name;
    std::vector<MeshGroup> groups(slots.size());
    std::vector<std::unordered_map<uint64_t, uint32_t>> seen(slots.size());
    for (std::size_t g = 0; g < slots.size(); ++g) groups[g].material = slots[g];

    for (std::size_t fi = 0; fi < x.faces.size(); ++fi) {
      const XFace& face = x.faces[fi];
      const XFace* normalFace = x.hasNormals ? &x.normalFaces[fi] : nullptr;
      if (normalFace && normalFace->size() != face.size())
        return fail("normal face size differs from its face");
      std::size_t g = 0;
      if (!x.faceMaterials.empty()) {
        g = x.faceMaterials[std::min(fi, x.faceMaterials.size() - 1)];
        if (g >= slots.size()) return fail("face material out of range");
      }
      if (face.size() < 3) continue;
      // Fans of more than 64 corners are cut there: no scene comes near it, and a
      // fixed array keeps a hostile face count from costing anything.
      uint32_t corner[64];
      std::size_t n = std::min<std::size_t>(face.size(), 64);
      for (std::size_t k = 0; k < n; ++k) {
        uint32_t p = face[k];
        if (p >= nPos) return fail("vertex index out of range");
        uint32_t ni = normalFace ? (*normalFace)[k] : p;
        if (normalFace && ni >= x.normals.size()) return fail("normal index out of range");
        uint64_t key = (uint64_t{p} << 32) | ni;
        auto [it, added] = seen[g].try_emplace(key, static_cast<uint32_t>(groups[g].vertices.size()));
        if (added) {
          MeshVertex v;
          v.position = vec(x.positions[p]);
          v.normal = normalFace ? normalize(vec(x.normals[ni])) : smooth[p];
          if (!x.texCoords.empty()) v.uv = {x.texCoords[p][0], x.texCoords[p][1]};
          groups[g].vertices.push_back(v);
        }
        corner[k] = it->second;
      }
      for (std::size_t k = 1; k + 1 < n; ++k) {  // a fan covers convex polygons
        groups[g].indices.push_back(corner[0]);
        groups[g].indices.push_back(corner[k]);
        groups[g].indices.push_back(corner[k + 1]);
      }
    }
    for (MeshGroup& g : groups)
      if (!g.indices.empty()) mesh->groups.push_back(std::move(g));
    out = std::move(mesh);
    return true;
  }

  const XDocument& doc_;
  std::map<std::string, std::shared_ptr<Material>> materials_;
  std::map<std::string, std::shared_ptr<Mesh>> meshesByName_;
  std::vector<std::shared_ptr<Mesh>> topMeshes_;
  std::set<const Mesh*> referenced_;
  std::map<const XFrame*, std::vector<std::shared_ptr<Mesh>>> frameVisuals_;
  std::vector<std::shared_ptr<Mesh>> skinnedVisuals_;
};

Animation toAnimation(const XAnimation& x) {
  Animation a;
  a.name = x.name;
  a.frameName = x.frameName;
  a.closed = x.hasOptions ? x.openClosed == 0 : true;
  a.splinePositions = x.hasOptions && x.positionQuality == 0;
  for (const XAnimationKey& key : x.keys) {
    for (const XTimedValues& k : key.keys) {
      const auto& v = k.values;
      float t = static_cast<float>(k.time);
      switch (key.type) {
        case KeyType::Rotation:
          if (v.size() == 4) a.rotationKeys.push_back({t, normalize(Quaternion{v[0], v[1], v[2], v[3]})});
          break;
        case KeyType::Scale:
          if (v.size() == 3) a.scaleKeys.push_back({t, {v[0], v[1], v[2]}});
          break;
        case KeyType::Position:
          if (v.size() == 3) a.positionKeys.push_back({t, {v[0], v[1], v[2]}});
          break;
        case KeyType::Matrix:
          if (v.size() == 16) a.matrixKeys.push_back({t, Matrix4::fromArray(v.data())});
          break;
      }
    }
  }
  auto byTime = [](const auto& p, const auto& q) { return p.time < q.time; };
  std::stable_sort(a.rotationKeys.begin(), a.rotationKeys.end(), byTime);
  std::stable_sort(a.scaleKeys.begin(), a.scaleKeys.end(), byTime);
  std::stable_sort(a.positionKeys.begin(), a.positionKeys.end(), byTime);
  std::stable_sort(a.matrixKeys.begin(), a.matrixKeys.end(), byTime);
  return a;
}

}  // namespace

LoadResult loadDocument(const XDocument& document, Frame& parent, AnimationSet& animation) {
  LoadResult result;
  Builder builder(document);
  if (!builder.prepare(result.error)) return result;
  for (const XFrame& f : document.frames)
    if (!builder.buildFrame(f, result.error)) return result;

  for (const XFrame& f : document.frames) builder.attach(f, parent);
  builder.attachLooseMeshes(parent);

  animation = AnimationSet{};
  if (!document.animationSets.empty()) {
    const XAnimationSet& set = document.animationSets.front();
    animation.name = set.name;
    for (const XAnimation& a : set.animations) animation.animations.push_back(toAnimation(a));
  }
  animation.bind(parent);
  return result;
}

LoadResult loadXFile(std::span<const uint8_t> bytes, Frame& parent, AnimationSet& animation) {
  ReadResult read = readXFile(bytes);
  if (!read.ok()) return {read.error};
  return loadDocument(read.document, parent, animation);
}

}  // namespace prismora::engine::xfile
