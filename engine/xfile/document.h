// The content of a .x file as plain records, one struct per data object kind that the
// scenes use. The reader fills it, the writer writes it, the loader turns it into scene
// frames, meshes and an animation set.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace prismora::engine::xfile {

using Float3 = std::array<float, 3>;
using Float4 = std::array<float, 4>;

struct XMaterial {
  std::string name;
  Float4 faceColor{1, 1, 1, 1};
  float power = 0;
  Float3 specular{0, 0, 0};
  Float3 emissive{0, 0, 0};
  std::string textureFile;  // TextureFilename child; empty when absent
  friend bool operator==(const XMaterial&, const XMaterial&) = default;
};

// A MeshMaterialList entry: a material of its own, or a reference `{ name }` to a
// material defined earlier at the top level.
struct XMaterialSlot {
  std::string reference;  // non-empty: a reference
  XMaterial material;     // used when reference is empty
  friend bool operator==(const XMaterialSlot&, const XMaterialSlot&) = default;
};

using XFace = std::vector<uint32_t>;  // vertex indices of one polygon

struct XMesh {
  std::string name;
  std::vector<Float3> positions;
  std::vector<XFace> faces;
  // MeshMaterialList: one material index per face (a list shorter than the faces
  // repeats its last entry, as the format allows).
  bool hasMaterialList = false;
  std::vector<uint32_t> faceMaterials;
  std::vector<XMaterialSlot> materials;
  // MeshNormals: normals and one normal-index polygon per face.
  bool hasNormals = false;
  std::vector<Float3> normals;
  std::vector<XFace> normalFaces;
  // MeshTextureCoords: one (u, v) per position.
  std::vector<std::array<float, 2>> texCoords;
  // SkinWeights (or an XSkinMeshHeader) inside: the mesh is skinned. Its bones place it,
  // never the frame it sits in: its vertices are its bind pose in the space of the
  // scene's own root. Not written back: a written scene has the mesh where it shows.
  bool skinned = false;
  friend bool operator==(const XMesh&, const XMesh&) = default;
};

struct XFrame {
  std::string name;
  std::optional<std::array<float, 16>> transform;  // FrameTransformMatrix, row by row
  std::vector<XFrame> children;
  std::vector<XMesh> meshes;
  std::vector<std::string> meshReferences;  // `{ name }` of top-level meshes
  friend bool operator==(const XFrame&, const XFrame&) = default;
};

enum class KeyType : uint32_t { Rotation = 0, Scale = 1, Position = 2, Matrix = 4 };

struct XTimedValues {
  uint32_t time = 0;
  std::vector<float> values;  // 4 (w,x,y,z) rotation, 3 scale/position, 16 matrix
  friend bool operator==(const XTimedValues&, const XTimedValues&) = default;
};

struct XAnimationKey {
  KeyType type = KeyType::Rotation;
  std::vector<XTimedValues> keys;
  friend bool operator==(const XAnimationKey&, const XAnimationKey&) = default;
};

struct XAnimation {
  std::string name;
  std::string frameName;  // from the `{ name }` reference inside the Animation
  std::vector<XAnimationKey> keys;
  bool hasOptions = false;
  uint32_t openClosed = 0;       // 0 closed, 1 open
  uint32_t positionQuality = 1;  // 0 spline, 1 linear
  friend bool operator==(const XAnimation&, const XAnimation&) = default;
};

struct XAnimationSet {
  std::string name;
  std::vector<XAnimation> animations;
  friend bool operator==(const XAnimationSet&, const XAnimationSet&) = default;
};

struct XDocument {
  std::vector<XMaterial> materials;  // top-level, referable from meshes
  std::vector<XMesh> meshes;         // top-level, referable from frames
  std::vector<XFrame> frames;
  std::vector<XAnimationSet> animationSets;
  friend bool operator==(const XDocument&, const XDocument&) = default;
};

}  // namespace prismora::engine::xfile
