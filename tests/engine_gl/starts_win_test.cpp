// The screen saver's start, hundreds of times for every scene: each start loads the scene
// afresh and begins at a random animation time, as the runtime does. Drawing order, frame
// conventions and animation sampling meet every pose there, so a start that reads or sorts
// out of bounds somewhere in a scene's loop ends the renderer, and the test sees it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "builder/scenes/scene_import.h"
#include "engine/gl/bmp.h"
#include "engine/xfile/writer.h"
#include "tests/scenes/box_scene.h"
#include "tests/support/run_program.h"
#include "tests/engine_gl/render_tool.h"
#include "tests/support/temp_folder.h"

using namespace prismora;
using testsupport::FileExists;
using testsupport::Here;
using testsupport::SourceFolder;

namespace {

constexpr int kStarts = 200;


void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

// A scene of the user's own, as the import makes it: several boxes side by side (so the
// drawing order has something to sort), fitted, turning, with its template block.
void WriteImportedScene(const std::string& scenePath, const std::string& blockPath) {
  engine::xfile::XDocument doc = testsupport::BoxScene({-60, 0, 0}, 1.0f);
  for (float x : {-20.0f, 20.0f, 60.0f}) {
    engine::xfile::XDocument more = testsupport::BoxScene({x, 10, x / 2}, 0.8f);
    more.frames[0].name = "Box" + std::to_string(int(x) + 100);
    doc.frames.push_back(std::move(more.frames[0]));
  }
  const scenes::ImportResult imported = scenes::ImportDocument(std::move(doc));
  ASSERT_TRUE(imported.ok()) << imported.error;
  WriteBytes(scenePath, engine::xfile::writeBinaryXFile(imported.scene.document));
  const trailer::TemplateBlock block = trailer::makeTemplateBlock(imported.scene.block);
  WriteBytes(blockPath, std::vector<uint8_t>(block.begin(), block.end()));
}

}  // namespace

TEST(SaverStarts, EveryTemplateAndAnImportedSceneStartAtHundredsOfRandomTimes) {
  const std::string tool = Here() + "..\\..\\tools\\render\\prismora_render.exe";
  ASSERT_TRUE(FileExists(tool)) << tool;
  ASSERT_NE(std::getenv("PRISMORA_SOURCE_DIR"), nullptr) << "run by ctest, which names the source folder";
  const std::string resources = SourceFolder() + "runtime\\resources\\";
  testsupport::TempFolder folder;
  image::Image photo;
  photo.width = photo.height = 64;
  photo.rgb.assign(64 * 64 * 3, 180);
  ASSERT_TRUE(image::SaveBmpFile(folder / "preview0.bmp", photo));
  const std::string photoFolder = folder.path().substr(0, folder.path().size() - 1);

  struct Scene {
    std::string scene, block;
  };
  std::vector<Scene> scenesToStart;
  for (int n = 0; n < 6; ++n)
    scenesToStart.push_back({resources + "scene" + std::to_string(n) + ".x",
                             resources + "template" + std::to_string(n) + ".block"});
  scenesToStart.push_back({folder / "imported.x", folder / "imported.block"});
  WriteImportedScene(scenesToStart.back().scene, scenesToStart.back().block);

  for (const Scene& s : scenesToStart) {
    ASSERT_TRUE(FileExists(s.scene)) << s.scene;
    ASSERT_TRUE(FileExists(s.block)) << s.block;
    // A seed of its own per scene, so a failure names a start sequence that repeats.
    const std::string seed = std::to_string(1000 + (&s - scenesToStart.data()));
    const std::string last = folder / ("last" + seed + ".bmp");
    const int code = testsupport::RunToEnd(
        "\"" + tool + "\" \"" + s.scene + "\" \"" + photoFolder + "\" \"" + last + "\" --block \"" +
            s.block + "\" --size 96x72 --ticks 2 --seed " + seed + " --starts " + std::to_string(kStarts),
        "", nullptr, 240000);
    EXPECT_EQ(code, 0) << s.scene << " (seed " << seed << ")";
    // The picture is written after the last start only.
    EXPECT_TRUE(FileExists(last)) << s.scene;
  }
}
