// The build as one sequence, with every file in memory.
#include "builder/output/build.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "builder/output/pipeline.h"
#include "builder/output/script.h"
#include "common/trailer.h"
#include "tests/output/fake_front_end.h"

using namespace prismora;
using namespace prismora::output;
using namespace prismora::testsupport;

namespace {
BuildNames names{"C:\\U\\", "Flowers", 3};  // the user folder
using Build = PipelineFixture;
using Events = std::vector<std::string>;
}  // namespace

TEST(BuildText, CompilerCommandAndSummary) {
  BuildNames n{"C:\\My Tools\\", "Untitled Screen Saver", 3};
  EXPECT_EQ(CompilerCommandLine("C:\\Program Files\\Inno Setup 6\\ISCC.exe", n),
            "\"C:\\Program Files\\Inno Setup 6\\ISCC.exe\" /O\"C:\\My Tools\\output\" /Fsetup "
            "\"C:\\My Tools\\Untitled Screen Saver.iss\"");
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

TEST_F(Build, WritesEveryInputCompilesAsksThenCleansUpAndReports) {
  files.files[names.CompilerOutput()] = {9};  // left over from an earlier build
  front.project.LicenseText = "Share.";
  bool inputsPresentAtDialog = false;
  front.onAsk = [&] {
    inputsPresentAtDialog = true;
    for (const auto& f : names.InputFiles()) inputsPresentAtDialog &= Has(f);
    // The old output was removed before the compiler started.
    inputsPresentAtDialog &= !Has(names.CompilerOutput());
  };
  ASSERT_EQ(Pipeline().Build(), output::BuildResult::Done);
  EXPECT_TRUE(inputsPresentAtDialog);
  // The compiler starts before the dialog; the clean-up waits for it.
  EXPECT_EQ(log, (Events{"compile " + output::CompilerCommandLine("C:\\P\\ISCC.exe", names), "ask", "wait"}));
  for (const auto& f : names.InputFiles()) EXPECT_FALSE(Has(f)) << f;
  EXPECT_EQ(files.files["C:\\U\\license.txt"], std::vector<uint8_t>({'S', 'h', 'a', 'r', 'e', '.'}));
  EXPECT_FALSE(Has(names.CompilerOutput()));
  EXPECT_EQ(files.files["C:\\Users\\me\\Flowers setup.exe"].size(), 1234567u);
  EXPECT_EQ(front.summary,
            "Title: Flowers\r\nTotal photos: 3\r\nFile size: 1,23 MB\r\n"
            "File Location: C:\\Users\\me\\Flowers setup.exe\r\n");
  EXPECT_EQ(front.progress.labels, (Events{"Photo 1 of 3: a.jpg", "Photo 2 of 3: b.jpg", "Photo 3 of 3: c.jpg"}));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Build, CancelLeavesEveryBuildFileWithItsContent) {
  front.destination.reset();
  EXPECT_EQ(Pipeline().Build(), output::BuildResult::Cancelled);
  for (const auto& f : names.InputFiles()) EXPECT_TRUE(Has(f)) << f;
  EXPECT_TRUE(Has(names.CompilerOutput()));
  EXPECT_EQ(front.finishedShown, 0);
  // The screen saver is the template with the build's record (no preview flag).
  const std::vector<uint8_t>& scr = files.files[names.ScreenSaver()];
  ASSERT_EQ(scr.size(), 5000u + trailer::kBuilderRecordSize);
  EXPECT_EQ(scr[scr.size() - trailer::kTrailerSize + trailer::off::PreviewFlag], 0);
  // The script is the text with one line break after it.
  const std::vector<uint8_t>& iss = files.files[names.Script()];
  output::ScriptInputs in{"Flowers", "C:\\U\\", true, 3, "C:\\P\\"};
  EXPECT_EQ(std::string(iss.begin(), iss.end()), output::SetupScriptText(in) + "\r\n");
  // The wizard pictures are written at their slots' sizes.
  EXPECT_EQ(files.files[names.WizardImage()].size(), 54u + 164 * 3 * 314);
  EXPECT_EQ(files.files[names.WizardSmallImage()].size(), 54u + 168 * 55);
}

TEST_F(Build, CompilerWithoutOutputGivesTheCopyError) {
  launcher.producesOutput = false;
  EXPECT_EQ(Pipeline().Build(), output::BuildResult::Failed);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0], std::make_pair(std::string("Unexpected error. Files don't create."), std::string("Error")));
  EXPECT_EQ(front.finishedShown, 0);
}

TEST_F(Build, MissingCompilerIsReportedBeforeAskingForADestination) {
  files.files.erase("C:\\P\\ISCC.exe");
  EXPECT_EQ(Pipeline().Build(), output::BuildResult::Failed);
  ASSERT_EQ(boxes.shown.size(), 1u);
  const std::string& text = boxes.shown[0].first;
  EXPECT_EQ(boxes.shown[0].second, "Error");
  EXPECT_NE(text.find("ISCC.exe was not found"), std::string::npos);
  EXPECT_NE(text.find("C:\\P\\ISCC.exe"), std::string::npos) << "where it looked";
  EXPECT_NE(text.find("Inno Setup 6_is1"), std::string::npos);
  EXPECT_NE(text.find("5.5.9 or later"), std::string::npos);
  EXPECT_TRUE(log.empty());  // never started, never asked
  EXPECT_TRUE(Has(names.Script()));

  // Found but refusing to start: the same box, naming the program that failed.
  files.files["C:\\P\\ISCC.exe"] = {1};
  launcher.startable = false;
  boxes.shown.clear();
  EXPECT_EQ(Pipeline().Build(), output::BuildResult::Failed);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].first.find("C:\\P\\ISCC.exe could not be started"), std::string::npos);
}

namespace {
// What the registry holds in a test: product key, root and view to InstallLocation.
std::map<std::tuple<std::string, platform::RegistryRoot, platform::RegistryView>, std::string> recorded;
std::optional<std::string> ReadRecorded(platform::RegistryRoot root, platform::RegistryView view,
                                        const std::string& key, const std::string& value) {
  if (value != "InstallLocation") return std::nullopt;
  auto it = recorded.find({key, root, view});
  if (it == recorded.end()) return std::nullopt;
  return it->second;
}
using platform::RegistryRoot;
using platform::RegistryView;
const std::string kIs6 = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Inno Setup 6_is1";
const std::string kIs5 = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Inno Setup 5_is1";
}  // namespace

TEST(CompilerSearch, BuilderFolderFirstThenInnoSetup6Then5MachineBeforeUserBothViews) {
  recorded = {
      {{kIs5, RegistryRoot::LocalMachine, RegistryView::Bits32}, "C:\\Program Files (x86)\\Inno Setup 5\\"},
      {{kIs6, RegistryRoot::CurrentUser, RegistryView::Bits64}, "C:\\Users\\me\\AppData\\Local\\Programs\\Inno Setup 6"},
      {{kIs6, RegistryRoot::LocalMachine, RegistryView::Bits64}, "\"D:\\Tools\\IS6\\\""},
      // A 32-bit Windows has one view: both read the same entry, and it is looked at once.
      {{kIs6, RegistryRoot::LocalMachine, RegistryView::Bits32}, "d:\\tools\\is6\\"},
      {{kIs5, RegistryRoot::CurrentUser, RegistryView::Bits32}, ""},  // empty: nothing recorded
  };
  FakeFiles files;
  CompilerSearch none = FindCompiler("C:\\P\\", ReadRecorded, files);
  EXPECT_EQ(none.places, (std::vector<std::string>{"C:\\P\\ISCC.exe", "d:\\tools\\is6\\ISCC.exe",
                                                   "C:\\Users\\me\\AppData\\Local\\Programs\\Inno Setup 6\\ISCC.exe",
                                                   "C:\\Program Files (x86)\\Inno Setup 5\\ISCC.exe"}));
  EXPECT_FALSE(none.found);

  files.files["C:\\Program Files (x86)\\Inno Setup 5\\ISCC.exe"] = {1};
  EXPECT_EQ(FindCompiler("C:\\P\\", ReadRecorded, files).found, "C:\\Program Files (x86)\\Inno Setup 5\\ISCC.exe");
  files.files["C:\\Users\\me\\AppData\\Local\\Programs\\Inno Setup 6\\ISCC.exe"] = {1};
  EXPECT_EQ(FindCompiler("C:\\P\\", ReadRecorded, files).found,
            "C:\\Users\\me\\AppData\\Local\\Programs\\Inno Setup 6\\ISCC.exe");
  files.files["C:\\P\\ISCC.exe"] = {1};
  EXPECT_EQ(FindCompiler("C:\\P\\", ReadRecorded, files).found, "C:\\P\\ISCC.exe");

  // Without a registry only the builder folder counts; a bare name is never a candidate.
  CompilerSearch alone = FindCompiler("C:\\P\\", nullptr, files);
  EXPECT_EQ(alone.places, (std::vector<std::string>{"C:\\P\\ISCC.exe"}));
}

TEST_F(Build, TheCompilerRecordedInTheRegistryIsStartedByItsFullPath) {
  recorded = {{{kIs6, RegistryRoot::CurrentUser, RegistryView::Bits32}, "C:\\Program Files\\Inno Setup 6"}};
  files.files.erase("C:\\P\\ISCC.exe");
  files.files["C:\\Program Files\\Inno Setup 6\\ISCC.exe"] = {1};
  output::OutputPipeline pipeline(front, {files, boxes, pump, launcher, random, decode, nullptr, kFolders, DeleteKey,
                                          ',', ReadRecorded});
  ASSERT_EQ(pipeline.Build(), output::BuildResult::Done);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0], "compile \"C:\\Program Files\\Inno Setup 6\\ISCC.exe\" /O\"C:\\U\\output\" /Fsetup "
                    "\"C:\\U\\Flowers.iss\"");
}

TEST_F(Build, RefusedProjectWritesNothing) {
  front.project.Title.clear();
  front.project.Author.clear();
  files.files[names.CompilerOutput()] = {9};
  EXPECT_EQ(Pipeline().Build(), output::BuildResult::Refused);
  // Only the title is reported, with the focus in its field.
  EXPECT_EQ(log, (Events{"focus title"}));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0], std::make_pair(std::string("Please fill Title field"), std::string("Warning!")));
  EXPECT_TRUE(Has(names.CompilerOutput()));
  EXPECT_FALSE(Has("C:\\U\\.scr"));
}

TEST_F(Build, ChecksRefuseUnsafeTitlesMissingAuthorsAndTooFewPhotos) {
  struct Case {
    std::string title, author;
    int photos;
    Events log;
    std::string warning;
  };
  const Case cases[] = {
      {std::string(100, 'x'), "Anna", 3, {"focus title"}, *output::UnsafeTitleReason(std::string(100, 'x'))},
      {"Sea.", "Anna", 3, {"focus title"}, *output::UnsafeTitleReason("Sea.")},
      {"LPT1", "Anna", 3, {"focus title"}, *output::UnsafeTitleReason("LPT1")},
      {"Flowers", "", 3, {"focus author"}, "Please fill Autor field"},
      {"Flowers", "Anna", 1, {"add photos"}, "Please firstly add at least two photos"},
  };
  for (const Case& c : cases) {
    log.clear();
    boxes.shown.clear();
    front.project.Title = c.title;
    front.project.Author = c.author;
    front.project.Photos.resize(size_t(c.photos));
    EXPECT_EQ(Pipeline().Build(), output::BuildResult::Refused) << c.title;
    EXPECT_EQ(log, c.log) << c.title;
    ASSERT_EQ(boxes.shown.size(), 1u) << c.title;
    EXPECT_EQ(boxes.shown[0], std::make_pair(c.warning, std::string("Warning!"))) << c.title;
    EXPECT_FALSE(Has(names.Script()));
  }
}

TEST_F(Build, AMissingWizardPictureEndsTheBuildBeforeTheCompiler) {
  front.hasWizardPictures = false;
  EXPECT_EQ(Pipeline().Build(), output::BuildResult::Failed);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0], std::make_pair(std::string("no wizard picture"), std::string("Error")));
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(Has(names.PhotoJpeg(2)));  // what was written stays
}

TEST_F(Build, AnUnreadablePhotoEndsTheBuildWithItsName) {
  files.files.erase("C:\\pics\\b.jpg");
  EXPECT_EQ(Pipeline().Build(), output::BuildResult::Failed);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].first.find("C:\\pics\\b.jpg"), std::string::npos);
  EXPECT_TRUE(Has(names.PhotoJpeg(0)));
  EXPECT_FALSE(Has(names.PhotoJpeg(1)));
  EXPECT_TRUE(log.empty());
}

TEST_F(Build, AWizardBitmapThatCannotBeWrittenSaysWhichFile) {
  files.locked.insert(names.WizardSmallImage());
  EXPECT_EQ(Pipeline().Build(), output::BuildResult::Failed);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].first, "Cannot create file \"C:\\U\\ImageWizModernSmallImage.bmp\".");
  EXPECT_TRUE(Has(names.WizardImage()));
  EXPECT_TRUE(log.empty());
}

// The program folder is read-only to a standard user: the templates, the converter and a
// compiler beside the builder are read from it, and every file a build or a preview writes
// goes into the user folder, also when the build is cancelled and its inputs stay.
TEST_F(Build, BuildsAndPreviewsReadTheProgramFolderAndWriteOnlyTheUserFolder) {
  auto programFiles = [this] {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> in;
    for (const auto& [path, bytes] : files.files)
      if (path.rfind("C:\\P\\", 0) == 0) in.emplace_back(path, bytes);
    return in;
  };
  const auto before = programFiles();
  front.destination.reset();
  ASSERT_EQ(Pipeline().Build(), output::BuildResult::Cancelled);
  for (const std::string& input : names.InputFiles()) EXPECT_TRUE(Has(input)) << input;
  EXPECT_EQ(names.InputFiles().front().rfind("C:\\U\\", 0), 0u);
  // The script takes the converter from the program folder, where setup programs find it.
  const std::vector<uint8_t>& iss = files.files[names.Script()];
  EXPECT_NE(std::string(iss.begin(), iss.end()).find("Source: \"C:\\P\\pixolve.exe\""), std::string::npos);
  EXPECT_EQ(log.front(), "compile " + output::CompilerCommandLine("C:\\P\\ISCC.exe", names));

  EXPECT_EQ(Pipeline().TemplatePreview(), output::PreviewResult::Started);
  EXPECT_TRUE(Has("C:\\U\\preview.scr"));
  EXPECT_TRUE(Has("C:\\U\\preview\\preview2.bmp"));
  EXPECT_TRUE(programFiles() == before) << "a file in the program folder was written or removed";
}
