// Builds from the main window, with its real output front end and the stand-in compiler:
// the same build files as the command line makes for the same project, the title checks
// with the focus in the title, a builder that stays sound while the compiler runs, and
// the finish window's Test.
#include <windows.h>

#include "builder/output/script.h"
#include "builder/photos/bmp.h"
#include "builder/photos/jpeg.h"
#include "builder/project/project_file.h"
#include "common/trailer.h"
#include "runtime/win/saver.h"
#include "tests/output/builder_window.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/picture_files.h"
#include "tests/support/run_program.h"
#include "tests/support/test_host.h"
#include "tests/support/unicode_photos.h"
#include "tests/support/wait.h"

using namespace prismora;
using namespace prismora::testsupport;
using window::ImageBuild;

namespace {

// A picture whose pixels say where they are, so a stretch can be checked pixel by pixel.
uint32_t PatternAt(int x, int y) {
  return uint32_t(x * 37 & 0xFF) | uint32_t(y * 11 & 0xFF) << 8 | uint32_t((x + 3 * y) * 5 & 0xFF) << 16;
}

std::vector<uint8_t> PatternBmp(int w, int h) {
  photos::PixelImage img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = img.View().Row(y) + 3 * x;
      const uint32_t c = PatternAt(x, y);
      p[0] = uint8_t(c >> 16);
      p[1] = uint8_t(c >> 8);
      p[2] = uint8_t(c);
    }
  return photos::EncodeBmp24(img.View());
}

// The wizard bitmap equals the pattern stretched by a whole factor, pixel for pixel.
void ExpectPatternStretched(const std::vector<uint8_t>& bmp, int w, int h, int factor) {
  photos::PixelImage img;
  std::string error;
  ASSERT_TRUE(photos::DecodeBmp(bmp, img, error)) << error;
  ASSERT_EQ(img.Width(), w);
  ASSERT_EQ(img.Height(), h);
  int wrong = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) wrong += img.View().At(x, y) != PatternAt(x / factor, y / factor);
  EXPECT_EQ(wrong, 0) << "of " << w * h << " pixels";
}

// Waits for a window of another process to go, running this thread's messages.
bool Gone(HWND w, DWORD ms = 10000) {
  return WaitUntil([&] { return !IsWindow(w); }, ms);
}

class WindowBuild : public BuilderWindowTest {
 protected:
  testsupport::RealUserFolderEmptiedAtEnd userFolderEmptied;
  std::string project;
  const std::string title = "Garden Walk";

  void SetUp() override {
    // Installed as a standard user has it: a program folder of its own, and the real user
    // folder of this prefix, where the command line below writes too.
    programFolder = dir / "program\\";
    CreateDirectoryA(programFolder.c_str(), nullptr);
    userFolder = EmptiedRealUserFolder();
    ASSERT_FALSE(userFolder.empty());
    BuilderWindowTest::SetUp();
    // The command line runs from the same program folder, with the HEIF reader's DLLs
    // beside it as installed.
    for (const char* f : {"Fotoprism.exe", "libheif.dll", "libde265.dll"}) CopyFromTree(f);
    project::ProjectSettings s = project::FirstStartSettings();
    s.Title = title;
    s.Author = "Anna";
    s.Email = "anna@example.org";
    s.TemplateIndex = 2;
    s.ResizeMethod = project::kUseBorder;
    s.RandomColor = true;  // both front ends draw from a fresh colour sequence
    s.LicenseEnabled = true;
    s.LicenseText = "Share freely.\r\nNo warranty.";
    TempFolder::Write(dir / "tall.bmp", PatternBmp(82, 157));
    TempFolder::Write(dir / "tiny.bmp", PatternBmp(11, 11));
    s.WizardImageFile = dir / "tall.bmp";
    s.WizardSmallImageFile = dir / "tiny.bmp";
    TempFolder::Write(dir / "red.png", SolidPng(80, 60, 200, 0, 0));
    TempFolder::Write(dir / "green.tif", SolidTiff(50, 90, 0, 200, 0));
    s.Photos = {dir / "red.png", dir / "green.tif", Photo("blue.bmp", 64, 40, 0x00FF0000)};
    project = dir / (title + ".pmj");
    TempFolder::Write(project, project::EncodeProjectRecord(s).bytes);
  }

  // A folder the stand-in compiler copies every input of the next build into.
  std::string KeepInputsIn(const std::string& name) {
    const std::string folder = dir / name;
    CreateDirectoryA(folder.c_str(), nullptr);
    SetEnvironmentVariableA("PRISMORA_FAKE_ISCC_KEEP", folder.c_str());
    return folder + "\\";
  }
  // Fotoprism.exe on the command line, with this process's search path and variables.
  int RunCommandLine(const std::string& args) {
    return RunToEnd("\"" + programFolder + "Fotoprism.exe" + "\" " + args, dir.path());
  }
  bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
};

}  // namespace

TEST_F(WindowBuild, TheWindowAndTheCommandLineWriteTheSameBuildFiles) {
  StartBuilder();
  form->OpenProjectFile(project);
  const std::string fromWindow = KeepInputsIn("window");
  dialogs.saves.push_back(dir / "window setup.exe");
  Click(ImageBuild);
  for (const auto& [text, caption] : boxes.shown) ADD_FAILURE() << caption << ": " << text;
  ASSERT_TRUE(Exists(dir / "window setup.exe"));

  const std::string fromCommandLine = KeepInputsIn("command line");
  ASSERT_EQ(RunCommandLine("/build \"" + project + "\" \"" + dir / "cli setup.exe" + "\""), 0);
  ASSERT_TRUE(Exists(dir / "cli setup.exe"));

  const std::vector<std::string> inputs = {title + ".iss", title + ".scr", "license.txt", "ImageWizardImageFile.bmp",
                                           "ImageWizModernSmallImage.bmp", title + "0.jpg", title + "1.jpg",
                                           title + "2.jpg", "pixolve.exe"};
  for (const std::string& name : inputs) {
    const std::vector<uint8_t> window = TempFolder::Read(fromWindow + name);
    EXPECT_FALSE(window.empty()) << name;
    EXPECT_TRUE(window == TempFolder::Read(fromCommandLine + name)) << name << " differs";
  }

  // The wizard bitmaps are the chosen pictures stretched to their slots, not blank.
  ExpectPatternStretched(TempFolder::Read(fromWindow + "ImageWizardImageFile.bmp"), 164, 314, 2);
  ExpectPatternStretched(TempFolder::Read(fromWindow + "ImageWizModernSmallImage.bmp"), 55, 55, 5);
  // The screen saver carries the project's record, not a preview's.
  const std::vector<uint8_t> scr = TempFolder::Read(fromWindow + title + ".scr");
  ASSERT_GT(scr.size(), trailer::kTrailerSize);
  const uint8_t* t = scr.data() + scr.size() - trailer::kTrailerSize;
  EXPECT_STREQ(reinterpret_cast<const char*>(t + trailer::off::Title), title.c_str());
  EXPECT_EQ(t[trailer::off::PreviewFlag], 0);
  const std::vector<uint8_t> license = TempFolder::Read(fromWindow + "license.txt");
  EXPECT_EQ(std::string(license.begin(), license.end()), "Share freely.\r\nNo warranty.");
  // The first photo, red, framed in a border of the first random colour (346).
  photos::DecodedPhoto jpeg;
  std::string error;
  ASSERT_TRUE(photos::DecodeJpeg(TempFolder::Read(fromWindow + title + "0.jpg"),
                                 [](int w, int h) { return photos::PixelSize{w, h}; }, jpeg, error));
  ASSERT_EQ(jpeg.pixels.Width(), 512);
  const uint32_t middle = jpeg.pixels.View().At(256, 256), top = jpeg.pixels.View().At(256, 10);
  EXPECT_GT(middle & 0xFF, 160u);
  EXPECT_LT(middle >> 8 & 0xFF, 60u);
  EXPECT_NEAR(int(top & 0xFF), 90, 12);  // 346 = red 90, green 1
}

TEST_F(WindowBuild, TitlesThatWouldNotInstallAreRefusedWithTheFocusInTheTitle) {
  StartBuilder();
  form->OpenProjectFile(project);
  for (const std::string& bad : {std::string("CON.txt"), std::string(100, 'x'), std::string("Garden Walk.")}) {
    boxes.shown.clear();
    Click(window::ImagePanelPhotos);
    Get<wingui::Edit>(window::EditTitle).SetText(bad);
    Click(ImageBuild);
    ASSERT_EQ(boxes.shown.size(), 1u) << bad;
    EXPECT_EQ(boxes.shown[0], std::make_pair(*output::UnsafeTitleReason(bad), std::string("Warning!")));
    EXPECT_EQ(GetFocus(), Control(window::EditTitle)) << bad;
    EXPECT_TRUE(IsWindowVisible(Control(window::PanelRightLicense))) << bad;
    // Looked for by listing: "CON.txt.iss" would name the console device and "exist".
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((userFolder + "*.iss").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << bad << ": " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
  }
  EXPECT_TRUE(dialogs.asked.empty());
}

// Photos in folders named in Cyrillic and Japanese, added by the dialog: the build reads
// them by the names they are kept under and exports each as its own photo.
TEST_F(WindowBuild, PhotosInFoldersNamedInOtherScriptsAreBuilt) {
  StartBuilder();
  form->OpenProjectFile(project);
  const UnicodePhotoFolders photos(dir.path(), 0x000000FF, 0x0000FF00);
  Command(window::RemoveAll1);
  dialogs.opens.push_back({photos.cyrillicPhoto, photos.japanesePhoto});
  Click(window::ImagePanelAdd);
  ASSERT_EQ(form->Strip().Filenames(), (std::vector<std::string>{UnicodePhotoFolders::Stored(photos.cyrillicPhoto),
                                                                 UnicodePhotoFolders::Stored(photos.japanesePhoto)}));
  const std::string inputs = KeepInputsIn("unicode");
  dialogs.saves.push_back(dir / "unicode setup.exe");
  Click(ImageBuild);
  for (const auto& [text, caption] : boxes.shown) ADD_FAILURE() << caption << ": " << text;
  EXPECT_TRUE(Exists(dir / "unicode setup.exe"));
  // Red then green, in the middle of each exported photo.
  const uint32_t expected[] = {0x0000FF, 0x00FF00};
  for (int i = 0; i < 2; ++i) {
    photos::DecodedPhoto jpeg;
    std::string error;
    ASSERT_TRUE(photos::DecodeJpeg(TempFolder::Read(inputs + title + std::to_string(i) + ".jpg"),
                                   [](int w, int h) { return photos::PixelSize{w, h}; }, jpeg, error))
        << error;
    const uint32_t middle = jpeg.pixels.View().At(256, 256);
    for (int shift : {0, 8, 16})
      EXPECT_NEAR(int(middle >> shift & 0xFF), int(expected[i] >> shift & 0xFF), 40) << i << " " << shift;
  }
}

TEST_F(WindowBuild, ASecondBuildWhileTheCompilerRunsIsRefusedAndClosingWaitsForTheEnd) {
  StartBuilder();
  form->OpenProjectFile(project);
  SetEnvironmentVariableA("PRISMORA_FAKE_ISCC_SLEEP", "1500");
  dialogs.saves.push_back(dir / "first.exe");
  dialogs.saves.push_back(dir / "second.exe");
  // While the compiler runs, the builder handles messages: another Build (button and
  // menu) and a close arrive then.
  dialogs.onSave = [this] {
    dialogs.onSave = nullptr;
    HWND w = form->Handle();
    PostMessageA(w, WM_COMMAND, MAKEWPARAM(ImageBuild, BN_CLICKED), LPARAM(Control(ImageBuild)));
    PostMessageA(w, WM_COMMAND, MAKEWPARAM(window::PunltMenuBuildScreenSaver, 0), 0);
    PostMessageA(w, WM_CLOSE, 0, 0);
  };
  Click(ImageBuild);
  EXPECT_EQ(dialogs.saves.size(), 1u) << "a second build started inside the first";
  EXPECT_TRUE(Exists(dir / "first.exe"));
  EXPECT_FALSE(Exists(dir / "second.exe"));
  EXPECT_FALSE(Exists(userFolder + title + ".iss")) << "the first build did not finish";
  EXPECT_FALSE(MainWindowAlive()) << "the close asked for during the build was lost";
  EXPECT_TRUE(Exists(userFolder + "AutoSave.pmj"));
}

TEST_F(WindowBuild, TestStartsTheSavedSetupProgramFromAPathWithBlanks) {
  StartBuilder();
  // "my.exe" beside "my setup.exe": an unquoted command line would start it instead.
  ASSERT_TRUE(CopyFileA((BinaryDir() + "tests\\output\\fake_iscc.exe").c_str(), (dir / "my.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((BinaryDir() + "tests\\support\\prismora_test_host.exe").c_str(),
                        (dir / "my setup.exe").c_str(), FALSE));
  finish.ShowSummary("Title: x\r\n", dir / "my setup.exe");
  SendMessageA(finish.Handle(), WM_COMMAND, MAKEWPARAM(output::TFormFinishCompile::ButtonTest, BN_CLICKED),
               LPARAM(finish.Controls()[output::TFormFinishCompile::ButtonTest]));
  HWND host = nullptr;
  WaitForTestHostPanel(host);
  ASSERT_TRUE(host) << "the saved setup program did not start";
  PostMessageA(host, WM_CLOSE, 0, 0);
  EXPECT_FALSE(finish.Visible());
}

// The builder runs as a standard user: the whole window build, the template preview, the
// preview command and a command-line build write only into the user's folder, and neither
// the program folder nor the system folder is written. As root the test cannot make them
// read-only, so it compares every entry's name, size and time before and after.
TEST_F(WindowBuild, NothingIsWrittenIntoTheProgramFolderOrTheSystemFolder) {
  const std::string system = SystemFolderPath();
  const FolderSnapshot programBefore = FolderSnapshot::Of(programFolder, 8);
  const FolderSnapshot systemBefore = FolderSnapshot::Of(system, 0);
  const FolderSnapshot systemPreviewBefore = FolderSnapshot::Of(system + "\\preview", 2);
  ASSERT_GT(programBefore.size(), 8u);
  ASSERT_GT(systemBefore.size(), 100u) << "the system folder was not listed";

  StartBuilder();
  form->OpenProjectFile(project);
  // The template preview plays from the user folder, with the photos beside it.
  SelectItem(window::ComboBoxScreensaverTemplate, 1);
  HWND panel = out->PreviewHostPanel();
  ASSERT_TRUE(panel);
  HWND runtime = nullptr;
  auto started = [&] {
    runtime = FindWindowExA(panel, nullptr, runtime::kSaverClassName, runtime::kPreviewTitle);
    return runtime != nullptr;
  };
  WaitUntil(started, 15000);
  EXPECT_TRUE(runtime) << "the template preview did not start from " << userFolder;
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(Exists(PhotoFolder() + "preview" + std::to_string(i) + ".bmp")) << i;
  out->StopTemplatePreview(*form);
  if (runtime) {
    EXPECT_TRUE(Gone(runtime));
  }

  // The preview command: the preview file's settings dialog, cancelled.
  Click(window::ImagePanelPreviewScreensaver);
  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = ForeignDialog()) != nullptr; }, 15000);
  EXPECT_TRUE(dialog) << "the preview command showed no settings dialog";
  if (dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(Gone(dialog));
  }

  dialogs.saves.push_back(dir / "window setup.exe");
  Click(ImageBuild);
  for (const auto& [text, caption] : boxes.shown) ADD_FAILURE() << caption << ": " << text;
  EXPECT_TRUE(Exists(dir / "window setup.exe"));
  EXPECT_EQ(RunCommandLine("/build \"" + project + "\" \"" + dir / "cli setup.exe" + "\""), 0);
  EXPECT_TRUE(Exists(dir / "cli setup.exe"));
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(MainWindowAlive());

  for (const std::string& change : FolderSnapshot::Of(programFolder, 8).ChangesSince(programBefore))
    ADD_FAILURE() << "program folder: " << change;
  for (const std::string& change : FolderSnapshot::Of(system, 0).ChangesSince(systemBefore))
    ADD_FAILURE() << "system folder: " << change;
  for (const std::string& change : FolderSnapshot::Of(system + "\\preview", 2).ChangesSince(systemPreviewBefore))
    ADD_FAILURE() << "system folder: preview\\" << change;
  // What was written instead, in the user folder.
  for (const std::string& name : {std::string("preview.scr"), std::string("AutoSave.pmj"), std::string("license.txt")})
    EXPECT_TRUE(Exists(userFolder + name)) << name;
  EXPECT_FALSE(Exists(userFolder + "output\\setup.exe")) << "the build did not clean up";
}
