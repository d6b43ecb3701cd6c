#include "builder/output/preview.h"

#include <gtest/gtest.h>

#include <vector>

using namespace prismora::output;

namespace {
struct RecordingSteps : PreviewSteps {
  int photos = 3;
  bool assembles = true, prepares = true, oldPlatform = false;
  uintptr_t host = 4242;
  std::vector<std::string> calls;
  int PhotoCount() override { return photos; }
  void WarnTooFewPhotosThenAdd() override { calls.push_back("warn+add"); }
  void StopTemplatePreview() override { calls.push_back("stop"); }
  uintptr_t CreateHostFrame() override {
    calls.push_back("frame");
    return host;
  }
  void DeletePreviewSettingsKey() override { calls.push_back("delete key"); }
  bool AssemblePreviewFile(const std::string& t) override {
    calls.push_back("assemble " + t);
    return assembles;
  }
  bool PreparePhotos(const std::string& folder, const std::string& stem) override {
    calls.push_back("prepare " + folder + " " + stem);
    return prepares;
  }
  bool IsOldPlatform() override { return oldPlatform; }
  void StartProcess(const std::string& cmd) override { calls.push_back("start " + cmd); }
};
using Calls = std::vector<std::string>;
}  // namespace

TEST(PreviewText, FoldersAndCommandLines) {
  EXPECT_EQ(PreviewPhotoFolder("C:\\windows\\system32"), "C:\\windows\\system32\\preview\\");
  EXPECT_EQ(PreviewPhotoFolder("C:\\windows\\system32\\"), "C:\\windows\\system32\\preview\\");
  EXPECT_EQ(TemplatePreviewCommand("C:\\Program Files\\P\\preview.scr", 1234),
            "\"C:\\Program Files\\P\\preview.scr\" /p 1234");
  EXPECT_EQ(ScreenSaverPreviewCommand("C:\\P\\preview.scr"), "\"C:\\P\\preview.scr\"");
  EXPECT_EQ(ScreenSaverShowCommand("C:\\My P\\preview.scr"), "\"C:\\My P\\preview.scr\" /s");
}

TEST(TemplatePreview, RunsTheStepsInOrderAndPreparesPhotosOnce) {
  RecordingSteps steps;
  bool ready = false;
  PreviewContext ctx{"C:\\P\\", "C:\\windows\\system32", ready};
  EXPECT_TRUE(RunTemplatePreview(steps, ctx));
  EXPECT_EQ(steps.calls, (Calls{"stop", "frame", "delete key", "assemble C:\\P\\preview.scr",
                                "prepare C:\\windows\\system32\\preview\\ preview",
                                "start \"C:\\P\\preview.scr\" /p 4242"}));
  EXPECT_TRUE(ready);
  steps.calls.clear();
  EXPECT_TRUE(RunTemplatePreview(steps, ctx));
  EXPECT_EQ(steps.calls.size(), 5u);  // no second preparation
}

TEST(TemplatePreview, TooFewPhotosTouchesNothing) {
  RecordingSteps steps;
  steps.photos = 1;
  bool ready = false;
  EXPECT_FALSE(RunTemplatePreview(steps, {"C:\\P\\", "C:\\w", ready}));
  EXPECT_EQ(steps.calls, (Calls{"warn+add"}));
}

TEST(TemplatePreview, FailuresStopBeforeTheProcessStarts) {
  RecordingSteps steps;
  bool ready = false;
  steps.assembles = false;
  EXPECT_FALSE(RunTemplatePreview(steps, {"C:\\P\\", "C:\\w", ready}));
  EXPECT_EQ(steps.calls.back(), "assemble C:\\P\\preview.scr");
  EXPECT_FALSE(ready);

  steps.calls.clear();
  steps.assembles = true;
  steps.prepares = false;
  EXPECT_FALSE(RunTemplatePreview(steps, {"C:\\P\\", "C:\\w", ready}));
  EXPECT_FALSE(ready);  // half-written photos are not current
  EXPECT_EQ(steps.calls.back().rfind("prepare", 0), 0u);

  steps.calls.clear();
  steps.prepares = true;
  steps.oldPlatform = true;
  EXPECT_FALSE(RunTemplatePreview(steps, {"C:\\P\\", "C:\\w", ready}));
  EXPECT_TRUE(ready);  // files are prepared, nothing is started
  EXPECT_EQ(steps.calls.back().rfind("prepare", 0), 0u);
}

TEST(ScreenSaverPreview, NoFrameNoArgumentsEvenOnOldPlatforms) {
  RecordingSteps steps;
  steps.oldPlatform = true;
  bool ready = true;
  EXPECT_TRUE(RunScreenSaverPreview(steps, {"C:\\P\\", "C:\\w", ready}));
  EXPECT_EQ(steps.calls, (Calls{"stop", "delete key", "assemble C:\\P\\preview.scr",
                                "start \"C:\\P\\preview.scr\""}));
}

TEST(ScreenSaverShow, SameStepsAsThePreviewButStraightToFullScreen) {
  RecordingSteps steps;
  bool ready = false;
  EXPECT_TRUE(RunScreenSaverShow(steps, {"C:\\P\\", "C:\\w", ready}));
  EXPECT_EQ(steps.calls, (Calls{"stop", "delete key", "assemble C:\\P\\preview.scr", "prepare C:\\w\\preview\\ preview",
                                "start \"C:\\P\\preview.scr\" /s"}));
  steps.calls.clear();
  steps.photos = 1;
  EXPECT_FALSE(RunScreenSaverShow(steps, {"C:\\P\\", "C:\\w", ready}));
  EXPECT_EQ(steps.calls, (Calls{"warn+add"}));
}
