#include "builder/scenes/template_cli.h"
#include "builder/scenes/template_file.h"

#include <gtest/gtest.h>

using namespace prismora;
using namespace prismora::scenes;

TEST(ImportedTemplateFile, NameSitsBeforeTheBlockAndSurvivesTheBuilderRecord) {
  trailer::TemplateBlock block{};
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = uint8_t(i + 1);
  std::vector<uint8_t> file(5000, 0xCC);  // the program
  const auto tail = ImportedTemplateTail("  My garden\t scene ", block);
  ASSERT_EQ(tail.size(), kNameRecordSize + trailer::kTemplateBlockSize);
  file.insert(file.end(), tail.begin(), tail.end());
  // The template ends in its block, so a saver made from it ends in the full trailer.
  EXPECT_TRUE(std::equal(block.begin(), block.end(), file.end() - 204));
  EXPECT_EQ(StoredTemplateName(file), "My garden scene");
  EXPECT_EQ(StoredTemplateName(std::span(file).last(tail.size())), "My garden scene");
  EXPECT_EQ(StoredTemplateName(std::span(file).last(tail.size() - 1)), std::nullopt);

  const std::vector<uint8_t> shipped(3000, 0);  // a program and a block, no record
  EXPECT_EQ(StoredTemplateName(shipped), std::nullopt);
  std::vector<uint8_t> unterminated = file;
  std::fill(unterminated.end() - 272, unterminated.end() - 208, uint8_t('A'));
  EXPECT_EQ(StoredTemplateName(unterminated), std::nullopt);

  const auto longName = ImportedTemplateTail(std::string(200, 'n'), block);
  EXPECT_EQ(StoredTemplateName(longName), std::string(63, 'n'));
}

TEST(ImportedTemplateFile, NumbersOfTemplateFilesAndTheNextFreeOne) {
  EXPECT_EQ(TemplateNumberOf("vexo0"), 0);
  EXPECT_EQ(TemplateNumberOf("VEXO12"), 12);
  for (const char* other : {"vexo", "vexo06", "vexo6.bak", "vexoscene.exe", "vexo-1", "avexo6",
                            "vexo1234567"})
    EXPECT_EQ(TemplateNumberOf(other), std::nullopt) << other;

  EXPECT_EQ(NextFreeTemplateNumber(std::vector<int>{0, 1, 2, 3, 4, 5}), 6);
  EXPECT_EQ(NextFreeTemplateNumber(std::vector<int>{}), 6);
  EXPECT_EQ(NextFreeTemplateNumber(std::vector<int>{0, 6, 7, 9}), 8);
  EXPECT_EQ(CleanDisplayName(" \x01 "), "");
}

TEST(TemplateCommandLine, SceneAndOptionalName) {
  using V = std::vector<std::string>;
  EXPECT_FALSE(IsTemplateRequest(V{"/build", "a.pmj", "s.exe"}));
  EXPECT_FALSE(IsTemplateRequest(V{}));
  const auto full = ParseTemplateArguments(V{"/TEMPLATE", "C:\\s\\garden.x", "My garden"});
  EXPECT_EQ(full.problem, "");
  EXPECT_EQ(full.scenePath, "C:\\s\\garden.x");
  EXPECT_EQ(full.name, "My garden");
  const auto bare = ParseTemplateArguments(V{"-template", "garden.x"});
  EXPECT_EQ(bare.problem, "");
  EXPECT_EQ(bare.name, "");
  for (const V& wrong : {V{"/template"}, V{"/template", ""}, V{"/template", "a.x", "n", "extra"}})
    EXPECT_NE(ParseTemplateArguments(wrong).problem, "");
}
