#include "builder/project/project_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/fake_seams.h"

using namespace prismora::project;
using prismora::platform::FileDialogOptions;
using prismora::testsupport::FakeBoxes;
using prismora::testsupport::FakeFiles;

namespace {

// Answers each dialog with a prepared path (or cancel) and remembers what it was asked.
struct ScriptedDialogs : prismora::platform::FileDialogs {
  std::optional<std::string> answer;
  std::vector<FileDialogOptions> asked;
  std::vector<std::string> Open(prismora::platform::WindowHandle, const FileDialogOptions& o) override {
    asked.push_back(o);
    if (!answer) return {};
    return {*answer};
  }
  std::optional<std::string> Save(prismora::platform::WindowHandle, const FileDialogOptions& o) override {
    asked.push_back(o);
    return answer;
  }
};

// A file system whose replacing write fails, as on a full disk.
struct FullDisk : FakeFiles {
  bool ReplaceFileContents(const std::string&, std::span<const uint8_t>) override { return false; }
};

ProjectSettings WithPhotos(int n, std::size_t length) {
  ProjectSettings s;
  for (int i = 0; i < n; ++i) s.Photos.push_back(std::string(length, char('a' + i % 26)));
  return s;
}

}  // namespace

TEST(SaveProjectCommand, ProposesTheTitleWithTheProjectFilter) {
  ScriptedDialogs dialogs;
  FakeFiles fs;
  FakeBoxes boxes;
  ProjectSettings s;
  SaveResult r = SaveProjectCommand(nullptr, s, dialogs, fs, boxes);
  EXPECT_FALSE(r.written);  // cancelled
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].initialName, "Untitled Screen Saver");
  EXPECT_EQ(dialogs.asked[0].filter, "Prismora Builder Project (*.pmj)|*.pmj");
  EXPECT_EQ(dialogs.asked[0].defaultExt, "pmj");
  EXPECT_FALSE(dialogs.asked[0].overwritePrompt);
  EXPECT_TRUE(fs.files.empty());
  EXPECT_TRUE(boxes.shown.empty());

  // A title the dialog would refuse as a file name is proposed with those characters replaced.
  s.Title = "Sun: \"Best\" <of> 2/3 | A\\B * ?";
  SaveProjectCommand(nullptr, s, dialogs, fs, boxes);
  ASSERT_EQ(dialogs.asked.size(), 2u);
  EXPECT_EQ(dialogs.asked[1].initialName, "Sun_ _Best_ _of_ 2_3 _ A_B _ _");

  // In code page 932 the second byte of "表示" and "ソフト" is 0x5C: those characters stay
  // whole, a real backslash and bar between them still become "_".
  const auto sjis = prismora::text::LeadBytes::ForCodePage(932);
  s.Title = "\x95\x5C\x8E\xA6\\\x83\x5C\x83\x74\x83\x67|";
  SaveProjectCommand(nullptr, s, dialogs, fs, boxes, sjis);
  ASSERT_EQ(dialogs.asked.size(), 3u);
  EXPECT_EQ(dialogs.asked[2].initialName, "\x95\x5C\x8E\xA6_\x83\x5C\x83\x74\x83\x67_");
}

TEST(SaveProjectCommand, KeepsALongListInTheCompanionAndWarnsOnlyWhenThatFails) {
  ScriptedDialogs dialogs;
  dialogs.answer = "C:\\work\\mine.pmj";
  FakeFiles fs;
  FakeBoxes boxes;
  SaveResult ok = SaveProjectCommand(nullptr, WithPhotos(3, 20), dialogs, fs, boxes);
  EXPECT_TRUE(ok.written);
  EXPECT_EQ(fs.files.at("C:\\work\\mine.pmj").size(), 36364u);
  EXPECT_FALSE(fs.files.count("C:\\work\\mine.pml"));  // a list that fits needs none
  EXPECT_TRUE(boxes.shown.empty());

  // 300 paths of 100 characters: 196 lines of 102 bytes fit in the record, the whole
  // list goes into the companion and nothing is lost.
  ProjectSettings big = WithPhotos(300, 100);
  SaveResult whole = SaveProjectCommand(nullptr, big, dialogs, fs, boxes);
  EXPECT_TRUE(whole.written);
  EXPECT_EQ(whole.photosNotSaved, 0);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(fs.files.at("C:\\work\\mine.pmj").size(), 36364u);
  ProjectSettings back;
  ASSERT_TRUE(ReadProjectInto("C:\\work\\mine.pmj", back, fs));
  EXPECT_EQ(back.Photos, big.Photos);

  // A companion that cannot be written: the record alone, and the warning counts the rest.
  fs.locked.insert("C:\\work\\mine.pml");
  SaveResult cut = SaveProjectCommand(nullptr, WithPhotos(301, 100), dialogs, fs, boxes);
  EXPECT_TRUE(cut.written);
  EXPECT_EQ(cut.photosNotSaved, 301 - 196);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, "Warning!");
  EXPECT_NE(boxes.shown[0].first.find("105 photos"), std::string::npos) << boxes.shown[0].first;
  ASSERT_TRUE(ReadProjectInto("C:\\work\\mine.pmj", back, fs));
  EXPECT_EQ(back.Photos.size(), 196u);  // the old companion (300 photos) is not taken
}

TEST(SaveProjectCommand, AFailedWriteIsReportedAndKeepsTheOldFile) {
  ScriptedDialogs dialogs;
  dialogs.answer = "C:\\work\\mine.pmj";
  FullDisk fs;
  fs.files["C:\\work\\mine.pmj"] = {1, 2, 3};
  FakeBoxes boxes;
  SaveResult r = SaveProjectCommand(nullptr, ProjectSettings{}, dialogs, fs, boxes);
  EXPECT_FALSE(r.written);
  EXPECT_EQ(fs.files["C:\\work\\mine.pmj"], (std::vector<uint8_t>{1, 2, 3}));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, "Error");
}

TEST(OpenProjectCommand, ReplacesTheProjectOrResetsTheIndicesOrDoesNothing) {
  FakeFiles fs;
  ProjectSettings saved = WithPhotos(2, 10);
  saved.Title = "Saved";
  saved.TemplateIndex = 4;
  saved.ResizeMethod = 0;
  SaveProjectFile("C:\\a.pmj", saved, fs);

  ScriptedDialogs dialogs;
  ProjectSettings s = WithPhotos(5, 7);
  s.TemplateIndex = 3;
  FakeBoxes boxes;
  EXPECT_EQ(OpenProjectCommand(nullptr, s, dialogs, fs, boxes), OpenOutcome::Cancelled);
  EXPECT_EQ(s.Photos.size(), 5u);
  EXPECT_EQ(dialogs.asked.at(0).filter, "Prismora Builder Project (*.pmj)|*.pmj");

  dialogs.answer = "C:\\a.pmj";
  EXPECT_EQ(OpenProjectCommand(nullptr, s, dialogs, fs, boxes), OpenOutcome::Read);
  EXPECT_EQ(s.Title, "Saved");
  EXPECT_EQ(s.Photos, saved.Photos);  // replaced, not appended
  EXPECT_EQ(s.TemplateIndex, 4);

  dialogs.answer = "C:\\gone.pmj";
  EXPECT_EQ(OpenProjectCommand(nullptr, s, dialogs, fs, boxes), OpenOutcome::Unreadable);
  EXPECT_EQ(s.Title, "Saved");
  EXPECT_EQ(s.TemplateIndex, 0);
  EXPECT_EQ(s.ResizeMethod, 1);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(OpenProjectCommand, AMissingCompanionIsNamedAndTheRecordsPhotosKept) {
  FakeFiles fs;
  ProjectSettings saved = WithPhotos(300, 100);
  SaveProjectFile("C:\\trip\\Holiday.pmj", saved, fs);
  ASSERT_TRUE(fs.files.erase("C:\\trip\\Holiday.pml"));

  ScriptedDialogs dialogs;
  dialogs.answer = "C:\\trip\\Holiday.pmj";
  FakeBoxes boxes;
  ProjectSettings s;
  EXPECT_EQ(OpenProjectCommand(nullptr, s, dialogs, fs, boxes), OpenOutcome::Read);
  ASSERT_EQ(s.Photos.size(), 196u);
  EXPECT_TRUE(std::equal(s.Photos.begin(), s.Photos.end(), saved.Photos.begin()));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, "Warning!");
  EXPECT_NE(boxes.shown[0].first.find("\"C:\\trip\\Holiday.pml\""), std::string::npos)
      << boxes.shown[0].first;
  EXPECT_NE(boxes.shown[0].first.find("first 196 photos"), std::string::npos);
}

TEST(AutoSave, RoundTripsThroughTheBuilderFolderAndWarnsBeforeClosing) {
  FakeFiles fs;
  FakeBoxes boxes;
  ProjectSettings s = WithPhotos(2, 30);
  s.Title = "Kept";
  EXPECT_TRUE(WriteAutoSave(nullptr, "C:\\B\\", s, fs, boxes).written);
  EXPECT_TRUE(fs.files.count("C:\\B\\AutoSave.pmj"));
  EXPECT_TRUE(boxes.shown.empty());

  ProjectSettings next;
  EXPECT_TRUE(LoadAutoSave(nullptr, "C:\\B\\", next, fs, boxes));
  EXPECT_EQ(next.Title, "Kept");
  EXPECT_EQ(next.Photos, s.Photos);

  // A list far past the record's room comes back whole at the next start.
  ProjectSettings many = WithPhotos(5000, 60);
  SaveResult big = WriteAutoSave(nullptr, "C:\\B\\", many, fs, boxes);
  EXPECT_EQ(big.photosNotSaved, 0);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(fs.files.count("C:\\B\\AutoSave.pml"));
  ProjectSettings started;
  EXPECT_TRUE(LoadAutoSave(nullptr, "C:\\B\\", started, fs, boxes));
  EXPECT_EQ(started.Photos, many.Photos);
  EXPECT_TRUE(boxes.shown.empty());

  // The companion is locked: the warning before closing says how many were not saved.
  fs.locked.insert("C:\\B\\AutoSave.pml");
  SaveResult cut = WriteAutoSave(nullptr, "C:\\B\\", WithPhotos(400, 60), fs, boxes);
  EXPECT_GT(cut.photosNotSaved, 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, "Warning!");

  ProjectSettings fresh;
  FakeFiles empty;
  EXPECT_FALSE(LoadAutoSave(nullptr, "C:\\B\\", fresh, empty, boxes));
  EXPECT_EQ(fresh, FirstStartSettings());  // first start: indices 0 and 1 as before
}
