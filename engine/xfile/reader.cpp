#include "engine/xfile/reader.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

#include "engine/xfile/lexer.h"
#include "engine/xfile/mszip.h"

namespace prismora::engine::xfile {

namespace {

// Deeper nesting than any real scene uses; a bound keeps hostile files off the stack.
constexpr int kMaxDepth = 48;

// A data object with its values flattened: the scenes' templates are read back from
// the order of the numbers, which is the same in both encodings. Numbers are kept as
// the file's 32-bit cells (a bit per cell says float or integer), not widened, so a
// large body costs about what it weighs.
struct Node {
  std::string type;
  std::string name;
  bool isReference = false;  // `{ name }`
  std::vector<uint32_t> numbers;
  std::vector<bool> real;
  std::vector<std::string> strings;
  std::vector<Node> children;  // nested objects and references, in file order

  NumberCell number(std::size_t i) const { return {numbers[i], real[i]}; }
  // Takes the token's numbers. A large list (a binary mesh's vertices) is taken over or
  // copied once into a buffer of the size needed, and the token's buffer is let go, so
  // no list is held twice beyond the moment of the copy.
  void append(Token& token) {
    if (numbers.empty()) {
      numbers.swap(token.numbers);
    } else if (token.numbers.size() > 64) {
      std::vector<uint32_t> merged;
      merged.reserve(numbers.size() + token.numbers.size());
      merged.insert(merged.end(), numbers.begin(), numbers.end());
      merged.insert(merged.end(), token.numbers.begin(), token.numbers.end());
      numbers.swap(merged);
      std::vector<uint32_t>().swap(token.numbers);
    } else {
      // Growing by an eighth keeps appends cheap (text brings one number per token)
      // without doubling a list that is already large.
      const std::size_t need = numbers.size() + token.numbers.size();
      if (need > numbers.capacity()) numbers.reserve(need + numbers.size() / 8 + 16);
      numbers.insert(numbers.end(), token.numbers.begin(), token.numbers.end());
    }
    real.resize(numbers.size(), token.real);
  }
};

// Template names compared without regard to case, as exporters disagree on it.
bool sameType(const std::string& a, const char* b) {
  std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

class Parser {
 public:
  Parser(Lexer& lexer, std::string& error) : lexer_(lexer), error_(error) {}

  bool parseFile(std::vector<Node>& objects) {
    // Some exporters end the file with one closing brace too many. After the last
    // object its meaning is plain; anything but more of them after it is a file whose
    // braces do not match.
    bool strayClose = false;
    for (;;) {
      if (!advance()) return false;
      if (strayClose && tok_.kind != TokenKind::End && tok_.kind != TokenKind::CBrace &&
          tok_.kind != TokenKind::Separator)
        return fail("'}' without a matching '{'");
      switch (tok_.kind) {
        case TokenKind::End:
          return true;
        case TokenKind::Template:
          if (!skipTemplate()) return false;
          break;
        case TokenKind::Name: {
          Node node;
          node.type = tok_.text;
          if (!parseObject(node, 1)) return false;
          objects.push_back(std::move(node));
          break;
        }
        case TokenKind::CBrace:
          strayClose = true;
          break;
        case TokenKind::Separator:
          break;
        default:
          return fail("unexpected token at top level");
      }
    }
  }

 private:
  bool advance() { return lexer_.next(tok_, error_); }
  bool advanceToName() { return lexer_.nextName(tok_, error_); }
  bool fail(const std::string& why) {
    error_ = why + " (byte " + std::to_string(lexer_.offset()) + " of the body)";
    return false;
  }

  bool skipTemplate() {
    if (!advance()) return false;
    if (tok_.kind != TokenKind::Name) return fail("template without a name");
    if (!advance()) return false;
    if (tok_.kind != TokenKind::OBrace) return fail("template without a body");
    int depth = 1;
    while (depth > 0) {
      if (!advance()) return false;
      if (tok_.kind == TokenKind::End) return fail("unterminated template");
      if (tok_.kind == TokenKind::OBrace) ++depth;
      if (tok_.kind == TokenKind::CBrace) --depth;
    }
    return true;
  }

  // Called with the type name consumed.
  bool parseObject(Node& node, int depth) {
    if (depth > kMaxDepth) return fail("data objects nested too deeply");
    if (++objects_ > kMaxObjects)
      return fail("more than " + std::to_string(kMaxObjects) + " data objects, the limit for a scene");
    if (!advanceToName()) return false;
    if (tok_.kind == TokenKind::Name) {
      node.name = tok_.text;
      if (!advance()) return false;
    }
    if (tok_.kind == TokenKind::Guid && !advance()) return false;
    if (tok_.kind != TokenKind::OBrace) return fail("expected '{' after \"" + node.type + "\"");
    for (;;) {
      if (!advance()) return false;
      switch (tok_.kind) {
        case TokenKind::CBrace:
          return true;
        case TokenKind::Numbers:
          numbers_ += tok_.numbers.size();
          if (numbers_ > kMaxNumbers)
            return fail("more than " + std::to_string(kMaxNumbers) + " numbers, the limit for a scene");
          node.append(tok_);
          break;
        case TokenKind::String:
          node.strings.push_back(tok_.text);
          break;
        case TokenKind::Separator:
        case TokenKind::Guid:
          break;
        case TokenKind::Name: {
          Node child;
          child.type = tok_.text;
          if (!parseObject(child, depth + 1)) return false;
          node.children.push_back(std::move(child));
          break;
        }
        case TokenKind::OBrace: {
          if (++references_ > kMaxReferences)
            return fail("more than " + std::to_string(kMaxReferences) + " references, the limit for a scene");
          Node ref;
          ref.isReference = true;
          if (!advanceToName()) return false;
          if (tok_.kind != TokenKind::Name) return fail("reference without a name");
          ref.name = tok_.text;
          if (!advance()) return false;
          if (tok_.kind == TokenKind::Guid && !advance()) return false;
          if (tok_.kind != TokenKind::CBrace) return fail("unterminated reference");
          node.children.push_back(std::move(ref));
          break;
        }
        case TokenKind::End:
          return fail("file ends inside \"" + node.type + "\"");
        default:
          return fail("unexpected token inside \"" + node.type + "\"");
      }
    }
  }

  Lexer& lexer_;
  std::string& error_;
  Token tok_;
  std::size_t objects_ = 0, references_ = 0, numbers_ = 0;
};

// Reads a node's numbers in order, checking each against what is left.
class Values {
 public:
  Values(const Node& node, std::string& error) : node_(node), error_(error) {}

  bool fail(const std::string& why) {
    error_ = "\"" + node_.type + "\"" + (node_.name.empty() ? "" : " \"" + node_.name + "\"") +
             ": " + why;
    return false;
  }
  bool u32(uint32_t& out, const char* what) {
    if (i_ >= node_.numbers.size()) return fail(std::string("missing ") + what);
    const NumberCell c = node_.number(i_++);
    if (!c.real) {
      out = c.bits;
      return true;
    }
    const float v = c.asFloat();  // an integer some writers put in a float list
    if (!(v >= 0 && v < 4294967296.0f) || v != std::floor(v)) return fail(std::string("bad ") + what);
    out = static_cast<uint32_t>(v);
    return true;
  }
  // A count of items that need at least `perItem` numbers each: never more than what
  // the object holds, so no allocation follows a lying count.
  bool count(uint32_t& out, std::size_t perItem, const char* what) {
    if (!u32(out, what)) return false;
    if (perItem > 0 && out > (node_.numbers.size() - i_) / perItem)
      return fail(std::string(what) + " larger than the data that follows");
    return true;
  }
  bool f32(float& out, const char* what) {
    if (i_ >= node_.numbers.size()) return fail(std::string("missing ") + what);
    out = node_.number(i_++).asFloat();
    return true;
  }
  template <std::size_t N>
  bool floats(std::array<float, N>& out, const char* what) {
    for (float& f : out)
      if (!f32(f, what)) return false;
    return true;
  }
  bool index(uint32_t& out, uint32_t limit, const char* what) {
    if (!u32(out, what)) return false;
    if (out >= limit) return fail(std::string(what) + " out of range");
    return true;
  }
  bool faces(std::vector<XFace>& faces, uint32_t vertexCount, const char* what) {
    uint32_t n;
    if (!count(n, 1, "face count")) return false;
    faces.resize(n);
    for (XFace& face : faces) {
      uint32_t k;
      if (!count(k, 1, "face size")) return false;
      face.resize(k);
      for (uint32_t& v : face)
        if (!index(v, vertexCount, what)) return false;
    }
    return true;
  }

 private:
  const Node& node_;
  std::string& error_;
  std::size_t i_ = 0;
};

bool readMaterial(const Node& node, XMaterial& m, std::string& error) {
  Values v(node, error);
  m.name = node.name;
  if (!v.floats(m.faceColor, "face colour") || !v.f32(m.power, "power") ||
      !v.floats(m.specular, "specular colour") || !v.floats(m.emissive, "emissive colour"))
    return false;
  for (const Node& c : node.children) {
    if (c.isReference || !sameType(c.type, "TextureFilename")) continue;
    if (c.strings.empty()) return Values(c, error).fail("no file name");
    m.textureFile = c.strings.front();
  }
  return true;
}

bool readMaterialList(const Node& node, XMesh& mesh, std::string& error) {
  Values v(node, error);
  uint32_t materialCount, indexCount;
  if (!v.u32(materialCount, "material count") || !v.count(indexCount, 1, "face index count"))
    return false;
  mesh.hasMaterialList = true;
  mesh.faceMaterials.resize(indexCount);
  for (uint32_t& m : mesh.faceMaterials)
    if (!v.index(m, materialCount, "face material")) return false;
  for (const Node& c : node.children) {
    if (mesh.materials.size() == materialCount) break;
    XMaterialSlot slot;
    if (c.isReference) {
      slot.reference = c.name;
    } else if (sameType(c.type, "Material")) {
      if (!readMaterial(c, slot.material, error)) return false;
    } else {
      continue;
    }
    mesh.materials.push_back(std::move(slot));
  }
  if (mesh.materials.size() != materialCount)
    return v.fail("names " + std::to_string(materialCount) + " materials but holds " +
                  std::to_string(mesh.materials.size()));
  return true;
}

bool readMesh(const Node& node, XMesh& mesh, std::string& error) {
  Values v(node, error);
  mesh.name = node.name;
  uint32_t vertexCount;
  if (!v.count(vertexCount, 3, "vertex count")) return false;
  mesh.positions.resize(vertexCount);
  for (Float3& p : mesh.positions)
    if (!v.floats(p, "vertex")) return false;
  if (!v.faces(mesh.faces, vertexCount, "vertex index")) return false;

  for (const Node& c : node.children) {
    if (c.isReference) continue;
    if (sameType(c.type, "SkinWeights") || sameType(c.type, "XSkinMeshHeader")) {
      mesh.skinned = true;
    } else if (sameType(c.type, "MeshMaterialList")) {
      if (!readMaterialList(c, mesh, error)) return false;
    } else if (sameType(c.type, "MeshNormals")) {
      Values n(c, error);
      uint32_t normalCount;
      if (!n.count(normalCount, 3, "normal count")) return false;
      mesh.normals.resize(normalCount);
      for (Float3& p : mesh.normals)
        if (!n.floats(p, "normal")) return false;
      if (!n.faces(mesh.normalFaces, normalCount, "normal index")) return false;
      if (mesh.normalFaces.size() != mesh.faces.size())
        return n.fail("normal faces do not match the mesh faces");
      for (std::size_t f = 0; f < mesh.faces.size(); ++f)
        if (mesh.normalFaces[f].size() != mesh.faces[f].size())
          return n.fail("normal face " + std::to_string(f) + " has the wrong size");
      mesh.hasNormals = true;
    } else if (sameType(c.type, "MeshTextureCoords")) {
      Values t(c, error);
      uint32_t coordCount;
      if (!t.count(coordCount, 2, "coordinate count")) return false;
      if (coordCount != vertexCount) return t.fail("one coordinate pair per vertex expected");
      mesh.texCoords.resize(coordCount);
      for (auto& uv : mesh.texCoords)
        if (!t.floats(uv, "texture coordinate")) return false;
    }
  }
  return true;
}

bool readFrame(const Node& node, XFrame& frame, std::string& error) {
  frame.name = node.name;
  for (const Node& c : node.children) {
    if (c.isReference) {
      frame.meshReferences.push_back(c.name);
    } else if (sameType(c.type, "FrameTransformMatrix")) {
      Values v(c, error);
      std::array<float, 16> m;
      if (!v.floats(m, "matrix element")) return false;
      frame.transform = m;
    } else if (sameType(c.type, "Frame")) {
      frame.children.emplace_back();
      if (!readFrame(c, frame.children.back(), error)) return false;
    } else if (sameType(c.type, "Mesh")) {
      frame.meshes.emplace_back();
      if (!readMesh(c, frame.meshes.back(), error)) return false;
    }
  }
  return true;
}

bool readAnimationKey(const Node& node, XAnimationKey& key, std::string& error) {
  Values v(node, error);
  uint32_t type, keyCount;
  if (!v.u32(type, "key type")) return false;
  std::size_t width;
  switch (type) {
    case 0: width = 4; break;
    case 1:
    case 2: width = 3; break;
    case 4: width = 16; break;
    default: return v.fail("unknown key type " + std::to_string(type));
  }
  key.type = static_cast<KeyType>(type);
  if (!v.count(keyCount, 2 + width, "key count")) return false;
  key.keys.resize(keyCount);
  for (XTimedValues& k : key.keys) {
    uint32_t valueCount;
    if (!v.u32(k.time, "key time") || !v.u32(valueCount, "value count")) return false;
    if (valueCount != width) return v.fail("key with " + std::to_string(valueCount) + " values");
    k.values.resize(width);
    for (float& f : k.values)
      if (!v.f32(f, "key value")) return false;
  }
  return true;
}

bool readAnimation(const Node& node, XAnimation& anim, std::string& error) {
  anim.name = node.name;
  for (const Node& c : node.children) {
    if (c.isReference) {
      anim.frameName = c.name;
    } else if (sameType(c.type, "AnimationKey")) {
      anim.keys.emplace_back();
      if (!readAnimationKey(c, anim.keys.back(), error)) return false;
    } else if (sameType(c.type, "AnimationOptions")) {
      Values v(c, error);
      if (!v.u32(anim.openClosed, "open/closed option") ||
          !v.u32(anim.positionQuality, "position quality option"))
        return false;
      anim.hasOptions = true;
    } else if (sameType(c.type, "Frame") && anim.frameName.empty()) {
      anim.frameName = c.name;  // an animated frame given inline instead of by reference
    }
  }
  return true;
}

// Every animation and every timed key is work on each tick of the runtime and memory
// in the document: a file past the limits is refused from its nodes, before anything
// is built. A key's count is its object's second number.
bool checkAnimationLimits(const std::vector<Node>& objects, std::string& error) {
  std::size_t animations = 0, keys = 0;
  for (const Node& set : objects) {
    if (set.isReference || !sameType(set.type, "AnimationSet")) continue;
    for (const Node& a : set.children) {
      if (a.isReference || !sameType(a.type, "Animation")) continue;
      ++animations;
      for (const Node& k : a.children)
        if (!k.isReference && sameType(k.type, "AnimationKey") && k.numbers.size() >= 2)
          keys += k.real[1] ? 0 : k.numbers[1];
    }
  }
  if (animations > kMaxAnimations) {
    error = std::to_string(animations) + " animations, more than the limit of " +
            std::to_string(kMaxAnimations) + " for a scene";
    return false;
  }
  if (keys > kMaxAnimationKeys) {
    error = std::to_string(keys) + " animation keys, more than the limit of " +
            std::to_string(kMaxAnimationKeys) + " for a scene";
    return false;
  }
  return true;
}

bool readDocument(const std::vector<Node>& objects, XDocument& doc, std::string& error) {
  if (!checkAnimationLimits(objects, error)) return false;
  for (const Node& n : objects) {
    if (n.isReference) continue;
    if (sameType(n.type, "Material")) {
      doc.materials.emplace_back();
      if (!readMaterial(n, doc.materials.back(), error)) return false;
    } else if (sameType(n.type, "Mesh")) {
      doc.meshes.emplace_back();
      if (!readMesh(n, doc.meshes.back(), error)) return false;
    } else if (sameType(n.type, "Frame")) {
      doc.frames.emplace_back();
      if (!readFrame(n, doc.frames.back(), error)) return false;
    } else if (sameType(n.type, "AnimationSet")) {
      XAnimationSet set;
      set.name = n.name;
      for (const Node& c : n.children) {
        if (c.isReference || !sameType(c.type, "Animation")) continue;
        set.animations.emplace_back();
        if (!readAnimation(c, set.animations.back(), error)) return false;
      }
      doc.animationSets.push_back(std::move(set));
    }
    // Header and kinds the scenes do not use are skipped.
  }
  return true;
}

}  // namespace

ReadResult readXFile(std::span<const uint8_t> bytes) {
  ReadResult result;
  XHeader header;
  if (!parseHeader(bytes, header, result.error)) return result;
  std::span<const uint8_t> body = bytes.subspan(kHeaderSize);
  std::vector<uint8_t> inflated;
  if (header.compressed) {
    if (!inflateBody(body, inflated, result.error)) return result;
    body = inflated;
  }
  Lexer lexer(body, header.binary, header.doubles);
  std::vector<Node> objects;
  Parser parser(lexer, result.error);
  if (!parser.parseFile(objects)) {
    if (result.error.empty()) result.error = "malformed file";
    return result;
  }
  if (!readDocument(objects, result.document, result.error)) {
    result.document = {};
    if (result.error.empty()) result.error = "malformed data";
  }
  return result;
}

}  // namespace prismora::engine::xfile
