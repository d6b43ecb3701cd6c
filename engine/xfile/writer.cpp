#include "engine/xfile/writer.h"

#include <charconv>
#include <cstring>
#include <string>

#include "common/bytes.h"
#include "engine/xfile/mszip.h"

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

// One output in either encoding. Each call writes one shape of template member, so the
// text comes out punctuated as exporters write it (`;` after a member, `,` between array
// items), while the binary form packs the same numbers into integer and float lists.
class Out {
 public:
  std::vector<uint8_t> bytes;

  explicit Out(const XFileForm& form) : text_(form.text), doubles_(form.doubles) {
    if (text_) raw("\n");  // the header gets a line of its own
  }

  void open(const char* type, const std::string& objectName = {}) {
    if (text_) {
      indent();
      raw(type);
      if (!objectName.empty()) raw(" " + objectName);
      raw(" {\n");
      ++depth_;
      return;
    }
    name(type);
    if (!objectName.empty()) name(objectName);
    u16(kOBrace);
  }
  void close() {
    if (text_) {
      --depth_;
      line("}");
      return;
    }
    u16(kCBrace);
  }
  void reference(const std::string& target) {
    if (text_) return line("{ " + target + " }");
    u16(kOBrace);
    name(target);
    u16(kCBrace);
  }
  // A string member; binary ends it with the two-byte `;` token, as exporters do.
  void string(const std::string& s) {
    if (text_) return line("\"" + s + "\";");
    u16(kString);
    u32(static_cast<uint32_t>(s.size()));
    raw(s);
    u16(kSemicolon);
  }
  // Integer members, one after another.
  void dwords(const std::vector<uint32_t>& v) {
    if (!text_) return ints(v);
    for (uint32_t x : v) line(std::to_string(x) + ";");
  }
  // Float members grouped into structures (a colour, say): `1;1;1;1;;` for a group of
  // four, `17;` for a lone float.
  void floatGroups(const float* v, std::initializer_list<std::size_t> groups) {
    std::size_t n = 0;
    for (std::size_t g : groups) {
      if (text_) {
        std::string s;
        for (std::size_t i = 0; i < g; ++i) s += number(v[n + i]) + ";";
        line(g > 1 ? s + ";" : s);
      }
      n += g;
    }
    if (!text_) floats(v, n);
  }
  // A count followed by an array of float structures (vectors, coordinates).
  template <std::size_t N>
  void countedRows(const std::vector<std::array<float, N>>& rows) {
    if (!text_) {
      ints({static_cast<uint32_t>(rows.size())});
      return floatRows(rows);
    }
    line(std::to_string(rows.size()) + ";");
    for (std::size_t r = 0; r < rows.size(); ++r) {
      std::string s;
      for (float f : rows[r]) s += number(f) + ";";
      line(s + (r + 1 < rows.size() ? "," : ";"));
    }
  }
  // A count followed by the faces, each its size and its indices.
  void faces(const std::vector<XFace>& faces) {
    if (!text_) {
      std::vector<uint32_t> v{static_cast<uint32_t>(faces.size())};
      for (const XFace& f : faces) {
        v.push_back(static_cast<uint32_t>(f.size()));
        v.insert(v.end(), f.begin(), f.end());
      }
      return ints(v);
    }
    line(std::to_string(faces.size()) + ";");
    for (std::size_t i = 0; i < faces.size(); ++i) {
      std::string s = std::to_string(faces[i].size()) + ";" + joined(faces[i]) + ";";
      line(s + (i + 1 < faces.size() ? "," : ";"));
    }
  }
  // Leading integer members and then an integer array (a material list's face indices).
  void dwordsThenArray(const std::vector<uint32_t>& members, const std::vector<uint32_t>& array) {
    if (!text_) {
      std::vector<uint32_t> v = members;
      v.insert(v.end(), array.begin(), array.end());
      return ints(v);
    }
    dwords(members);
    if (!array.empty()) line(joined(array) + ";");
  }
  // A structure holding one float array (a matrix).
  void floatArrayStruct(const float* v, std::size_t n) {
    if (!text_) return floats(v, n);
    std::string s;
    floatArrayStructInto(s, v, n);
    line(s);
  }
  // An animation key's type and timed values.
  void keys(const XAnimationKey& key) {
    if (!text_) {
      ints({static_cast<uint32_t>(key.type), static_cast<uint32_t>(key.keys.size())});
      for (const XTimedValues& k : key.keys) {
        ints({k.time, static_cast<uint32_t>(k.values.size())});
        floats(k.values.data(), k.values.size());
      }
      return;
    }
    dwords({static_cast<uint32_t>(key.type), static_cast<uint32_t>(key.keys.size())});
    for (std::size_t i = 0; i < key.keys.size(); ++i) {
      const XTimedValues& k = key.keys[i];
      std::string s = std::to_string(k.time) + ";" + std::to_string(k.values.size()) + ";";
      floatArrayStructInto(s, k.values.data(), k.values.size());
      line(s + (i + 1 < key.keys.size() ? "," : ";"));
    }
  }

 private:
  void raw(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }
  void u16(uint16_t v) { prismora::bytes::appendU16(bytes, v); }
  void u32(uint32_t v) { prismora::bytes::appendU32(bytes, v); }
  void f(float x) {
    if (doubles_) {
      double d = x;
      uint8_t b[8];
      std::memcpy(b, &d, 8);
      bytes.insert(bytes.end(), b, b + 8);
    } else {
      uint32_t v;
      std::memcpy(&v, &x, 4);
      u32(v);
    }
  }
  void name(const std::string& s) {
    u16(kName);
    u32(static_cast<uint32_t>(s.size()));
    raw(s);
  }
  void ints(const std::vector<uint32_t>& v) {
    u16(kIntegerList);
    u32(static_cast<uint32_t>(v.size()));
    for (uint32_t x : v) u32(x);
  }
  void floats(const float* v, std::size_t n) {
    u16(kFloatList);
    u32(static_cast<uint32_t>(n));
    for (std::size_t i = 0; i < n; ++i) f(v[i]);
  }
  template <std::size_t N>
  void floatRows(const std::vector<std::array<float, N>>& rows) {
    u16(kFloatList);
    u32(static_cast<uint32_t>(rows.size() * N));
    for (const auto& r : rows)
      for (float x : r) f(x);
  }

  void indent() { raw(std::string(static_cast<std::size_t>(depth_), ' ')); }
  void line(const std::string& s) {
    indent();
    raw(s + "\n");
  }
  static void floatArrayStructInto(std::string& s, const float* v, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) s += number(v[i]) + (i + 1 < n ? "," : ";");
    s += ";";
  }
  static std::string joined(const std::vector<uint32_t>& v) {
    std::string s;
    for (std::size_t i = 0; i < v.size(); ++i) s += (i ? "," : "") + std::to_string(v[i]);
    return s;
  }
  // Nine significant digits bring every float back exactly, also through a double.
  static std::string number(float x) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 9);
    return std::string(buf, r.ptr);
  }

  bool text_;
  bool doubles_;
  int depth_ = 0;
};

void writeMaterial(Out& out, const XMaterial& m) {
  out.open("Material", m.name);
  float values[11] = {m.faceColor[0], m.faceColor[1], m.faceColor[2], m.faceColor[3], m.power,
                      m.specular[0],  m.specular[1],  m.specular[2],  m.emissive[0], m.emissive[1],
                      m.emissive[2]};
  out.floatGroups(values, {4, 1, 3, 3});
  if (!m.textureFile.empty()) {
    out.open("TextureFilename");
    out.string(m.textureFile);
    out.close();
  }
  out.close();
}

void writeMesh(Out& out, const XMesh& mesh) {
  out.open("Mesh", mesh.name);
  out.countedRows(mesh.positions);
  out.faces(mesh.faces);
  if (mesh.hasMaterialList) {
    out.open("MeshMaterialList");
    out.dwordsThenArray({static_cast<uint32_t>(mesh.materials.size()), static_cast<uint32_t>(mesh.faceMaterials.size())},
                        mesh.faceMaterials);
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
    out.countedRows(mesh.normals);
    out.faces(mesh.normalFaces);
    out.close();
  }
  if (!mesh.texCoords.empty()) {
    out.open("MeshTextureCoords");
    out.countedRows(mesh.texCoords);
    out.close();
  }
  out.close();
}

void writeFrame(Out& out, const XFrame& frame) {
  out.open("Frame", frame.name);
  if (frame.transform) {
    out.open("FrameTransformMatrix");
    out.floatArrayStruct(frame.transform->data(), 16);
    out.close();
  }
  for (const XMesh& m : frame.meshes) writeMesh(out, m);
  for (const std::string& r : frame.meshReferences) out.reference(r);
  for (const XFrame& c : frame.children) writeFrame(out, c);
  out.close();
}

void writeAnimation(Out& out, const XAnimation& anim) {
  out.open("Animation", anim.name);
  if (!anim.frameName.empty()) out.reference(anim.frameName);
  for (const XAnimationKey& key : anim.keys) {
    out.open("AnimationKey");
    out.keys(key);
    out.close();
  }
  if (anim.hasOptions) {
    out.open("AnimationOptions");
    out.dwords({anim.openClosed, anim.positionQuality});
    out.close();
  }
  out.close();
}

std::string headerOf(const XFileForm& form) {
  std::string format = form.compressed ? (form.text ? "tzip" : "bzip") : (form.text ? "txt " : "bin ");
  return std::string("xof ") + (form.compressed ? "0303" : "0302") + format + (form.doubles ? "0064" : "0032");
}

}  // namespace

std::vector<uint8_t> writeXFile(const XDocument& document, const XFileForm& form) {
  Out out(form);
  out.open("Header");
  out.dwords({1, 0, 1});  // major, minor, flags
  out.close();
  for (const XMaterial& m : document.materials) writeMaterial(out, m);
  for (const XMesh& m : document.meshes) writeMesh(out, m);
  for (const XFrame& f : document.frames) writeFrame(out, f);
  for (const XAnimationSet& set : document.animationSets) {
    out.open("AnimationSet", set.name);
    for (const XAnimation& a : set.animations) writeAnimation(out, a);
    out.close();
  }
  std::string header = headerOf(form);
  std::vector<uint8_t> file(header.begin(), header.end());
  if (form.compressed) {
    std::vector<uint8_t> blocks = deflateBody(out.bytes);
    file.insert(file.end(), blocks.begin(), blocks.end());
  } else {
    file.insert(file.end(), out.bytes.begin(), out.bytes.end());
  }
  return file;
}

}  // namespace prismora::engine::xfile
