// File assembly on the real file system under Windows sharing rules.
#include <windows.h>

#include <gtest/gtest.h>

#include "builder/output/assembly.h"
#include "platform/win32/win32_seams.h"
#include "tests/support/temp_folder.h"

using namespace prismora;

namespace {
struct RecordingBoxes : platform::MessageBoxes {
  std::vector<std::string> texts;
  platform::BoxAnswer Show(platform::WindowHandle, const std::string& text, const std::string&,
                           platform::BoxIcon, platform::BoxButtons) override {
    texts.push_back(text);
    return platform::BoxAnswer::Ok;
  }
};

struct AssemblyOnDisk : ::testing::Test {
  testsupport::TempFolder dir;
  platform::Win32FileSystem files;
  platform::Win32MessagePump pump;
  RecordingBoxes boxes;
  output::AssemblySeams seams{files, boxes, pump, nullptr};
  trailer::BuilderRecord record{};
  std::vector<uint8_t> templ;
  std::string templPath, target;

  void SetUp() override {
    // A fake template: "program" bytes that end in a template block.
    templ.assign(4096, 0x4D);
    trailer::TemplateBlock block = trailer::makeTemplateBlock({});
    templ.insert(templ.end(), block.begin(), block.end());
    templPath = (dir / "vexo0");
    testsupport::TempFolder::Write(templPath, templ);
    trailer::BuilderRecordFields f;
    f.title = "Flowers";
    f.photoCount = 3;
    record = trailer::makeBuilderRecord(f);
    target = dir / "Flowers.scr";
  }
};

HANDLE lockedHandle = INVALID_HANDLE_VALUE;
void CALLBACK ReleaseLock(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  CloseHandle(lockedHandle);
  lockedHandle = INVALID_HANDLE_VALUE;
}
}  // namespace

TEST_F(AssemblyOnDisk, BuiltFileEndsInTheWholeTrailer) {
  ASSERT_TRUE(output::AssembleBuildScreenSaver(seams, templPath, record, target));
  auto out = testsupport::TempFolder::Read(target);
  ASSERT_EQ(out.size(), templ.size() + 836);
  auto tail = std::vector<uint8_t>(out.end() - 1040, out.end());
  trailer::Trailer t = trailer::Trailer::fromFileTail(out);
  EXPECT_EQ(t.title(), "Flowers");
  EXPECT_EQ(t.photoCount(), 3);
  EXPECT_EQ(t.animEnd(), 479u);
  EXPECT_TRUE(std::equal(templ.end() - 204, templ.end(), tail.begin()));

  // Building again overwrites, it does not append twice.
  ASSERT_TRUE(output::AssembleBuildScreenSaver(seams, templPath, record, target));
  EXPECT_EQ(testsupport::TempFolder::Read(target).size(), templ.size() + 836);
}

TEST_F(AssemblyOnDisk, MissingTemplateMessage) {
  std::string missing = (dir / "vexo4");
  EXPECT_FALSE(output::AssembleBuildScreenSaver(seams, missing, record, target));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "File " + missing + "\nNot Found. Please reinstall application.");
}

TEST_F(AssemblyOnDisk, TargetHeldOpenWithoutSharing) {
  testsupport::TempFolder::Write(target, {1, 2, 3});
  HANDLE h = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(output::AssembleBuildScreenSaver(seams, templPath, record, target));
  CloseHandle(h);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "Could not open " + target + "\n(program still running?).");
  EXPECT_EQ(testsupport::TempFolder::Read(target).size(), 3u);
}

TEST_F(AssemblyOnDisk, PreviewReturnsOnlyAfterTheLockIsReleased) {
  testsupport::TempFolder::Write(target, {1, 2, 3});
  lockedHandle = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lockedHandle, INVALID_HANDLE_VALUE);
  // The pump of the waiting call runs this timer, as it would run a preview's end.
  SetTimer(nullptr, 0, 300, ReleaseLock);
  DWORD start = GetTickCount();
  ASSERT_TRUE(output::AssemblePreviewScreenSaver(seams, templPath, record, target));
  EXPECT_EQ(lockedHandle, INVALID_HANDLE_VALUE);
  EXPECT_GE(GetTickCount() - start, 250u);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(testsupport::TempFolder::Read(target).size(), templ.size() + 836);
}

// Held open without sharing for longer than the preview waits (a program other than a
// preview keeping it): the wait ends and the box names the file and the system's reason.
TEST_F(AssemblyOnDisk, PreviewGivesUpOnATargetLockedForGood) {
  testsupport::TempFolder::Write(target, {1, 2, 3});
  HANDLE h = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(output::AssemblePreviewScreenSaver(seams, templPath, record, target));
  CloseHandle(h);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0].rfind("Could not write " + target + "\n", 0), 0u) << boxes.texts[0];
  EXPECT_NE(boxes.texts[0].find("still in use"), std::string::npos) << boxes.texts[0];
  EXPECT_EQ(testsupport::TempFolder::Read(target).size(), 3u);
}

// A target that cannot be written for a reason waiting does not mend: the box at once.
void ExpectRefusedAtOnce(output::AssemblySeams& seams, RecordingBoxes& boxes, const std::string& templPath,
                         const trailer::BuilderRecord& record, const std::string& target) {
  const DWORD start = GetTickCount();
  EXPECT_FALSE(output::AssemblePreviewScreenSaver(seams, templPath, record, target));
  EXPECT_LT(GetTickCount() - start, DWORD(output::kPreviewInUseWaitMs));  // no wait at all
  ASSERT_EQ(boxes.texts.size(), 1u);
  const std::string head = "Could not write " + target + "\n";
  EXPECT_EQ(boxes.texts[0].rfind(head, 0), 0u) << boxes.texts[0];
  EXPECT_EQ(boxes.texts[0].find("still in use"), std::string::npos) << boxes.texts[0];
  EXPECT_GT(boxes.texts[0].size(), head.size());  // the system's reason follows
}

// A folder of the target's name: no program holds it and no wait makes it a file; the copy
// fails with "access denied", the error a read-only target gives. (The read-only attribute
// itself cannot be tried here: Wine run by the superuser writes into read-only files.)
TEST_F(AssemblyOnDisk, PreviewReportsATargetItCannotWriteAtOnce) {
  ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
  ExpectRefusedAtOnce(seams, boxes, templPath, record, target);
  RemoveDirectoryA(target.c_str());
}

TEST(Win32FileSystem, WholeFileWritesReplaceAndReport) {
  prismora::testsupport::TempFolder dir;
  platform::Win32FileSystem files;
  std::vector<uint8_t> big(300000, 7), small{1, 2, 3};
  ASSERT_TRUE(files.WriteWholeFile(dir / "a.bmp", big));
  ASSERT_TRUE(files.WriteWholeFile(dir / "a.bmp", small));
  EXPECT_EQ(testsupport::TempFolder::Read(dir / "a.bmp"), small);
  EXPECT_EQ(files.FileSize(dir / "a.bmp"), 3);
  EXPECT_FALSE(files.WriteWholeFile(dir / "no such folder\\a.bmp", small));
  ASSERT_TRUE(files.ReplaceFileContents(dir / "b.pmj", big));
  EXPECT_EQ(files.FileSize(dir / "b.pmj"), 300000);
  EXPECT_FALSE(files.FileExists(dir / "b.pmj.tmp~"));
}
