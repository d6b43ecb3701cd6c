#include "builder/scenes/template_import.h"

#include <functional>
#include <stdexcept>

#include <gtest/gtest.h>

#include "builder/scenes/scene_import.h"
#include "builder/scenes/template_cli.h"
#include "builder/scenes/template_file.h"
#include "builder/scenes/template_list.h"
#include "engine/xfile/reader.h"
#include "engine/xfile/writer.h"
#include "tests/scenes/box_scene.h"
#include "tests/support/fake_seams.h"

using namespace prismora;
using namespace prismora::scenes;

namespace {

// The in-memory folder: lists the fake files under it and "puts" a resource by keeping
// the scene it was given per program file.
struct FakeFolder : TemplateFolder {
  testsupport::FakeFiles& files;
  std::map<std::string, std::vector<uint8_t>> resources;
  explicit FakeFolder(testsupport::FakeFiles& f) : files(f) {}
  std::vector<std::string> FileNames(const std::string& folder) override {
    std::vector<std::string> names;
    for (const auto& [path, bytes] : files.files)
      if (path.rfind(folder + "\\", 0) == 0) names.push_back(path.substr(folder.size() + 1));
    return names;
  }
  bool PutSceneResource(const std::string& program, std::span<const uint8_t> scene) override {
    if (!files.files.count(program)) return false;
    resources[program].assign(scene.begin(), scene.end());
    return true;
  }
};

struct Fixture : ::testing::Test {
  testsupport::FakeFiles files;
  FakeFolder folder{files};
  ImportSeams seams{files, folder};
  const std::string dir = "C:\\Prismora";
  void SetUp() override {
    files.files[dir + "\\vexoscene.exe"] = std::vector<uint8_t>(4000, 0x4D);
    for (int n = 0; n < 6; ++n) files.files[dir + "\\vexo" + std::to_string(n)] = std::vector<uint8_t>(900, 1);
    files.files["D:\\scenes\\garden box.x"] =
        engine::xfile::writeXFile(testsupport::BoxScene({30, 0, 0}, 5), {true, false, false});
  }
};

}  // namespace

TEST_F(Fixture, ImportWritesTheNextFreeTemplateWithSceneBlockAndName) {
  ImportOutcome first = ImportTemplate(seams, {dir, dir}, "D:\\scenes\\garden box.x", "Garden");
  ASSERT_TRUE(first.ok()) << first.error;
  EXPECT_EQ(first.number, 6);
  EXPECT_EQ(first.path, dir + "\\vexo6");
  EXPECT_FALSE(files.files.count(dir + "\\vexo6.part")) << "the working copy is gone";
  const auto& made = files.files.at(dir + "\\vexo6");
  ASSERT_EQ(made.size(), 4000 + kNameRecordSize + trailer::kTemplateBlockSize);
  EXPECT_EQ(StoredTemplateName(made), "Garden");
  // The block at the end is the one computed from the scene.
  const ImportResult expected = ImportScene(files.files.at("D:\\scenes\\garden box.x"), "x");
  const auto block = trailer::makeTemplateBlock(expected.scene.block);
  EXPECT_TRUE(std::equal(block.begin(), block.end(), made.end() - 204));
  // The scene resource is the binary form the six carry.
  const auto& scene = folder.resources.at(dir + "\\vexo6.part");
  EXPECT_EQ(std::string(scene.begin(), scene.begin() + 16), "xof 0302bin 0032");
  EXPECT_EQ(engine::xfile::readXFile(scene).document, expected.scene.document);

  // Without a name the file's own name serves; numbers go on after gaps are filled.
  files.files[dir + "\\vexo8"] = {};
  ImportOutcome second = ImportTemplate(seams, {dir, dir}, "D:\\scenes\\garden box.x", "");
  ASSERT_TRUE(second.ok()) << second.error;
  EXPECT_EQ(second.number, 7);
  EXPECT_EQ(second.name, "garden box");

  const auto found = FindImportedTemplates(seams, dir);
  ASSERT_EQ(found.size(), 2u) << "vexo8 has no stored name, the six are not imports";
  EXPECT_EQ(found[0].number, 6);
  EXPECT_EQ(TemplateItemText(found[0]), "\"Garden\"");
  EXPECT_EQ(found[1].path, dir + "\\vexo7");
}

TEST_F(Fixture, FailuresLeaveNoTemplateBehind) {
  files.files["D:\\plain.x"] =
      engine::xfile::writeBinaryXFile(testsupport::BoxScene({0, 0, 0}, 1, {1, 1, 1}, ""));
  EXPECT_EQ(ImportTemplate(seams, {dir, dir}, "D:\\plain.x", "P").error,
            "D:\\plain.x: " + std::string(kNoTexturedFacesMessage));
  EXPECT_EQ(ImportTemplate(seams, {dir, dir}, "D:\\none.x", "P").error, "Could not read D:\\none.x");
  files.files["D:\\bad.x"] = {'x', 'o', 'f'};
  EXPECT_EQ(ImportTemplate(seams, {dir, dir}, "D:\\bad.x", "P").error.rfind("D:\\bad.x: ", 0), 0u);

  files.failAppend = true;
  ImportOutcome failed = ImportTemplate(seams, {dir, dir}, "D:\\scenes\\garden box.x", "G");
  EXPECT_EQ(failed.error, "Could not write " + dir + "\\vexo6");
  files.failAppend = false;
  files.files.erase(dir + "\\vexoscene.exe");
  EXPECT_EQ(ImportTemplate(seams, {dir, dir}, "D:\\scenes\\garden box.x", "G").error,
            "File " + dir + "\\vexoscene.exe\nNot Found. Please reinstall application.");
  for (const auto& [path, bytes] : files.files)
    EXPECT_EQ(path.find("vexo6"), std::string::npos) << path;
}

// The builder's program folder holds the scene-less runtime and is only read; the
// template is made, numbered and found in the user's folder.
TEST_F(Fixture, AnImportReadsTheProgramFolderAndWritesTheUserFolder) {
  const std::string user = "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder";
  const auto before = files.files;
  ImportOutcome made = ImportTemplate(seams, {dir, user}, "D:\\scenes\\garden box.x", "Garden");
  ASSERT_TRUE(made.ok()) << made.error;
  EXPECT_EQ(made.number, 6);  // the user folder has none of the six, still imports count from 6
  EXPECT_EQ(made.path, user + "\\vexo6");
  for (const auto& [path, bytes] : files.files) {
    if (path.rfind(dir + "\\", 0) != 0) continue;
    EXPECT_TRUE(before.count(path) && before.at(path) == bytes) << path;
  }
  EXPECT_TRUE(FindImportedTemplates(seams, dir).empty());
  const auto found = FindImportedTemplates(seams, user);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].path, user + "\\vexo6");
  EXPECT_EQ(ImportTemplate(seams, {dir, user}, "D:\\scenes\\garden box.x", "").number, 7);
}

TEST(TemplateList, ImportedLinesFollowTheSixAndMapToTheirNumbers) {
  const std::vector<std::string_view> six = {"\"a\"", "\"b\"", "\"c\"", "\"d\"", "\"e\"", "\"f\""};
  const TemplateList list(six, {{6, "Garden", "x\\vexo6"}, {9, "Hall", "x\\vexo9"}});
  ASSERT_EQ(list.Items().size(), 8u);
  EXPECT_EQ(list.Items()[7], "\"Hall\"");
  EXPECT_EQ(list.NumberOfItem(7), 9);
  EXPECT_EQ(list.NumberOfItem(3), 3);
  EXPECT_EQ(list.NumberOfItem(8), -1);
  EXPECT_EQ(list.NumberOfItem(-1), -1);
  EXPECT_EQ(list.ItemOfNumber(9), 7);
  EXPECT_EQ(list.ItemOfNumber(7), -1) << "a removed template has no line";
  EXPECT_TRUE(list.IsImported(6));
  EXPECT_FALSE(list.IsImported(5)) << "the six cannot be removed";
  EXPECT_FALSE(list.IsImported(7));
  EXPECT_NE(MissingTemplateWarning(7).find("vexo7"), std::string::npos);
}

// `/template` ends every way with an exit code and one line: made, refused, wrong
// arguments, out of memory (the working copy removed) and any other exception.
TEST_F(Fixture, TheCommandLineTurnsEveryEndIntoAnExitCodeAndALine) {
  const std::vector<std::string> good{"/template", "D:\\scenes\\garden box.x", "Garden"};
  TemplateCliOutcome made = RunTemplateCommand(good, seams, {dir, dir});
  EXPECT_EQ(made.exitCode, kTemplateMade);
  EXPECT_NE(made.output.find("vexo6"), std::string::npos) << made.output;

  TemplateCliOutcome refused = RunTemplateCommand({"/template", "D:\\missing.x"}, seams, {dir, dir});
  EXPECT_EQ(refused.exitCode, kTemplateRefused);
  EXPECT_NE(refused.error.find("D:\\missing.x"), std::string::npos) << refused.error;

  EXPECT_EQ(RunTemplateCommand({"/template"}, seams, {dir, dir}).exitCode, kTemplateBadArguments);

  struct ThrowingFolder : FakeFolder {
    std::function<void()> thrower;
    using FakeFolder::FakeFolder;
    bool PutSceneResource(const std::string&, std::span<const uint8_t>) override {
      thrower();
      return false;
    }
  } throwing{files};
  ImportSeams throwingSeams{files, throwing};
  throwing.thrower = [] { throw std::bad_alloc(); };
  TemplateCliOutcome memory = RunTemplateCommand(good, throwingSeams, {dir, dir});
  EXPECT_EQ(memory.exitCode, kTemplateOutOfMemory);
  EXPECT_NE(memory.error.find("not enough memory"), std::string::npos) << memory.error;
  EXPECT_NE(memory.error.find("garden box.x"), std::string::npos) << memory.error;
  for (const auto& [path, bytes] : files.files)
    EXPECT_EQ(path.find(".part"), std::string::npos) << path << " was left behind";

  throwing.thrower = [] { throw std::runtime_error("disk on fire"); };
  TemplateCliOutcome other = RunTemplateCommand(good, throwingSeams, {dir, dir});
  EXPECT_EQ(other.exitCode, kTemplateFailed);
  EXPECT_NE(other.error.find("disk on fire"), std::string::npos) << other.error;
  EXPECT_EQ(other.error.find('\n'), std::string::npos);
}
