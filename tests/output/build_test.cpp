#include "builder/output/build.h"

#include <gtest/gtest.h>

#include "tests/support/fake_seams.h"

using namespace prismora;
using namespace prismora::output;
using namespace prismora::testsupport;

namespace {

// The compiler stand-in: writes output\setup.exe when it "ends".
struct FakeLauncher : platform::ProcessLauncher {
  FakeFiles& files;
  std::string output;
  bool startable = true, producesOutput = true, running = false;
  std::vector<std::string> started;
  std::vector<std::string> log;  // shared order of events, filled by the steps too
  explicit FakeLauncher(FakeFiles& f, std::string out) : files(f), output(std::move(out)) {}
  bool StartHidden(const std::string& cmd, const std::string&) override {
    if (!startable) return false;
    started.push_back(cmd);
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
    started.push_back(cmd);
    return true;
  }
};

struct RecordingSteps : BuildSteps {
  FakeFiles& files;
  FakeLauncher& launcher;
  BuildNames names;
  bool projectOk = true;
  std::optional<std::string> destination = "C:\\Users\\me\\Flowers setup.exe";
  std::string summary;
  int finishedShown = 0;
  bool scriptInputsPresentAtDialog = false;
  RecordingSteps(FakeFiles& f, FakeLauncher& l, BuildNames n) : files(f), launcher(l), names(std::move(n)) {}

  bool CheckProject() override { return projectOk; }
  bool MakeScreenSaver(const std::string& t) override { return write(t); }
  bool WriteScript(const std::string& p) override {
    files.files[names.folder + "license.txt"] = {1};
    return write(p);
  }
  bool ExportPhotos() override {
    for (int i = 0; i < names.photoCount; ++i) write(names.PhotoJpeg(i));
    return true;
  }
  bool SaveWizardImages() override { return write(names.WizardImage()) && write(names.WizardSmallImage()); }
  std::optional<std::string> AskDestination() override {
    launcher.log.push_back("ask");
    scriptInputsPresentAtDialog = files.files.count(names.Script()) > 0;
    return destination;
  }
  void ShowFinished(const std::string& s, const std::string&) override {
    summary = s;
    ++finishedShown;
  }
  bool write(const std::string& p) {
    files.files[p] = {0};
    return true;
  }
};

struct BuildFixture : ::testing::Test {
  FakeFiles files;
  FakeBoxes boxes;
  BuildNames names{"C:\\Prismora\\", "Flowers", 3};
  FakeLauncher launcher{files, names.CompilerOutput()};
  RecordingSteps steps{files, launcher, names};
  BuildSeams seams{files, boxes, launcher, nullptr, ','};
};
}  // namespace

TEST(BuildText, CompilerCommandAndSummary) {
  BuildNames n{"C:\\My Tools\\", "Untitled Screen Saver", 3};
  EXPECT_EQ(CompilerCommandLine(n),
            "ISCC.exe /O\"C:\\My Tools\\output\" /Fsetup \"C:\\My Tools\\Untitled Screen Saver.iss\"");
  EXPECT_EQ(n.PhotoJpeg(2), "C:\\My Tools\\Untitled Screen Saver2.jpg");
  EXPECT_EQ(BuildSummary("Flowers", 7, "1.23", "C:\\out\\setup.exe"),
            "Title: Flowers\r\nTotal photos: 7\r\nFile size: 1.23 MB\r\nFile Location: C:\\out\\setup.exe\r\n");
}

TEST(BuildText, SizeIsTruncatedToHundredthsOfAMegabyte) {
  EXPECT_EQ(FormatSetupSize(1234567, '.'), "1.23");
  EXPECT_EQ(FormatSetupSize(2000000, '.'), "2");
  EXPECT_EQ(FormatSetupSize(1509999, '.'), "1.5");
  EXPECT_EQ(FormatSetupSize(9999, '.'), "0");
  EXPECT_EQ(FormatSetupSize(10000, ','), "0,01");
  EXPECT_EQ(FormatSetupSize(4294967295u, '.'), "4294.96");
}

TEST_F(BuildFixture, SuccessfulBuildCleansUpAndReports) {
  files.files[names.CompilerOutput()] = {9};  // left over from an earlier build
  ASSERT_EQ(RunBuild(steps, seams, names), BuildResult::Done);
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_TRUE(steps.scriptInputsPresentAtDialog);
  // The dialog came first, then the wait, then the clean-up.
  EXPECT_EQ(launcher.log, (std::vector<std::string>{"ask", "wait"}));
  for (const auto& f : names.InputFiles()) EXPECT_FALSE(files.files.count(f)) << f;
  EXPECT_TRUE(files.files.count("C:\\Prismora\\license.txt"));
  EXPECT_FALSE(files.files.count(names.CompilerOutput()));
  EXPECT_EQ(files.files["C:\\Users\\me\\Flowers setup.exe"].size(), 1234567u);
  EXPECT_EQ(steps.summary,
            "Title: Flowers\r\nTotal photos: 3\r\nFile size: 1,23 MB\r\n"
            "File Location: C:\\Users\\me\\Flowers setup.exe\r\n");
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(BuildFixture, CancelLeavesEveryBuildFile) {
  steps.destination.reset();
  EXPECT_EQ(RunBuild(steps, seams, names), BuildResult::Cancelled);
  for (const auto& f : names.InputFiles()) EXPECT_TRUE(files.files.count(f)) << f;
  EXPECT_TRUE(files.files.count(names.CompilerOutput()));
  EXPECT_EQ(steps.finishedShown, 0);
}

TEST_F(BuildFixture, CompilerWithoutOutputGivesTheCopyError) {
  launcher.producesOutput = false;
  EXPECT_EQ(RunBuild(steps, seams, names), BuildResult::Failed);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].first, "Unexpected error. Files don't create.");
  EXPECT_EQ(steps.finishedShown, 0);
}

TEST_F(BuildFixture, MissingCompilerIsReportedBeforeAskingForADestination) {
  launcher.startable = false;
  EXPECT_EQ(RunBuild(steps, seams, names), BuildResult::Failed);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].first.find("ISCC.exe was not found"), std::string::npos);
  EXPECT_TRUE(launcher.log.empty());  // never asked
  EXPECT_TRUE(files.files.count(names.Script()));
}

TEST_F(BuildFixture, RefusedProjectWritesNothing) {
  steps.projectOk = false;
  files.files[names.CompilerOutput()] = {9};
  EXPECT_EQ(RunBuild(steps, seams, names), BuildResult::Refused);
  EXPECT_TRUE(files.files.count(names.CompilerOutput()));
  EXPECT_FALSE(files.files.count(names.ScreenSaver()));
  EXPECT_TRUE(launcher.started.empty());
}
