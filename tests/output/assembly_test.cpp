#include "builder/output/assembly.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/fake_seams.h"

using namespace prismora;
using namespace prismora::output;
using namespace prismora::testsupport;

namespace {

struct Fixture : ::testing::Test {
  FakeFiles files;
  FakeBoxes boxes;
  FakePump pump;
  AssemblySeams seams{files, boxes, pump, nullptr};
  trailer::BuilderRecord record{};
  const std::string tmpl = "C:\\Prismora\\vexo0";
  const std::string target = "C:\\Prismora\\Flowers.scr";

  void SetUp() override {
    files.files[tmpl] = std::vector<uint8_t>(3000, 0x90);
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = uint8_t(i * 7);
  }
};
}  // namespace

TEST_F(Fixture, BuildAppendsTheRecordAfterTheTemplate) {
  ASSERT_TRUE(AssembleBuildScreenSaver(seams, tmpl, record, target));
  const auto& out = files.files[target];
  ASSERT_EQ(out.size(), 3000u + 836u);
  EXPECT_TRUE(std::equal(record.begin(), record.end(), out.end() - 836));
  EXPECT_TRUE(boxes.shown.empty());

  // A second build replaces the first file completely.
  record[0] = 0xEE;
  ASSERT_TRUE(AssembleBuildScreenSaver(seams, tmpl, record, target));
  EXPECT_EQ(files.files[target].size(), 3836u);
  EXPECT_EQ(files.files[target][3000], 0xEE);
}

TEST_F(Fixture, BuildReportsMissingTemplateAndBusyTarget) {
  std::string missing = "C:\\Prismora\\vexo4";
  EXPECT_FALSE(AssembleBuildScreenSaver(seams, missing, record, target));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].first, "File C:\\Prismora\\vexo4\nNot Found. Please reinstall application.");
  EXPECT_EQ(boxes.shown[0].second, "Error");
  EXPECT_FALSE(files.files.count(target));

  files.locked.insert(target);
  EXPECT_FALSE(AssembleBuildScreenSaver(seams, tmpl, record, target));
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].first, "Could not open C:\\Prismora\\Flowers.scr\n(program still running?).");
}

TEST_F(Fixture, FailedAppendIsReportedAndLeavesNoBrokenFile) {
  files.failAppend = true;
  EXPECT_FALSE(AssembleBuildScreenSaver(seams, tmpl, record, target));
  EXPECT_FALSE(files.files.count(target));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, "Error");
  EXPECT_FALSE(AssemblePreviewScreenSaver(seams, tmpl, record, target));
}

TEST_F(Fixture, PreviewWaitsWhileTheTargetIsBusyAndKeepsPumping) {
  files.locked.insert(target);
  pump.onRun = [&] {
    if (pump.runs == 5) files.locked.clear();  // the old preview ends
  };
  ASSERT_TRUE(AssemblePreviewScreenSaver(seams, tmpl, record, target));
  EXPECT_EQ(pump.runs, 5);
  EXPECT_EQ(pump.pauses, 5);
  EXPECT_EQ(files.files[target].size(), 3836u);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Fixture, PreviewWithMissingTemplateDoesNotWait) {
  EXPECT_FALSE(AssemblePreviewScreenSaver(seams, "C:\\Prismora\\vexo1", record, target));
  EXPECT_EQ(pump.runs, 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].first, "File C:\\Prismora\\vexo1\nNot Found. Please reinstall application.");
}

TEST_F(Fixture, PreviewStopsWaitingWhenTheTemplateDisappears) {
  files.locked.insert(target);
  pump.onRun = [&] {
    if (pump.runs == 3) files.files.erase(tmpl);
  };
  EXPECT_FALSE(AssemblePreviewScreenSaver(seams, tmpl, record, target));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].first.rfind("File ", 0), 0u);
}

// A target that stays in use (a program other than a preview holding it) ends the wait
// after a bounded time with a box that names the file and the reason.
TEST_F(Fixture, PreviewGivesUpOnATargetStillInUseAfterTheWait) {
  files.locked.insert(target);
  pump.onRun = [&] {
    if (pump.runs == 1000) files.locked.clear();  // far beyond the wait: only an endless one gets here
  };
  EXPECT_FALSE(AssemblePreviewScreenSaver(seams, tmpl, record, target));
  EXPECT_EQ(pump.pauses, kPreviewInUseWaitMs / kPreviewRetryPauseMs);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].first,
            "Could not write C:\\Prismora\\Flowers.scr\nThe file is in use by another process.\n"
            "(still in use after 5 seconds)");
  EXPECT_EQ(boxes.shown[0].second, "Error");
  EXPECT_FALSE(files.files.count(target));
}

// Waiting never makes a read-only target or a full disk writable: the box comes at once.
TEST_F(Fixture, PreviewReportsATargetThatCannotBeWrittenAtOnce) {
  for (const char* reason : {"Access is denied.", "There is not enough space on the disk."}) {
    boxes.shown.clear();
    pump.runs = pump.pauses = 0;
    files.unwritable[target] = reason;
    pump.onRun = [&] {
      if (pump.runs == 1000) files.unwritable.clear();  // only an endless wait gets here
    };
    EXPECT_FALSE(AssemblePreviewScreenSaver(seams, tmpl, record, target));
    EXPECT_EQ(pump.pauses, 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, "Could not write C:\\Prismora\\Flowers.scr\n" + std::string(reason));
    EXPECT_EQ(boxes.shown[0].second, "Error");
  }
  // Without a reason from the file system the box still says what may be wrong.
  EXPECT_EQ(CopyFailedMessage(target, {platform::CopyFailure::Other, ""}),
            "Could not write C:\\Prismora\\Flowers.scr\nThe file is write-protected, or the disk is full.");
}

TEST(RecordFor, CarriesThePhotoChangeIntervalForPreviewsAndBuilds) {
  project::ProjectSettings s;
  s.Photos = {"a.jpg", "b.jpg", "c.jpg"};
  s.PhotoChangeSeconds = 9;
  for (bool preview : {true, false}) {
    trailer::BuilderRecord r = RecordFor(s, preview);
    std::vector<uint8_t> file(100, 0);
    file.insert(file.end(), r.begin(), r.end());
    trailer::Trailer t = trailer::Trailer::fromFileTail(file);
    EXPECT_EQ(t.photoChangeSeconds(), 9);
    EXPECT_EQ(t.photoCount(), 3);
    EXPECT_EQ(t.previewFlag(), preview);
  }
  s.PhotoChangeSeconds = 0;
  std::vector<uint8_t> file(100, 0);
  trailer::BuilderRecord r = RecordFor(s, false);
  file.insert(file.end(), r.begin(), r.end());
  EXPECT_EQ(trailer::Trailer::fromFileTail(file).photoChangeSeconds(), 0);
}
