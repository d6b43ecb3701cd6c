// Hostile and huge scenes: every limit of the reader refuses with a message naming it,
// binding animations looks at each frame once however many animations there are, and a
// large body costs about what it weighs. Work is asserted by counts and limits, never
// by the clock.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/bytes.h"
#include "engine/scene/animation.h"
#include "engine/scene/frame.h"
#include "engine/xfile/loader.h"
#include "engine/xfile/mszip.h"
#include "engine/xfile/reader.h"
#include "tests/support/memory_limit.h"

using namespace prismora::engine;
using namespace prismora::engine::xfile;

namespace {

std::span<const uint8_t> bytesOf(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// Binary tokens, as an exporter writes them.
struct BinaryBody {
  std::vector<uint8_t> bytes;
  void u16(uint16_t v) { prismora::bytes::appendU16(bytes, v); }
  void u32(uint32_t v) { prismora::bytes::appendU32(bytes, v); }
  void name(const std::string& s) {
    u16(1);
    u32(uint32_t(s.size()));
    bytes.insert(bytes.end(), s.begin(), s.end());
  }
  void open() { u16(10); }
  void close() { u16(11); }
  void integers(const std::vector<uint32_t>& v) {
    u16(6);
    u32(uint32_t(v.size()));
    for (uint32_t x : v) u32(x);
  }
  void floats(std::size_t count, float value) {
    u16(7);
    u32(uint32_t(count));
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (std::size_t i = 0; i < count; ++i) u32(bits);
  }
  std::vector<uint8_t> file(bool compressed) const {
    std::string header = compressed ? "xof 0302bzip0032" : "xof 0302bin 0032";
    std::vector<uint8_t> out(header.begin(), header.end());
    if (!compressed) {
      out.insert(out.end(), bytes.begin(), bytes.end());
    } else {
      std::vector<uint8_t> packed = deflateBody(bytes);
      out.insert(out.end(), packed.begin(), packed.end());
    }
    return out;
  }
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// A small compressed file that inflates to half a million frames and as many animations,
// each naming a frame that is not there: a search per animation would walk every frame
// for each. It is refused at the object limit, having built no more than the limit.
TEST(XFileLimitsTest, AFrameAndAnimationBombIsRefusedAtTheObjectLimit) {
  constexpr int kCount = 500000;
  BinaryBody body;
  for (int i = 0; i < kCount; ++i) {
    body.name("Frame");
    body.name("part");
    body.open();
    body.close();
  }
  body.name("AnimationSet");
  body.open();
  for (int i = 0; i < kCount; ++i) {
    body.name("Animation");
    body.open();
    body.open();
    body.name("nowhere");
    body.close();
    body.close();
  }
  body.close();
  const std::vector<uint8_t> file = body.file(true);
  ASSERT_LT(file.size(), 200u * 1024) << "the bomb is small";
  ASSERT_LT(body.bytes.size(), kMaxInflatedBody);

  ReadResult read = readXFile(file);
  ASSERT_FALSE(read.ok());
  EXPECT_TRUE(Has(read.error, std::to_string(kMaxObjects))) << read.error;
  EXPECT_TRUE(Has(read.error, "data objects")) << read.error;
}

TEST(XFileLimitsTest, EachLimitRefusesWithAMessageNamingIt) {
  struct Case {
    std::string file, limit, what;
  };
  std::vector<Case> cases;
  {
    std::string f = "xof 0303txt 0032 ";
    for (std::size_t i = 0; i <= kMaxObjects; ++i) f += "Header{}";
    cases.push_back({f, std::to_string(kMaxObjects), "data objects"});
  }
  {
    std::string f = "xof 0303txt 0032 Frame a { ";
    for (std::size_t i = 0; i <= kMaxReferences; ++i) f += "{m}";
    cases.push_back({f + "}", std::to_string(kMaxReferences), "references"});
  }
  {
    std::string f = "xof 0303txt 0032 AnimationSet s { ";
    for (std::size_t i = 0; i <= kMaxAnimations; ++i) f += "Animation{}";
    cases.push_back({f + "}", std::to_string(kMaxAnimations), "animations"});
  }
  cases.push_back({"xof 0303txt 0032 AnimationSet s { Animation { AnimationKey { 2; " +
                       std::to_string(kMaxAnimationKeys + 1) + "; 0; 3; 0,0,0;; } } }",
                   std::to_string(kMaxAnimationKeys), "animation keys"});
  for (const Case& c : cases) {
    ReadResult r = readXFile(bytesOf(c.file));
    EXPECT_FALSE(r.ok()) << c.what;
    EXPECT_TRUE(Has(r.error, c.limit) && Has(r.error, c.what)) << c.what << " -> " << r.error;
  }
  // Numbers: a binary float list past the limit, in two lists so neither alone is.
  BinaryBody numbers;
  numbers.name("Mesh");
  numbers.open();
  numbers.floats(kMaxNumbers / 2 + 1, 0.5f);
  numbers.floats(kMaxNumbers / 2 + 1, 0.5f);
  numbers.close();
  ReadResult r = readXFile(numbers.file(false));
  EXPECT_TRUE(Has(r.error, std::to_string(kMaxNumbers)) && Has(r.error, "numbers")) << r.error;
  // The inflated size a compressed file declares.
  std::vector<uint8_t> claim{'x', 'o', 'f', ' ', '0', '3', '0', '2', 'b', 'z', 'i', 'p', '0', '0', '3', '2',
                             0xFF, 0xFF, 0xFF, 0x7F};
  r = readXFile(claim);
  EXPECT_TRUE(Has(r.error, std::to_string(kMaxInflatedBody >> 20) + " MB")) << r.error;
}

// Under the limits the same shape of file loads: every frame is looked at once in all,
// not once per animation, and the first frame of a name in depth-first order is bound.
TEST(XFileLimitsTest, BindingLooksAtEachFrameOnceWhateverTheAnimationCount) {
  Frame root("root");
  Frame& a = root.createChild("a");
  Frame& deep = a.createChild("twin");
  root.createChild("twin");
  constexpr int kFrames = 50000, kAnimations = 20000;
  for (int i = 0; i < kFrames; ++i) root.createChild("filler");
  AnimationSet set;
  for (int i = 0; i < kAnimations; ++i) {
    Animation anim;
    anim.frameName = i % 2 ? "nowhere" : "twin";
    set.animations.push_back(std::move(anim));
  }
  const BindCount count = set.bindCounted(root);
  EXPECT_EQ(count.bound, kAnimations / 2);
  EXPECT_EQ(count.framesVisited, std::size_t(kFrames + 4));
  EXPECT_EQ(set.animations[0].frame, &deep) << "depth first: the twin under a comes first";
  EXPECT_EQ(set.animations[1].frame, nullptr);
}

// A 24 MB body that is one mesh of two million vertices: the reader holds its numbers in
// the file's 32 bits and never twice at once, so the read costs about twice the body
// (the flattened numbers, then the mesh's positions), not five or more times.
TEST(XFileLimitsTest, AMeshBodyCostsAboutWhatItWeighs) {
  constexpr uint32_t kVertices = 2000000;
  BinaryBody body;
  body.name("Mesh");
  body.name("big");
  body.open();
  body.integers({kVertices});
  body.floats(std::size_t(kVertices) * 3, 0.25f);
  body.integers({1, 3, 0, 1, 2});
  body.close();
  const std::vector<uint8_t> file = body.file(false);

  // Run in a child with a limit well above the expected cost, so a regression is told
  // by its peak rather than ending the test process.
  const auto run = prismora::testsupport::RunUnderMemoryLimit(int64_t(file.size()) * 8, [&] {
    ReadResult r = readXFile(file);
    return r.ok() && r.document.meshes.at(0).positions.size() == kVertices ? 0 : 1;
  });
  ASSERT_TRUE(run.returned) << (run.overLimit ? "over the limit" : "crashed");
  EXPECT_EQ(run.result, 0);
  EXPECT_LT(run.peakBytes, int64_t(file.size()) * 5 / 2)
      << "read cost " << run.peakBytes << " bytes for a " << file.size() << "-byte file";
}
