// The scene importer over .x files that other exporters wrote (the test scenes of
// Debian's assimp source package, which the bootstrap unpacks into .deps; they are
// not part of this repository), and over truncated and bit-flipped copies of each:
// every file imports or is refused with a message naming it, without a crash and
// within a memory limit. Without the files the test fails and says how to get them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "builder/scenes/scene_import.h"
#include "tests/support/memory_limit.h"

using namespace prismora;
using namespace prismora::scenes;
namespace fs = std::filesystem;

namespace {

fs::path ModelsFolder() {
  const char* source = std::getenv("PRISMORA_SOURCE_DIR");
  return fs::path(source ? source : ".") / ".deps" / "src" / "assimp" / "models";
}

std::vector<fs::path> SceneFiles() {
  std::vector<fs::path> found;
  std::error_code ec;
  for (const char* sub : {"X", "invalid"}) {
    for (fs::directory_iterator it(ModelsFolder() / sub, ec), end; !ec && it != end; it.increment(ec)) {
      std::string ext = it->path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
      if (it->is_regular_file() && ext == ".x") found.push_back(it->path());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Imports in a child process under a memory limit: 0 imported, 1 refused with a message
// that names the file, 2 refused without naming it.
testsupport::LimitedRun ImportLimited(const std::vector<uint8_t>& bytes, const std::string& name,
                                      bool say = false) {
  constexpr int64_t kLimit = 512ll << 20;
  return testsupport::RunUnderMemoryLimit(kLimit, [&] {
    const ImportResult r = ImportScene(bytes, name);
    if (say) std::printf("%-32s %s\n", name.c_str(), r.ok() ? "imported" : r.error.c_str());
    std::fflush(stdout);
    if (r.ok()) return 0;
    return r.error.find(name) != std::string::npos ? 1 : 2;
  });
}

void ExpectEnds(const std::vector<uint8_t>& bytes, const std::string& name, const std::string& what) {
  const testsupport::LimitedRun run = ImportLimited(bytes, name);
  ASSERT_TRUE(run.returned) << what << (run.overLimit ? ": over the memory limit" : ": crashed");
  EXPECT_NE(run.result, 2) << what << ": refused with a message that does not name the file";
}

}  // namespace

TEST(ForeignScenesTest, EveryExportersSceneImportsOrIsRefusedByName) {
  const std::vector<fs::path> files = SceneFiles();
  ASSERT_GE(files.size(), 5u) << "the .x test scenes are missing from " << ModelsFolder()
                              << "; run scripts/bootstrap.sh to fetch them";
  int imported = 0;
  for (const fs::path& path : files) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    const std::string name = path.filename().string();
    const testsupport::LimitedRun run = ImportLimited(bytes, name, true);
    ASSERT_TRUE(run.returned) << name << (run.overLimit ? ": over the memory limit" : ": crashed");
    EXPECT_NE(run.result, 2) << name;
    if (run.result == 0) ++imported;
  }
  // Scenes whose faces name no picture have no place for photos and are refused (by
  // name, as every refusal); those that name pictures import.
  EXPECT_GE(imported, 2);
}

TEST(ForeignScenesTest, TruncatedAndBitFlippedCopiesEndCleanly) {
  const std::vector<fs::path> files = SceneFiles();
  ASSERT_GE(files.size(), 5u) << "the .x test scenes are missing from " << ModelsFolder()
                              << "; run scripts/bootstrap.sh to fetch them";
  std::mt19937 rng(26);
  for (const fs::path& path : files) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    if (bytes.empty()) continue;
    const std::string name = path.filename().string();
    // Cuts spread over the file, the header's edge among them.
    for (std::size_t cut : {std::size_t(1), std::size_t(15), std::size_t(16), std::size_t(17)})
      if (cut < bytes.size())
        ExpectEnds({bytes.begin(), bytes.begin() + std::ptrdiff_t(cut)}, name, name + " cut at " + std::to_string(cut));
    for (int i = 1; i <= 6; ++i) {
      const std::size_t cut = bytes.size() * std::size_t(i) / 7;
      ExpectEnds({bytes.begin(), bytes.begin() + std::ptrdiff_t(cut)}, name, name + " cut at " + std::to_string(cut));
    }
    // Single and clustered bit flips anywhere past the header.
    for (int i = 0; i < 12; ++i) {
      std::vector<uint8_t> copy = bytes;
      const int flips = 1 + int(rng() % 4);
      std::string where;
      for (int f = 0; f < flips; ++f) {
        const std::size_t at = rng() % copy.size();
        copy[at] ^= uint8_t(1u << (rng() % 8));
        where += " " + std::to_string(at);
      }
      ExpectEnds(copy, name, name + " with bits flipped at" + where);
    }
  }
}
