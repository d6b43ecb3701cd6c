// The project file through the platform's real file system.
#include <windows.h>

#include <gtest/gtest.h>

#include "builder/project/project_commands.h"
#include "platform/win32/win32_seams.h"
#include "tests/support/fake_seams.h"
#include "tests/support/temp_folder.h"

using namespace prismora::project;
using prismora::platform::Win32FileSystem;
using prismora::testsupport::TempFolder;

namespace {

struct ScriptedDialogs : prismora::platform::FileDialogs {
  std::string path;
  std::vector<std::string> Open(prismora::platform::WindowHandle,
                                const prismora::platform::FileDialogOptions&) override {
    return {path};
  }
  std::optional<std::string> Save(prismora::platform::WindowHandle,
                                  const prismora::platform::FileDialogOptions&) override {
    return path;
  }
};

int FilesIn(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
  int n = 0;
  if (h == INVALID_HANDLE_VALUE) return 0;
  do n += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  while (FindNextFileA(h, &fd));
  FindClose(h);
  return n;
}

}  // namespace

TEST(ProjectFileOnDisk, SaveAndOpenThroughTheDialogSeams) {
  TempFolder dir;
  Win32FileSystem fs;
  ScriptedDialogs dialogs;
  prismora::testsupport::FakeBoxes boxes;
  dialogs.path = dir / "Holiday.pmj";
  ProjectSettings s;
  s.Title = "Holiday";
  s.Photos = {"C:\\p\\1.jpg", "C:\\p\\2.jpg"};
  s.TemplateIndex = 2;
  EXPECT_TRUE(SaveProjectCommand(nullptr, s, dialogs, fs, boxes).written);
  EXPECT_EQ(TempFolder::Read(dir / "Holiday.pmj").size(), 36364u);
  EXPECT_EQ(FilesIn(dir.path()), 1);  // no temporary file left behind
  EXPECT_TRUE(boxes.shown.empty());

  ProjectSettings opened;
  EXPECT_EQ(OpenProjectCommand(nullptr, opened, dialogs, fs, boxes), OpenOutcome::Read);
  EXPECT_EQ(opened, s);
}

TEST(ProjectFileOnDisk, AFailedSaveKeepsTheLastGoodFile) {
  TempFolder dir;
  Win32FileSystem fs;
  std::string path = dir / "AutoSave.pmj";
  ProjectSettings good;
  good.Title = "Good";
  ASSERT_TRUE(SaveProjectFile(path, good, fs).written);
  // The temporary file cannot be made (a folder stands in its place), as when the disk
  // is full: the write fails before the target is touched.
  std::string blocker = path + ".tmp~";
  ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
  ProjectSettings next;
  next.Title = "Next";
  EXPECT_FALSE(SaveProjectFile(path, next, fs).written);
  RemoveDirectoryA(blocker.c_str());
  ProjectSettings back;
  prismora::testsupport::FakeBoxes boxes;
  ASSERT_TRUE(LoadAutoSave(nullptr, dir.path(), back, fs, boxes));
  EXPECT_EQ(back.Title, "Good");
  EXPECT_EQ(FilesIn(dir.path()), 1);

  EXPECT_FALSE(SaveProjectFile(dir / "no such folder\\x.pmj", next, fs).written);
}

TEST(ProjectFileOnDisk, AutoSaveAtCloseAndStart) {
  TempFolder dir;
  Win32FileSystem fs;
  prismora::testsupport::FakeBoxes boxes;
  ProjectSettings s;
  s.Title = "Closing";
  s.EraseBackground = true;
  EXPECT_TRUE(WriteAutoSave(nullptr, dir.path(), s, fs, boxes).written);
  ProjectSettings started;
  EXPECT_TRUE(LoadAutoSave(nullptr, dir.path(), started, fs, boxes));
  EXPECT_EQ(started, s);

  // A short file on disk reads with zeros for what is missing.
  TempFolder::Write(dir / "AutoSave.pmj", {'S', 'h', 'o', 'r', 't'});
  EXPECT_TRUE(LoadAutoSave(nullptr, dir.path(), started, fs, boxes));
  EXPECT_EQ(started.Title, "Short");
  EXPECT_EQ(started.DialogBoxColor, 0u);
}

TEST(ProjectFileOnDisk, FiveThousandPhotosComeBackAfterTheAutoSaveAndAMove) {
  TempFolder dir;
  Win32FileSystem fs;
  prismora::testsupport::FakeBoxes boxes;
  ProjectSettings s;
  for (int i = 0; i < 5000; ++i)
    s.Photos.push_back("C:\\Users\\anna\\Pictures\\2024 Holiday\\IMG_" + std::to_string(i) + ".JPG");
  EXPECT_EQ(WriteAutoSave(nullptr, dir.path(), s, fs, boxes).photosNotSaved, 0);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(TempFolder::Read(dir / "AutoSave.pmj").size(), 36364u);
  ProjectSettings started;
  ASSERT_TRUE(LoadAutoSave(nullptr, dir.path(), started, fs, boxes));
  EXPECT_EQ(started.Photos, s.Photos);

  // Both files moved to another folder under a new name: still whole.
  const std::string other = dir / "moved\\";
  ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
  ASSERT_TRUE(MoveFileA((dir / "AutoSave.pmj").c_str(), (other + "Trip.pmj").c_str()));
  ASSERT_TRUE(MoveFileA((dir / "AutoSave.pml").c_str(), (other + "Trip.pml").c_str()));
  ProjectSettings moved;
  ASSERT_TRUE(ReadProjectInto(other + "Trip.pmj", moved, fs));
  EXPECT_EQ(moved.Photos, s.Photos);

  // The companion left behind: a warning naming it, and the record's photos.
  ASSERT_TRUE(MoveFileA((other + "Trip.pml").c_str(), (dir / "Trip.pml").c_str()));
  ScriptedDialogs dialogs;
  dialogs.path = other + "Trip.pmj";
  ProjectSettings partial;
  EXPECT_EQ(OpenProjectCommand(nullptr, partial, dialogs, fs, boxes), OpenOutcome::Read);
  EXPECT_GT(partial.Photos.size(), 100u);
  EXPECT_LT(partial.Photos.size(), 5000u);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].first.find(other + "Trip.pml"), std::string::npos) << boxes.shown[0].first;
}
