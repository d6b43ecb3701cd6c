#include "engine/xfile/writer.h"

#include <cstring>
#include <string>

namespace prismora::engine::xfile {

namespace {

enum : uint16_t {
  kName = 1,
  kString = 2,
  kIntegerList = 6,
  kFloatList = 7,
  kOBrace = 10,
  kCBrace = 11,
  kSemicolon = 20,
};

class BinaryOut {
 public:
  std::vector<uint8_t> bytes;

  void u16(uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  }
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void f32(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    u32(v);
  }
  void raw(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }

  void name(const std::string& s) {
    u16(kName);
    u32(static_cast<uint32_t>(s.size()));
    raw(s);
  }
  // Ended by the two-byte `;` token, as exporters write strings.
  void string(const std::string& s) {
    u16(kString);
    u32(static_cast<uint32_t>(s.size()));
    raw(s);
    u16(kSemicolon);
  }
  void ints(const std::vector<uint32_t>& v) {
    u16(kIntegerList);
    u32(static_cast<uint32_t>(v.size()));
    for (uint32_t x : v) u32(x);
  }
  void floats(const float* v, std::size_t n) {
    u16(kFloatList);
    u32(static_cast<uint32_t>(n));
    for (std::size_t i = 0; i < n; ++i) f32(v[i]);
  }
  template <std::size_t N>
  void floatRows(const std::vector<std::array<float, N>>& rows) {
    u16(kFloatList);
    u32(static_cast<uint32_t>(rows.size() * N));
    for (const auto& r : rows)
      for (float f : r) f32(f);
  }
  void open(const char* type, const std::string& objectName = {}) {
    name(type);
    if (!objectName.empty()) name(objectName);
    u16(kOBrace);
  }
  void close() { u16(kCBrace); }
  void reference(const std::string& target) {
    u16(kOBrace);
    name(target);
    u16(kCBrace);
  }
};

// Face lists as the format stores them: count, then size and indices of each face.
std::vector<uint32_t> faceList(const std::vector<XFace>& faces) {
  std::vector<uint32_t> v{static_cast<uint32_t>(faces.size())};
  for (const XFace& f : faces) {
    v.push_back(static_cast<uint32_t>(f.size()));
    v.insert(v.end(), f.begin(), f.end());
  }
  return v;
}

void writeMaterial(BinaryOut& out, const XMaterial& m) {
  out.open("Material", m.name);
  float values[11] = {m.faceColor[0], m.faceColor[1], m.faceColor[2], m.faceColor[3], m.power,
                      m.specular[0],  m.specular[1],  m.specular[2],  m.emissive[0], m.emissive[1],
                      m.emissive[2]};
  out.floats(values, 11);
  if (!m.textureFile.empty()) {
    out.open("TextureFilename");
    out.string(m.textureFile);
    out.close();
  }
  out.close();
}

void writeMesh(BinaryOut& out, const XMesh& mesh) {
  out.open("Mesh", mesh.name);
  out.ints({static_cast<uint32_t>(mesh.positions.size())});
  out.floatRows(mesh.positions);
  out.ints(faceList(mesh.faces));
  if (mesh.hasMaterialList) {
    out.open("MeshMaterialList");
    std::vector<uint32_t> v{static_cast<uint32_t>(mesh.materials.size()),
                            static_cast<uint32_t>(mesh.faceMaterials.size())};
    v.insert(v.end(), mesh.faceMaterials.begin(), mesh.faceMaterials.end());
    out.ints(v);
    for (const XMaterialSlot& slot : mesh.materials) {
      if (!slot.reference.empty())
        out.reference(slot.reference);
      else
        writeMaterial(out, slot.material);
    }
    out.close();
  }
  if (mesh.hasNormals) {
    out.open("MeshNormals");
    out.ints({static_cast<uint32_t>(mesh.normals.size())});
    out.floatRows(mesh.normals);
    out.ints(faceList(mesh.normalFaces));
    out.close();
  }
  if (!mesh.texCoords.empty()) {
    out.open("MeshTextureCoords");
    out.ints({static_cast<uint32_t>(mesh.texCoords.size())});
    out.floatRows(mesh.texCoords);
    out.close();
  }
  out.close();
}

void writeFrame(BinaryOut& out, const XFrame& frame) {
  out.open("Frame", frame.name);
  if (frame.transform) {
    out.open("FrameTransformMatrix");
    out.floats(frame.transform->data(), 16);
    out.close();
  }
  for (const XMesh& m : frame.meshes) writeMesh(out, m);
  for (const std::string& r : frame.meshReferences) out.reference(r);
  for (const XFrame& c : frame.children) writeFrame(out, c);
  out.close();
}

void writeAnimation(BinaryOut& out, const XAnimation& anim) {
  out.open("Animation", anim.name);
  if (!anim.frameName.empty()) out.reference(anim.frameName);
  for (const XAnimationKey& key : anim.keys) {
    out.open("AnimationKey");
    out.ints({static_cast<uint32_t>(key.type), static_cast<uint32_t>(key.keys.size())});
    for (const XTimedValues& k : key.keys) {
      out.ints({k.time, static_cast<uint32_t>(k.values.size())});
      out.floats(k.values.data(), k.values.size());
    }
    out.close();
  }
  if (anim.hasOptions) {
    out.open("AnimationOptions");
    out.ints({anim.openClosed, anim.positionQuality});
    out.close();
  }
  out.close();
}

}  // namespace

std::vector<uint8_t> writeBinaryXFile(const XDocument& document) {
  BinaryOut out;
  out.raw("xof 0302bin 0032");
  out.open("Header");
  out.ints({1, 0, 1});  // major, minor, flags
  out.close();
  for (const XMaterial& m : document.materials) writeMaterial(out, m);
  for (const XMesh& m : document.meshes) writeMesh(out, m);
  for (const XFrame& f : document.frames) writeFrame(out, f);
  for (const XAnimationSet& set : document.animationSets) {
    out.open("AnimationSet", set.name);
    for (const XAnimation& a : set.animations) writeAnimation(out, a);
    out.close();
  }
  return std::move(out.bytes);
}

}  // namespace prismora::engine::xfile
