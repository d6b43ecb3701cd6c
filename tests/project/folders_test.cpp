// Which of the builder's two folders each file lives in, and the one-time take-over of
// an auto-save an earlier builder left in its program folder.
#include "builder/project/folders.h"

#include <gtest/gtest.h>

#include "builder/project/project_commands.h"
#include "tests/support/fake_seams.h"

using namespace prismora::project;
using prismora::testsupport::FakeBoxes;
using prismora::testsupport::FakeFiles;

namespace {
const BuilderFolders kFolders{"C:\\Program Files\\Prismora Builder\\",
                              "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\"};
const std::string kOld = "C:\\Program Files\\Prismora Builder\\AutoSave.pmj";
const std::string kNew = "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\AutoSave.pmj";
}  // namespace

TEST(BuilderFolders, WrittenFilesGoToTheUserFolderAndShippedTemplatesComeFromTheProgram) {
  EXPECT_EQ(UserFolderBelow("C:\\Users\\Ann\\AppData\\Local"), kFolders.user);
  EXPECT_EQ(UserFolderBelow("C:\\Users\\Ann\\AppData\\Local\\"), kFolders.user);
  EXPECT_EQ(UserFolderBelow(""), "");  // no folder from the platform: nowhere, not the current folder
  EXPECT_EQ(kFolders.AutoSave(), kNew);
  EXPECT_EQ(kFolders.PreviewScreenSaver(), "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\preview.scr");
  EXPECT_EQ(kFolders.PreviewPhotos(), "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\preview\\");
  EXPECT_EQ(kFolders.Template(0), "C:\\Program Files\\Prismora Builder\\vexo0");
  EXPECT_EQ(kFolders.Template(5), "C:\\Program Files\\Prismora Builder\\vexo5");
  EXPECT_EQ(kFolders.Template(6), "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\vexo6");
  EXPECT_EQ(kFolders.Template(12), "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\vexo12");
  EXPECT_EQ(kFolders.ImportedTemplates(), "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder");
  EXPECT_EQ(WithSeparator("C:\\A"), "C:\\A\\");
  EXPECT_EQ(WithSeparator("C:\\A\\\\"), "C:\\A\\");
  EXPECT_EQ(WithSeparator("C:\\"), "C:\\");
  EXPECT_EQ(WithSeparator(""), "");
}

TEST(BuilderFolders, AnOldAutoSaveIsTakenOverOnlyWhileTheUserFolderHasNone) {
  // user has one / program has one / program has its companion
  EXPECT_TRUE(AutoSaveTakeOver(kFolders, true, true, true).empty());
  EXPECT_TRUE(AutoSaveTakeOver(kFolders, false, false, false).empty());
  EXPECT_TRUE(AutoSaveTakeOver(kFolders, false, false, true).empty());  // a companion alone is no project
  const std::vector<FileCopy> plain = AutoSaveTakeOver(kFolders, false, true, false);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_EQ(plain[0].from, kOld);
  EXPECT_EQ(plain[0].to, kNew);
  const std::vector<FileCopy> both = AutoSaveTakeOver(kFolders, false, true, true);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0].from, "C:\\Program Files\\Prismora Builder\\AutoSave.pml");
  EXPECT_EQ(both[0].to, "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\AutoSave.pml");
  EXPECT_EQ(both[1].to, kNew);  // the project last, so it never arrives without its list
  // A builder whose two folders are one (its program folder is the user's): nothing to take.
  const BuilderFolders same{"C:\\Tools\\PB\\", "c:\\tools\\pb\\"};
  EXPECT_TRUE(AutoSaveTakeOver(same, false, true, true).empty());
  EXPECT_TRUE(AutoSaveTakeOver({"", kFolders.user}, false, true, true).empty());
  EXPECT_TRUE(AutoSaveTakeOver({kFolders.program, ""}, false, true, true).empty());
}

TEST(BuilderFolders, TakingOverCopiesOnceAndNeverTouchesTheOldFiles) {
  FakeFiles fs;
  fs.files[kOld] = {1, 2, 3};
  fs.files["C:\\Program Files\\Prismora Builder\\AutoSave.pml"] = {4};
  EXPECT_TRUE(TakeOverOldAutoSave(kFolders, fs));
  EXPECT_EQ(fs.files[kNew], (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(fs.files["C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\AutoSave.pml"], (std::vector<uint8_t>{4}));
  EXPECT_EQ(fs.files[kOld], (std::vector<uint8_t>{1, 2, 3}));  // the program folder is only read

  // The user's own auto-save from then on is never replaced by the old one.
  fs.files[kNew] = {9};
  EXPECT_FALSE(TakeOverOldAutoSave(kFolders, fs));
  EXPECT_EQ(fs.files[kNew], (std::vector<uint8_t>{9}));

  // A copy that fails half way leaves the user folder without a part of it.
  FakeFiles half;
  half.files[kOld] = {1};
  half.files["C:\\Program Files\\Prismora Builder\\AutoSave.pml"] = {2};
  half.locked.insert(kNew);
  EXPECT_FALSE(TakeOverOldAutoSave(kFolders, half));
  EXPECT_FALSE(half.files.count("C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\AutoSave.pml"));
  EXPECT_FALSE(half.files.count(kNew));

  // Taken over, the auto-save opens from the user folder as the builder's own.
  FakeFiles start;
  FakeBoxes boxes;
  ProjectSettings s = FirstStartSettings();
  s.Title = "From the old builder";
  s.Photos = {"C:\\pics\\a.jpg", "C:\\pics\\b.jpg"};
  ASSERT_TRUE(WriteAutoSave(nullptr, kFolders.program, s, start, boxes).written);
  ASSERT_TRUE(TakeOverOldAutoSave(kFolders, start));
  ProjectSettings read;
  ASSERT_TRUE(LoadAutoSave(nullptr, kFolders.user, read, start, boxes));
  EXPECT_EQ(read.Title, s.Title);
  EXPECT_EQ(read.Photos, s.Photos);
  EXPECT_TRUE(boxes.shown.empty());
}
