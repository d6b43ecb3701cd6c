// The two preview commands and the full-screen show as one sequence, with every file in
// memory.
#include "builder/output/preview.h"

#include <gtest/gtest.h>

#include <vector>

#include "builder/output/pipeline.h"
#include "common/trailer.h"
#include "tests/output/fake_front_end.h"

using namespace prismora;
using namespace prismora::output;
using namespace prismora::testsupport;

namespace {
using Calls = std::vector<std::string>;
using Preview = PipelineFixture;
const std::string kPhotoFolder = "C:\\U\\preview\\";  // in the user folder
}  // namespace

TEST(PreviewText, FoldersAndCommandLines) {
  EXPECT_EQ(TemplatePreviewCommand("C:\\Program Files\\P\\preview.scr", 1234),
            "\"C:\\Program Files\\P\\preview.scr\" /p 1234");
  EXPECT_EQ(ScreenSaverPreviewCommand("C:\\P\\preview.scr"), "\"C:\\P\\preview.scr\"");
  EXPECT_EQ(ScreenSaverShowCommand("C:\\My P\\preview.scr"), "\"C:\\My P\\preview.scr\" /s");
}

TEST_F(Preview, TemplatePreviewRunsInOrderAndPreparesPhotosOnce) {
  EXPECT_EQ(Pipeline().TemplatePreview(), PreviewResult::Started);
  EXPECT_EQ(log, (Calls{"stop", "frame", "start \"C:\\U\\preview.scr\" /p 4242"}));
  EXPECT_EQ(deletedKeys, (Calls{kPreviewSettingsKey}));
  const std::vector<uint8_t>& scr = files.files["C:\\U\\preview.scr"];
  ASSERT_EQ(scr.size(), 5000u + trailer::kBuilderRecordSize);
  EXPECT_EQ(scr[scr.size() - trailer::kTrailerSize + trailer::off::PreviewFlag], 1);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Has(kPhotoFolder + "preview" + std::to_string(i) + ".bmp")) << i;
  EXPECT_TRUE(front.photos.Ready());

  // Current photos are not written again.
  files.files.erase(kPhotoFolder + "preview0.bmp");
  log.clear();
  EXPECT_EQ(Pipeline().TemplatePreview(), PreviewResult::Started);
  EXPECT_EQ(log.size(), 3u);
  EXPECT_FALSE(Has(kPhotoFolder + "preview0.bmp"));
}

TEST_F(Preview, TooFewPhotosTouchesNothing) {
  front.project.Photos.resize(1);
  EXPECT_EQ(Pipeline().TemplatePreview(), PreviewResult::Refused);
  EXPECT_EQ(log, (Calls{"add photos"}));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0], std::make_pair(std::string(kTooFewPhotos), std::string("Warning!")));
  EXPECT_FALSE(Has("C:\\U\\preview.scr"));
  EXPECT_TRUE(deletedKeys.empty());
}

TEST_F(Preview, FailuresStopBeforeTheProcessStarts) {
  files.files.erase("C:\\P\\vexo2");
  EXPECT_EQ(Pipeline().TemplatePreview(), PreviewResult::Failed);
  EXPECT_EQ(log, (Calls{"stop", "frame"}));  // the black frame stays
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].first, "File C:\\P\\vexo2\nNot Found. Please reinstall application.");
  EXPECT_FALSE(front.photos.Ready());

  files.files["C:\\P\\vexo2"] = {1, 2, 3};
  files.files.erase("C:\\pics\\c.jpg");
  log.clear();
  EXPECT_EQ(Pipeline().TemplatePreview(), PreviewResult::Failed);
  EXPECT_EQ(log, (Calls{"stop", "frame"}));
  EXPECT_FALSE(front.photos.Ready());  // half-written photos are not current
  EXPECT_NE(boxes.shown.back().first.find("C:\\pics\\c.jpg"), std::string::npos);

  files.files["C:\\pics\\c.jpg"] = {1};
  front.oldPlatform = true;
  log.clear();
  EXPECT_EQ(Pipeline().TemplatePreview(), PreviewResult::Prepared);
  EXPECT_EQ(log, (Calls{"stop", "frame"}));  // files are prepared, nothing is started
  EXPECT_TRUE(front.photos.Ready());
}

TEST_F(Preview, AListChangedDuringThePhotoRunLeavesThePhotosNotCurrent) {
  // The run lets messages through; one of them edits the list.
  pump.onRun = [this] {
    if (pump.runs == 2) front.photos.Changed();
  };
  EXPECT_EQ(Pipeline().TemplatePreview(), PreviewResult::Started);
  EXPECT_FALSE(front.photos.Ready());
  // The next preview writes them again, and then they are current.
  files.files.erase(kPhotoFolder + "preview0.bmp");
  pump.onRun = nullptr;
  EXPECT_EQ(Pipeline().ScreenSaverPreview(), PreviewResult::Started);
  EXPECT_TRUE(Has(kPhotoFolder + "preview0.bmp"));
  EXPECT_TRUE(front.photos.Ready());
}

TEST_F(Preview, ScreenSaverPreviewHasNoFrameNoArgumentsEvenOnOldPlatforms) {
  front.oldPlatform = true;
  front.photos.Prepared(front.photos.Stamp());
  EXPECT_EQ(Pipeline().ScreenSaverPreview(), PreviewResult::Started);
  EXPECT_EQ(log, (Calls{"stop", "start \"C:\\U\\preview.scr\""}));
  EXPECT_FALSE(Has(kPhotoFolder + "preview0.bmp"));  // already current
}

TEST_F(Preview, ShowIsThePreviewStraightToFullScreen) {
  EXPECT_EQ(Pipeline().ScreenSaverShow(), PreviewResult::Started);
  EXPECT_EQ(log, (Calls{"stop", "start \"C:\\U\\preview.scr\" /s"}));
  EXPECT_TRUE(Has(kPhotoFolder + "preview2.bmp"));
  launcher.startable = false;
  EXPECT_EQ(Pipeline().ScreenSaverShow(), PreviewResult::StartFailed);
  log.clear();
  front.project.Photos.resize(1);
  EXPECT_EQ(Pipeline().ScreenSaverShow(), PreviewResult::Refused);
  EXPECT_EQ(log, (Calls{"add photos"}));
}
