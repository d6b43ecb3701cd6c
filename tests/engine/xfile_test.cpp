// .x reading in both encodings, writing, round trips and loading into the scene model.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "engine/scene/scene.h"
#include "engine/xfile/loader.h"
#include "engine/xfile/reader.h"
#include "engine/xfile/writer.h"

using namespace prismora::engine;
using namespace prismora::engine::xfile;

namespace {

std::span<const uint8_t> bytesOf(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// A text file with a template declaration, a header, an unknown object, a top-level
// material referred to by name, an inline material, normals, texture coordinates and
// an animation referring to its frame.
const char* kTextScene = R"(xof 0303txt 0032
// comment
template Vector {
 <3D82AB5E-62DA-11cf-AB39-0020AF71E433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}
Header { 1; 0; 1; }
SomethingUnknown odd { 1; 2; "text"; Nested { 3; } }
Material x3ds_mat_x1_-_Default {
 1.000000;1.000000;1.000000;1.000000;;
 17.000000;
 0.000000;0.000000;0.000000;;
 0.000000;0.000000;0.000000;;
 TextureFilename { "photo.bmp"; }
}
Frame x3ds____t___ {
 FrameTransformMatrix {
  1.0,0.0,0.0,0.0,
  0.0,1.0,0.0,0.0,
  0.0,0.0,1.0,0.0,
  5.0,-6.5,7.25e1,1.0;;
 }
 Mesh quad {
  4;
  -1.0;-1.0;0.0;,
  -1.0;1.0;0.0;,
  1.0;1.0;0.0;,
  1.0;-1.0;0.0;;
  2;
  4;0,1,2,3;,
  3;0,2,3;;
  MeshMaterialList {
   2;
   2;
   0,
   1;;
   { x3ds_mat_x1_-_Default }
   Material red { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.1;0.0;0.0;; TextureFilename { "red.bmp"; } }
  }
  MeshNormals {
   1;
   0.0;0.0;-1.0;;
   2;
   4;0,0,0,0;,
   3;0,0,0;;
  }
  MeshTextureCoords {
   4;
   0.0;1.0;, 0.0;0.0;, 1.0;0.0;, 1.0;1.0;;
  }
 }
 Frame child { }
}
AnimationSet x3ds_animset_0 {
 Animation x3ds_anim_0 {
  { x3ds____t___ }
  AnimationKey { 2; 2; 0;3;0.0,0.0,0.0;;, 10;3;10.0,0.0,0.0;;; }
  AnimationKey { 0; 1; 0;4;1.0,0.0,0.0,0.0;;; }
  AnimationOptions { 1; 1; }
 }
}
)";

// Binary token writer for hand-made files.
struct Bin {
  std::string s;
  explicit Bin(const char* header) : s(header) {}
  Bin& w(uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); return *this; }
  Bin& d(uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); return *this; }
  Bin& name(const std::string& n) { w(1).d(static_cast<uint32_t>(n.size())); s += n; return *this; }
  // A string token alone; the format's description ends it with a 32-bit `;`.
  Bin& text(const std::string& n) { w(2).d(static_cast<uint32_t>(n.size())); s += n; return *this; }
  Bin& str(const std::string& n) { return text(n).d(20); }
  Bin& ints(std::initializer_list<uint32_t> v) {
    w(6).d(static_cast<uint32_t>(v.size()));
    for (uint32_t x : v) d(x);
    return *this;
  }
  Bin& floats(std::initializer_list<double> v, bool doubles) {
    w(7).d(static_cast<uint32_t>(v.size()));
    for (double x : v) {
      if (doubles) s.append(reinterpret_cast<const char*>(&x), 8);
      else { float f = static_cast<float>(x); s.append(reinterpret_cast<const char*>(&f), 4); }
    }
    return *this;
  }
  Bin& open() { return w(10); }
  Bin& close() { return w(11); }
  Bin& guid() { w(5); s.append(16, '\x11'); return *this; }
};

std::string binaryScene(bool doubles) {
  Bin b(doubles ? "xof 0302bin 0064" : "xof 0302bin 0032");
  // A template declaration: skipped by brace matching, whatever its tokens.
  b.w(31).name("Vector").open().guid().w(42).name("x").w(20).w(42).name("y").w(20).close();
  b.name("Material").name("white").open().floats({1, 1, 1, 1, 17, 0, 0, 0, 0, 0, 0}, doubles);
  b.name("TextureFilename").open().str("tex.bmp").close().close();
  b.name("Frame").name("x3ds___v_____").open();
  b.name("Mesh").name("tri").open().ints({3}).floats({0, 0, 0, 0, 1, 0, 1, 0, 0}, doubles);
  b.ints({1, 3, 0, 1, 2});
  b.name("MeshMaterialList").open().ints({1, 1, 0}).open().name("white").close().close();
  b.name("VertexDuplicationIndices").open().ints({3, 3, 0, 1, 2}).close();  // unknown: skipped
  b.close().close();
  b.name("AnimationSet").name("set").open().name("Animation").open();
  b.open().name("x3ds___v_____").guid().close();
  b.name("AnimationKey").open().ints({2, 2, 0, 3}).floats({1, 2, 3}, doubles);
  b.ints({480, 3}).floats({4, 5, 6}, doubles).close().close().close();
  return b.s;
}

}  // namespace

TEST(XFileReaderTest, ReadsTextWithReferencesSkippedTemplatesAndUnknownObjects) {
  ReadResult r = readXFile(bytesOf(kTextScene));
  ASSERT_TRUE(r.ok()) << r.error;
  const XDocument& d = r.document;
  ASSERT_EQ(d.materials.size(), 1u);
  EXPECT_EQ(d.materials[0].name, "x3ds_mat_x1_-_Default");
  EXPECT_FLOAT_EQ(d.materials[0].power, 17);
  EXPECT_EQ(d.materials[0].textureFile, "photo.bmp");

  ASSERT_EQ(d.frames.size(), 1u);
  const XFrame& f = d.frames[0];
  EXPECT_EQ(f.name, "x3ds____t___");
  ASSERT_TRUE(f.transform.has_value());
  EXPECT_FLOAT_EQ((*f.transform)[12], 5.0f);
  EXPECT_FLOAT_EQ((*f.transform)[13], -6.5f);
  EXPECT_FLOAT_EQ((*f.transform)[14], 72.5f);
  ASSERT_EQ(f.children.size(), 1u);
  EXPECT_EQ(f.children[0].name, "child");

  ASSERT_EQ(f.meshes.size(), 1u);
  const XMesh& m = f.meshes[0];
  EXPECT_EQ(m.positions.size(), 4u);
  ASSERT_EQ(m.faces.size(), 2u);
  EXPECT_EQ(m.faces[0], (XFace{0, 1, 2, 3}));
  EXPECT_EQ(m.faceMaterials, (std::vector<uint32_t>{0, 1}));
  ASSERT_EQ(m.materials.size(), 2u);
  EXPECT_EQ(m.materials[0].reference, "x3ds_mat_x1_-_Default");
  EXPECT_EQ(m.materials[1].material.name, "red");
  EXPECT_EQ(m.materials[1].material.textureFile, "red.bmp");
  EXPECT_FLOAT_EQ(m.materials[1].material.emissive[0], 0.1f);
  EXPECT_TRUE(m.hasNormals);
  EXPECT_EQ(m.texCoords.size(), 4u);
  EXPECT_FLOAT_EQ(m.texCoords[3][1], 1.0f);

  ASSERT_EQ(d.animationSets.size(), 1u);
  const XAnimation& a = d.animationSets[0].animations.at(0);
  EXPECT_EQ(a.frameName, "x3ds____t___");
  ASSERT_EQ(a.keys.size(), 2u);
  EXPECT_EQ(a.keys[0].type, KeyType::Position);
  EXPECT_EQ(a.keys[0].keys[1].time, 10u);
  EXPECT_FLOAT_EQ(a.keys[0].keys[1].values[0], 10.0f);
  EXPECT_EQ(a.keys[1].type, KeyType::Rotation);
  EXPECT_TRUE(a.hasOptions);
  EXPECT_EQ(a.openClosed, 1u);
}

TEST(XFileReaderTest, ReadsBinaryWith32And64BitFloats) {
  for (bool doubles : {false, true}) {
    std::string file = binaryScene(doubles);
    ReadResult r = readXFile(bytesOf(file));
    ASSERT_TRUE(r.ok()) << r.error;
    const XDocument& d = r.document;
    ASSERT_EQ(d.materials.size(), 1u);
    EXPECT_EQ(d.materials[0].textureFile, "tex.bmp");
    ASSERT_EQ(d.frames.size(), 1u);
    const XMesh& m = d.frames[0].meshes.at(0);
    EXPECT_EQ(m.positions[1], (Float3{0, 1, 0}));
    EXPECT_EQ(m.materials.at(0).reference, "white");
    const XAnimation& a = d.animationSets.at(0).animations.at(0);
    EXPECT_EQ(a.frameName, "x3ds___v_____");
    EXPECT_EQ(a.keys.at(0).keys.at(1).time, 480u);
    EXPECT_FLOAT_EQ(a.keys[0].keys[1].values[2], 6.0f);
  }
}

TEST(XFileReaderTest, StringsEndedByTheTwoByteSeparatorTokenAsExportersWriteThem) {
  Bin b("xof 0302bin 0032");
  b.name("Material").name("m").open().floats({1, 0.5, 0.25, 1, 17, 0, 0, 0, 0, 0, 0}, false);
  b.name("TextureFilename").open().text("photo.bmp").w(20).close();
  // A string list, its last string right before the closing brace.
  b.name("Annotations").open().text("one").w(19).text("two").w(20).text("three").close();
  b.close();
  ReadResult r = readXFile(bytesOf(b.s));
  ASSERT_TRUE(r.ok()) << r.error;
  ASSERT_EQ(r.document.materials.size(), 1u);
  EXPECT_EQ(r.document.materials[0].textureFile, "photo.bmp");
  EXPECT_FLOAT_EQ(r.document.materials[0].faceColor[2], 0.25f);

  // Our writer ends strings the same way.
  std::vector<uint8_t> ours = writeBinaryXFile(r.document);
  EXPECT_NE(std::string(ours.begin(), ours.end()).find(std::string("photo.bmp\x14\x00\x0b\x00", 13)), std::string::npos);
}

TEST(XFileReaderTest, DoublesBeyondFloatRangeSaturate) {
  Bin b("xof 0302bin 0064");
  b.name("Mesh").open().ints({1}).floats({1e300, -1e300, 0.5}, true).ints({0}).close();
  ReadResult r = readXFile(bytesOf(b.s));
  ASSERT_TRUE(r.ok()) << r.error;
  const Float3& p = r.document.meshes.at(0).positions.at(0);
  EXPECT_TRUE(std::isinf(p[0]) && p[0] > 0);
  EXPECT_TRUE(std::isinf(p[1]) && p[1] < 0);
  EXPECT_FLOAT_EQ(p[2], 0.5f);
}

TEST(XFileReaderTest, MalformedFilesGiveReasons) {
  struct Case {
    std::string file, reasonPart;
  };
  std::string good = binaryScene(false);
  std::vector<Case> cases{
      {"xof 03", "shorter than"},
      {"abc 0302bin 0032", "magic"},
      {"xof 0302tzip0032", "compressed"},
      {"xof 0302bin 0016", "float size"},
      {"xof 0303txt 0032 Frame a { Mesh { 1; 0;0;0;; 1; 3; 0,1,2;; } }", "out of range"},
      {"xof 0303txt 0032 Mesh { 1000000; 0;0;0;; }", "larger than the data"},
      {"xof 0303txt 0032 Frame a { Frame b {", "file ends"},
      {"xof 0303txt 0032 Material m { 1;1;1;1;; 0; TextureFilename { \"x.bmp\"; } }", "missing"},
      {"xof 0303txt 0032 Mesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 2; 1; 0;; } }",
       "holds 0"},
      {"xof 0303txt 0032 AnimationSet { Animation { AnimationKey { 3; 0; } } }", "key type"},
      {"xof 0303txt 0032 AnimationSet { Animation { AnimationKey { 2; 1; 0; 4; 1,2,3,4;; } } }",
       "4 values"},
      {"xof 0303txt 0032 Frame a { \"unterminated", "unterminated string"},
      {"xof 0303txt 0032 Frame a { @ }", "unexpected character"},
      {good.substr(0, good.size() - 3), "truncated"},
      {std::string("xof 0302bin 0032") + std::string("\x63\x00", 2), "unknown token"},
  };
  for (const Case& c : cases) {
    ReadResult r = readXFile(bytesOf(c.file));
    EXPECT_FALSE(r.ok()) << c.file;
    EXPECT_NE(r.error.find(c.reasonPart), std::string::npos) << c.file << " -> " << r.error;
  }
  std::string deep = "xof 0303txt 0032 ";
  for (int i = 0; i < 10000; ++i) deep += "Frame {";
  EXPECT_NE(readXFile(bytesOf(deep)).error.find("nested too deeply"), std::string::npos);
}

TEST(XFileWriterTest, BinaryRoundTripGivesTheSameDocument) {
  ReadResult text = readXFile(bytesOf(kTextScene));
  ASSERT_TRUE(text.ok()) << text.error;
  XDocument doc = text.document;
  doc.meshes.push_back(doc.frames[0].meshes[0]);
  doc.meshes.back().name = "shared";
  doc.frames[0].children[0].meshReferences.push_back("shared");
  doc.frames[0].meshes[0].texCoords.clear();  // optional parts may be absent
  doc.frames[0].meshes[0].hasNormals = false;
  doc.frames[0].meshes[0].normals.clear();
  doc.frames[0].meshes[0].normalFaces.clear();

  std::vector<uint8_t> bytes = writeBinaryXFile(doc);
  ASSERT_GE(bytes.size(), 16u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 16), "xof 0302bin 0032");
  ReadResult back = readXFile(bytes);
  ASSERT_TRUE(back.ok()) << back.error;
  EXPECT_EQ(back.document, doc);
  EXPECT_EQ(writeBinaryXFile(back.document), bytes);
}

TEST(XFileLoaderTest, LoadsFramesMeshGroupsMaterialsAndBindsTheAnimation) {
  Scene scene;
  LoadResult r = loadXFile(bytesOf(kTextScene), scene.root, scene.animation);
  ASSERT_TRUE(r.ok()) << r.error;
  ASSERT_EQ(scene.root.childCount(), 2u);  // camera, then the file's frame
  Frame& f = scene.root.child(1);
  EXPECT_EQ(f.name(), "x3ds____t___");
  ASSERT_EQ(f.visuals().size(), 1u);
  const Mesh& mesh = *f.visuals()[0];
  ASSERT_EQ(mesh.groups.size(), 2u);
  EXPECT_EQ(mesh.triangleCount(), 3u);  // the quad as a fan of two, plus one triangle
  const MeshGroup& g0 = mesh.groups[0];
  EXPECT_EQ(g0.material->textureFile, "photo.bmp");
  EXPECT_EQ(g0.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
  EXPECT_EQ(g0.vertices[1].uv, (Vec2{0, 0}));
  EXPECT_EQ(g0.vertices[0].normal, (Vec3{0, 0, -1}));
  EXPECT_EQ(mesh.groups[1].material->name, "red");
  EXPECT_EQ(mesh.groups[1].vertices.size(), 3u);  // its own vertex array

  // FrameTransformMatrix, then the animation takes over when time is set.
  EXPECT_EQ(f.position(nullptr), (Vec3{5, -6.5f, 72.5f}));
  ASSERT_EQ(scene.animation.animations.size(), 1u);
  EXPECT_EQ(scene.animation.animations[0].frame, &f);
  EXPECT_FALSE(scene.animation.animations[0].closed);
  scene.animation.setTime(5);
  EXPECT_EQ(f.position(nullptr), (Vec3{5, 0, 0}));
}

TEST(XFileLoaderTest, UnknownReferencesFailWithoutTouchingTheParent) {
  XDocument doc;
  XFrame frame;
  frame.name = "f";
  frame.meshReferences.push_back("ghost");
  doc.frames.push_back(frame);
  Frame root;
  AnimationSet set;
  EXPECT_NE(loadDocument(doc, root, set).error.find("ghost"), std::string::npos);
  EXPECT_EQ(root.childCount(), 0u);

  XMesh mesh;
  mesh.positions = {{0, 0, 0}};
  mesh.faces = {{0, 0, 7}};  // a hand-built document is checked as carefully as a file
  doc.frames[0].meshReferences.clear();
  doc.frames[0].meshes.push_back(mesh);
  EXPECT_FALSE(loadDocument(doc, root, set).ok());
  EXPECT_EQ(root.childCount(), 0u);
}

// What exporters write where the meaning is plain: object and reference names starting
// with a digit, and a closing brace too many after the last object. Braces that do not
// match anywhere else are still refused.
TEST(XFileReaderTest, AcceptsExportersDigitNamesAndAStrayFinalBrace) {
  const std::string digits = R"(xof 0303txt 0032
Frame 294_screen {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 2.5,0,0,1;; }
  Frame 7 { }
}
AnimationSet 01_set { Animation { { 294_screen } AnimationKey { 2; 1; 0; 3; 1.5,0,0;;; } } }
})";
  ReadResult r = readXFile(bytesOf(digits));
  ASSERT_TRUE(r.ok()) << r.error;
  ASSERT_EQ(r.document.frames.size(), 1u);
  EXPECT_EQ(r.document.frames[0].name, "294_screen");
  ASSERT_TRUE(r.document.frames[0].transform);
  EXPECT_FLOAT_EQ((*r.document.frames[0].transform)[12], 2.5f) << "numbers after the name still read";
  ASSERT_EQ(r.document.frames[0].children.size(), 1u);
  EXPECT_EQ(r.document.frames[0].children[0].name, "7");
  ASSERT_EQ(r.document.animationSets.size(), 1u);
  EXPECT_EQ(r.document.animationSets[0].name, "01_set");
  EXPECT_EQ(r.document.animationSets[0].animations.at(0).frameName, "294_screen");

  for (const char* broken : {
           "xof 0303txt 0032 Frame a { } } Frame b { }",       // a '}' between objects
           "xof 0303txt 0032 Frame a { Frame b { } } } } Mesh m { 0;; 0;; }",
           "xof 0303txt 0032 Frame a { Frame b { }",           // one '}' short
           "xof 0303txt 0032 } Frame a { }",                   // a '}' before anything
       }) {
    ReadResult b = readXFile(bytesOf(broken));
    EXPECT_FALSE(b.ok()) << broken;
    EXPECT_FALSE(b.error.empty()) << broken;
  }
  // A digit in a place where numbers belong is still a number.
  ReadResult numbers = readXFile(bytesOf("xof 0303txt 0032 Mesh m { 3; 0,0,0;, 1,0,0;, 0,1,0;; 1; 3; 0,1,2;; }"));
  ASSERT_TRUE(numbers.ok()) << numbers.error;
  EXPECT_EQ(numbers.document.meshes.at(0).positions.size(), 3u);
}

TEST(XFileReaderTest, MeshesWithSkinWeightsAreMarkedSkinned) {
  const std::string text = R"(xof 0303txt 0032
Frame body {
  FrameTransformMatrix { 1,0,0,0, 0,0,1,0, 0,-1,0,0, 0,5,0,1;; }
  Mesh skin { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;
    XSkinMeshHeader { 1; 1; 1; }
    SkinWeights { "bone"; 1; 0; 1.0;; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; } }
  Mesh plain { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
}
Frame bone { })";
  ReadResult r = readXFile(bytesOf(text));
  ASSERT_TRUE(r.ok()) << r.error;
  ASSERT_EQ(r.document.frames.at(0).meshes.size(), 2u);
  EXPECT_TRUE(r.document.frames[0].meshes[0].skinned);
  EXPECT_FALSE(r.document.frames[0].meshes[1].skinned);
  // Loaded, the skinned mesh hangs at the root of the load, its bind pose untouched;
  // the plain one stays in its frame.
  Frame root("root");
  AnimationSet set;
  ASSERT_TRUE(loadDocument(r.document, root, set).ok());
  ASSERT_EQ(root.visuals().size(), 1u);
  EXPECT_EQ(root.visuals()[0]->name, "skin");
  ASSERT_EQ(root.child(0).visuals().size(), 1u);
  EXPECT_EQ(root.child(0).visuals()[0]->name, "plain");
}
