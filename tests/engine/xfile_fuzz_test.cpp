// The reader and loader on damaged copies of a real scene, plain and compressed: every
// truncation and a few thousand seeded byte mutations must end in a result (an error or
// a document), never in a crash or a sanitizer report.
#include <gtest/gtest.h>

#include <random>

#include "engine/scene/scene.h"
#include "engine/xfile/loader.h"
#include "engine/xfile/reader.h"
#include "engine/xfile/writer.h"
#include "tools/scenegen/templates.h"

using namespace prismora;
using namespace prismora::engine;
using namespace prismora::engine::xfile;

namespace {

// Loads whatever reads, so the loader sees odd but well-formed documents too.
bool readAndLoad(const std::vector<uint8_t>& bytes) {
  ReadResult r = readXFile(bytes);
  if (!r.ok()) {
    EXPECT_FALSE(r.error.empty());
    return false;
  }
  Scene scene;
  if (loadDocument(r.document, scene.root, scene.animation).ok()) scene.animation.setTime(240);
  return true;
}

// One to eight edits: any byte, one bit, a huge count or a token id.
void mutate(std::vector<uint8_t>& bytes, std::mt19937& rng) {
  int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    std::size_t at = rng() % bytes.size();
    switch (rng() % 4) {
      case 0: bytes[at] = static_cast<uint8_t>(rng()); break;
      case 1: bytes[at] ^= static_cast<uint8_t>(1u << (rng() % 8)); break;
      case 2: bytes[at] = 0xFF; break;
      default:
        bytes[at] = static_cast<uint8_t>(rng() % 54);
        if (at + 1 < bytes.size()) bytes[at + 1] = 0;
    }
  }
}

}  // namespace

TEST(XFileFuzzTest, EveryTruncationOfARealSceneFailsCleanly) {
  std::vector<uint8_t> full = scenegen::sceneBytes(scenegen::buildTemplate(1));
  ASSERT_TRUE(readAndLoad(full));
  int accepted = 0;
  for (std::size_t n = 0; n < full.size(); ++n) {
    std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    if (readAndLoad(cut)) ++accepted;
  }
  // A cut between two top-level objects leaves a shorter valid file; anything else
  // must be refused.
  EXPECT_LT(accepted, 40);
}

TEST(XFileFuzzTest, SeededMutationsOfTheShippedSceneNeverCrash) {
  std::vector<uint8_t> original =
      scenegen::sceneBytes(scenegen::buildTemplate(scenegen::kShippedTemplate));
  std::mt19937 rng(20261207);
  int refused = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bytes = original;
    mutate(bytes, rng);
    if (!readAndLoad(bytes)) ++refused;
  }
  EXPECT_GT(refused, 100);  // the damage is noticed, not silently absorbed every time
}

TEST(XFileFuzzTest, DamagedCompressedScenesFailCleanly) {
  const XDocument doc = scenegen::buildTemplate(1).document;
  std::mt19937 rng(20261208);
  for (bool text : {false, true}) {
    SCOPED_TRACE(text ? "tzip" : "bzip");
    const std::vector<uint8_t> full = writeXFile(doc, {.text = text, .compressed = true});
    ASSERT_TRUE(readAndLoad(full));
    // The size field asks for every block: no cut is a shorter valid file.
    for (std::size_t n = 0; n < full.size(); ++n)
      EXPECT_FALSE(readAndLoad(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)))) << n;
    int refused = 0;
    for (int round = 0; round < 1500; ++round) {
      std::vector<uint8_t> bytes = full;
      mutate(bytes, rng);
      if (!readAndLoad(bytes)) ++refused;
    }
    EXPECT_GT(refused, 1000);  // damaged deflate data rarely still inflates to the size
  }
}
