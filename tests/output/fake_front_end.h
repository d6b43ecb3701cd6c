// The output pipeline in memory: a front end that records what it is asked, files,
// boxes and a compiler stand-in from fake_seams.h, and photos that decode as one colour.
#pragma once
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "builder/output/pipeline.h"
#include "tests/support/fake_seams.h"

namespace prismora::testsupport {

// Every event of a command in the order it happened, shared by the fakes below.
using EventLog = std::vector<std::string>;

// The compiler stand-in: writes output\setup.exe when it "ends".
struct FakeLauncher : platform::ProcessLauncher {
  FakeFiles& files;
  EventLog& log;
  std::string output;
  bool startable = true, producesOutput = true, running = false;
  FakeLauncher(FakeFiles& f, EventLog& l, std::string out) : files(f), log(l), output(std::move(out)) {}
  bool StartHidden(const std::string& cmd, const std::string&) override {
    if (!startable) return false;
    log.push_back("compile " + cmd);
    running = true;
    return true;
  }
  int WaitForLastProcess() override {
    if (running && producesOutput) files.files[output] = std::vector<uint8_t>(1234567, 1);
    running = false;
    log.push_back("wait");
    return 0;
  }
  bool StartDetached(const std::string& cmd) override {
    log.push_back("start " + cmd);
    return startable;
  }
};

struct ImageSurfaces : photos::FittingSurfaces {
  photos::PixelImage preview{photos::kPreviewSide, photos::kPreviewSide};
  photos::PixelImage forSave{photos::kTextureSide, photos::kTextureSide};
  photos::PixelView Preview() override { return preview.View(); }
  photos::PixelView ForSave() override { return forSave.View(); }
  void Drawn() override {}
};

struct SilentProgress : photos::ProgressUi {
  std::vector<std::string> labels;
  void Show() override {}
  void Hide() override {}
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
  void SetLabel(const std::string& text) override { labels.push_back(text); }
};

struct RecordingFrontEnd : output::FrontEnd {
  EventLog& log;
  project::ProjectSettings project;
  ImageSurfaces surfaces;
  SilentProgress progress;
  output::PreviewPhotos photos;
  bool oldPlatform = false, hasWizardPictures = true;
  uintptr_t host = 4242;
  std::optional<std::string> destination = "C:\\Users\\me\\Flowers setup.exe";
  std::function<void()> onAsk;
  std::string summary;
  int finishedShown = 0;

  explicit RecordingFrontEnd(EventLog& l) : log(l) {}
  project::ProjectSettings Project() override { return project; }
  photos::FittingSurfaces& PhotoSurfaces() override { return surfaces; }
  photos::ProgressUi& Progress() override { return progress; }
  output::PreviewPhotos& PreviewPhotosState() override { return photos; }
  bool WizardPicture(output::WizardSlot slot, int width, int height, photos::PixelImage& out,
                     std::string& error) override {
    if (!hasWizardPictures) {
      error = "no wizard picture";
      return false;
    }
    out.Resize(width, height);
    photos::Fill(out.View(), slot == output::WizardSlot::Large ? 0x00FF0000 : 0x000000FF);
    return true;
  }
  void FocusField(output::ProjectField field) override {
    log.push_back(field == output::ProjectField::Title ? "focus title" : "focus author");
  }
  void AddPhotos() override { log.push_back("add photos"); }
  std::optional<std::string> AskDestination() override {
    log.push_back("ask");
    if (onAsk) onAsk();
    return destination;
  }
  void ShowFinished(const std::string& s, const std::string&) override {
    summary = s;
    ++finishedShown;
  }
  void StopTemplatePreview() override { log.push_back("stop"); }
  uintptr_t CreateHostFrame() override {
    log.push_back("frame");
    return host;
  }
  bool OldPlatform() override { return oldPlatform; }
};

// Each photo file decodes as a 40 × 30 picture of one grey; a missing file fails.
inline photos::PhotoDecoder SolidPhotos(FakeFiles& files) {
  return photos::MakePhotoDecoder(files, [](std::span<const uint8_t>, const photos::DrawSizeFor&,
                                            photos::DecodedPhoto& out, std::string&) {
    out.pixels.Resize(40, 30);
    photos::Fill(out.pixels.View(), 0x00808080);
    out.fullWidth = 40;
    out.fullHeight = 30;
    return true;
  });
}

// A builder in C:\P\ with template 2 and three photos, ready to run any command.
struct PipelineFixture : ::testing::Test {
  FakeFiles files;
  FakeBoxes boxes;
  FakePump pump;
  EventLog log;
  FakeLauncher launcher{files, log, "C:\\U\\output\\setup.exe"};
  RecordingFrontEnd front{log};
  photos::RandomColors random;
  photos::PhotoDecoder decode = SolidPhotos(files);
  // The builder installed in C:\P\, its user's folder C:\U\.
  static inline const project::BuilderFolders kFolders{"C:\\P\\", "C:\\U\\"};
  static inline std::vector<std::string> deletedKeys;
  static void DeleteKey(const std::string& key) { deletedKeys.push_back(key); }

  void SetUp() override {
    deletedKeys.clear();
    files.files["C:\\P\\vexo2"] = std::vector<uint8_t>(5000, 7);
    files.files["C:\\P\\ISCC.exe"] = {1};  // the compiler, next to the builder
    front.project.Title = "Flowers";
    front.project.Author = "Anna";
    front.project.TemplateIndex = 2;
    for (const char* p : {"C:\\pics\\a.jpg", "C:\\pics\\b.jpg", "C:\\pics\\c.jpg"}) {
      front.project.Photos.push_back(p);
      files.files[p] = {1};
    }
  }
  output::OutputPipeline Pipeline() {
    return output::OutputPipeline(front, {files, boxes, pump, launcher, random, decode, nullptr, kFolders, DeleteKey, ','});
  }
  bool Has(const std::string& path) const { return files.files.count(path) > 0; }
};

}  // namespace prismora::testsupport
