// Fotoprism.exe /build, /prepare and /show end to end, from a program folder of their own,
// with a stand-in compiler next to the builder; they write into the real user folder of
// this prefix (%LOCALAPPDATA%\Prismora Builder\).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "builder/photos/bmp.h"
#include "builder/project/project_file.h"
#include "builder/scenes/template_file.h"
#include "common/trailer.h"
#include "engine/xfile/writer.h"
#include "runtime/win/saver.h"
#include "tests/scenes/box_scene.h"
#include "tests/runtime/win_support.h"
#include "tests/support/compiler_record.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/picture_files.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

using namespace prismora;
using testsupport::TempFolder;

namespace {

std::string WindowsPath(const char* unixPath) {
  std::string p = std::string("Z:") + unixPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

struct CliBuild : ::testing::Test {
  testsupport::RealUserFolderEmptiedAtEnd userFolderEmptied;
  TempFolder dir;
  std::string builder, bin, project, user;

  void SetUp() override {
    user = testsupport::EmptiedRealUserFolder();
    ASSERT_FALSE(user.empty());
    const char* binary = std::getenv("PRISMORA_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    std::string tree = WindowsPath(binary) + "\\";
    builder = dir / "builder\\";
    bin = dir / "bin\\";
    CreateDirectoryA(builder.c_str(), nullptr);
    CreateDirectoryA(bin.c_str(), nullptr);
    for (const char* f : {"Fotoprism.exe", "libheif.dll", "libde265.dll", "vexo2", "pixolve.exe", "WizModernImage.bmp",
                          "WizModernSmallImage.bmp"})
      ASSERT_TRUE(CopyFileA((tree + f).c_str(), (builder + f).c_str(), FALSE)) << f;
    // The stand-in compiler next to the builder, where the build looks first; a second one
    // on the search path, which the build must never start.
    ASSERT_TRUE(CopyFileA((tree + "tests\\output\\fake_iscc.exe").c_str(), (builder + "ISCC.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((tree + "tests\\output\\fake_iscc.exe").c_str(), (bin + "ISCC.exe").c_str(), FALSE));

    project::ProjectSettings s;
    s.Title = "Flowers";
    s.Author = "Anna";
    s.TemplateIndex = 2;
    s.LicenseText = "Share freely.";
    s.WizardImageFile = builder + "WizModernImage.bmp";
    s.WizardSmallImageFile = builder + "WizModernSmallImage.bmp";
    TempFolder::Write(dir / "red.png", testsupport::SolidPng(80, 60, 200, 0, 0));
    TempFolder::Write(dir / "green.tif", testsupport::SolidTiff(50, 90, 0, 200, 0));
    photos::PixelImage blue(64, 64);
    photos::Fill(blue.View(), 0x00FF0000);
    TempFolder::Write(dir / "blue.bmp", photos::EncodeBmp24(blue.View()));
    s.Photos = {dir / "red.png", dir / "green.tif", dir / "blue.bmp"};
    project = dir / "Flowers.pmj";
    TempFolder::Write(project, project::EncodeProjectRecord(s).bytes);
  }

  // Runs the builder in `dir` with `bin` on the search path.
  int Run(const std::string& args) {
    std::string env = "PATH=" + bin + ";C:\\windows\\system32;C:\\windows" + '\0' + "SystemRoot=C:\\windows" +
                      '\0' + '\0';
    return testsupport::RunToEnd("\"" + builder + "Fotoprism.exe\" " + args, dir.path(), env.data());
  }
  bool Exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }
};
}  // namespace

TEST_F(CliBuild, BuildsTheSetupProgramAndCleansUp) {
  std::string setup = dir / "out setup.exe";
  ASSERT_EQ(Run("/build \"" + project + "\" \"" + setup + "\""), 0);
  ASSERT_TRUE(Exists(setup));
  std::vector<uint8_t> bytes = TempFolder::Read(setup);
  std::string text(bytes.begin(), bytes.end());
  // The compiler saw every input while it ran.
  for (const char* input : {"Flowers.scr", "Flowers0.jpg", "Flowers2.jpg", "license.txt", "pixolve.exe"})
    EXPECT_NE(text.find(input), std::string::npos) << input;
  for (const char* gone : {"Flowers.scr", "Flowers.iss", "Flowers0.jpg", "Flowers1.jpg", "Flowers2.jpg",
                           "ImageWizardImageFile.bmp", "ImageWizModernSmallImage.bmp", "output\\setup.exe"})
    EXPECT_FALSE(Exists(user + gone)) << gone;
  EXPECT_TRUE(Exists(user + "license.txt"));
  EXPECT_FALSE(Exists(builder + "license.txt"));
}

// The real Inno Setup compiler is a 32-bit program: where the kernel refuses 32-bit code it
// runs emulated, started by this tree's builder like any other program. It is found where
// its installer records it.
TEST_F(CliBuild, TheRealCompilerMakesASetupProgram) {
  const char* support = std::getenv("PRISMORA_I386");
  if (support && std::string(support) == "none") GTEST_SKIP() << "32-bit programs cannot run on this machine";
  const char* compiler = std::getenv("PRISMORA_ISCC_DIR");
  ASSERT_NE(compiler, nullptr) << "ctest names the compiler's folder";
  ASSERT_TRUE(DeleteFileA((builder + "ISCC.exe").c_str()));
  testsupport::CompilerRecord record("Inno Setup 5", WindowsPath(compiler));
  ASSERT_TRUE(record.Written());
  std::string setup = dir / "real setup.exe";
  ASSERT_EQ(Run("/build \"" + project + "\" \"" + setup + "\""), 0);
  std::vector<uint8_t> bytes = TempFolder::Read(setup);
  ASSERT_GT(bytes.size(), 100000u);  // an installer with the compressed screen saver and photos
  EXPECT_EQ(bytes[0], 'M');
  EXPECT_EQ(bytes[1], 'Z');
  for (const char* gone : {"Flowers.scr", "Flowers.iss", "Flowers0.jpg", "output\\setup.exe"})
    EXPECT_FALSE(Exists(user + gone)) << gone;
}

TEST_F(CliBuild, RefusalsAndFailuresLeaveNothingAtTheDestination) {
  std::string setup = dir / "setup.exe";
  // 2: the request or its project is unusable; 1: the build failed; 3: the checks refused
  // it. Anything else (a crash, a program that did not start) is a fault of its own.
  EXPECT_EQ(Run("/build \"" + dir / "missing.pmj" + "\" \"" + setup + "\""), 2);
  EXPECT_EQ(Run("/build \"" + project + "\""), 2);  // destination missing
  // No compiler next to the builder and none recorded: the ones on the search path and in
  // the current folder are not taken.
  ASSERT_TRUE(CopyFileA((builder + "ISCC.exe").c_str(), (dir / "ISCC.exe").c_str(), FALSE));
  ASSERT_TRUE(DeleteFileA((builder + "ISCC.exe").c_str()));
  EXPECT_EQ(Run("/build \"" + project + "\" \"" + setup + "\""), 1);
  EXPECT_FALSE(Exists(setup));
  ASSERT_TRUE(MoveFileA((dir / "ISCC.exe").c_str(), (builder + "ISCC.exe").c_str()));

  DeleteFileA((dir / "green.tif").c_str());  // a photo that went away
  EXPECT_EQ(Run("/build \"" + project + "\" \"" + setup + "\""), 3);
  EXPECT_FALSE(Exists(setup));

  project::ProjectSettings s;
  s.Title = "Bad:Title";
  s.Author = "Anna";
  s.Photos = {dir / "red.png", dir / "blue.bmp"};
  TempFolder::Write(project, project::EncodeProjectRecord(s).bytes);
  EXPECT_EQ(Run("/build \"" + project + "\" \"" + setup + "\""), 3);
  EXPECT_FALSE(Exists(setup));
}

TEST_F(CliBuild, PreparesPhotoBitmapsAndPrintsUsage) {
  std::string out = dir / "bitmaps";
  ASSERT_EQ(Run("/prepare \"" + project + "\" \"" + out + "\""), 0);
  for (int i = 0; i < 3; ++i) {
    photos::PixelImage img;
    std::string error;
    ASSERT_TRUE(photos::DecodeBmp(TempFolder::Read(out + "\\preview" + std::to_string(i) + ".bmp"), img, error))
        << i << " " << error;
    EXPECT_EQ(img.Width(), 512);
  }
  EXPECT_EQ(Run("/?"), 0);
  EXPECT_EQ(Run("/nonsense"), 2);
}

TEST_F(CliBuild, ShowRunsTheProjectFullScreenFromThePreviewFile) {
  const std::string photos = user + "preview\\";
  const std::string system = testsupport::SystemFolderPath();
  const testsupport::FolderSnapshot builderBefore = testsupport::FolderSnapshot::Of(builder, 4),
                                    systemBefore = testsupport::FolderSnapshot::Of(system, 0);
  ASSERT_EQ(Run("/show \"" + project + "\""), 0);
  HWND saver = testsupport::WaitForWindow(runtime::kSaverClassName, runtime::kSaverTitle);
  ASSERT_TRUE(saver) << "no full-screen screen saver appeared";
  RECT r{};
  GetWindowRect(saver, &r);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  // The preview file is the project's template with its record, marked as a preview;
  // the photos are where the runtime looks for a preview's.
  std::vector<uint8_t> scr = TempFolder::Read(user + "preview.scr");
  ASSERT_EQ(scr.size(), TempFolder::Read(builder + "vexo2").size() + trailer::kBuilderRecordSize);
  EXPECT_EQ(scr[scr.size() - trailer::kTrailerSize + trailer::off::PreviewFlag], 1);
  EXPECT_TRUE(Exists(photos + "preview2.bmp"));
  PostMessageA(saver, WM_CLOSE, 0, 0);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(saver); }, 10000)) << "the screen saver stayed";
  for (const std::string& change : testsupport::FolderSnapshot::Of(builder, 4).ChangesSince(builderBefore))
    ADD_FAILURE() << "program folder: " << change;
  for (const std::string& change : testsupport::FolderSnapshot::Of(system, 0).ChangesSince(systemBefore))
    ADD_FAILURE() << "system folder: " << change;

  DeleteFileA((dir / "green.tif").c_str());
  EXPECT_EQ(Run("/show \"" + project + "\""), 1);
  EXPECT_EQ(Run("/show \"" + dir / "missing.pmj" + "\""), 2);
  Sleep(1000);  // time for a screen saver that should not start: none may show meanwhile
  EXPECT_EQ(FindWindowA(runtime::kSaverClassName, runtime::kSaverTitle), nullptr);
}

// /template makes the next template from a scene file; a project that picks it builds and
// runs full screen like one of the six.
TEST_F(CliBuild, ImportsASceneThenBuildsAndShowsIt) {
  const char* binary = std::getenv("PRISMORA_BINARY_DIR");
  ASSERT_TRUE(CopyFileA((WindowsPath(binary) + "\\vexoscene.exe").c_str(), (builder + "vexoscene.exe").c_str(), FALSE));
  const std::string scene = dir / "scaled box.x";
  TempFolder::Write(scene, engine::xfile::writeBinaryXFile(testsupport::BoxScene({-50, 700, 20}, 40)));
  ASSERT_EQ(Run("/template \"" + scene + "\" \"Big box\""), 0);
  // Made in the user folder from the scene-less runtime in the program folder.
  ASSERT_TRUE(Exists(user + "vexo6"));
  EXPECT_FALSE(Exists(builder + "vexo6"));
  EXPECT_EQ(scenes::StoredTemplateName(TempFolder::Read(user + "vexo6")), "Big box");

  // Refusals: no textured faces, an unreadable file, missing arguments. Nothing is made.
  const std::string plain = dir / "plain.x";
  TempFolder::Write(plain, engine::xfile::writeBinaryXFile(testsupport::BoxScene({0, 0, 0}, 1, {1, 1, 1}, "")));
  EXPECT_EQ(Run("/template \"" + plain + "\" Plain"), 1);
  EXPECT_EQ(Run("/template \"" + dir / "missing.x" + "\""), 1);
  EXPECT_EQ(Run("/template"), 2);
  EXPECT_FALSE(Exists(user + "vexo7"));

  project::ProjectSettings s;
  project::DecodeProjectRecord(TempFolder::Read(project), s);
  s.TemplateIndex = 6;
  TempFolder::Write(project, project::EncodeProjectRecord(s).bytes);
  const std::string setup = dir / "box setup.exe";
  ASSERT_EQ(Run("/build \"" + project + "\" \"" + setup + "\""), 0);
  EXPECT_TRUE(Exists(setup));

  ASSERT_EQ(Run("/show \"" + project + "\""), 0);
  HWND saver = testsupport::WaitForWindow(runtime::kSaverClassName, runtime::kSaverTitle);
  ASSERT_TRUE(saver) << "the imported template did not run full screen";
  std::vector<uint8_t> scr = TempFolder::Read(user + "preview.scr");
  EXPECT_EQ(scr.size(), TempFolder::Read(user + "vexo6").size() + trailer::kBuilderRecordSize);
  PostMessageA(saver, WM_CLOSE, 0, 0);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return !IsWindow(saver); }, 10000)) << "the screen saver stayed";
}

// The builder runs as the user who starts it, so Explorer's drops reach it and no UAC
// prompt comes before a setup program runs; its pixel-fixed window is left to Windows'
// scaling on high-DPI displays rather than drawn small.
TEST(BuilderManifest, AsInvokerAndDpiUnaware) {
  const char* binary = std::getenv("PRISMORA_BINARY_DIR");
  ASSERT_NE(binary, nullptr);
  const std::string manifest = testsupport::ManifestOf(WindowsPath(binary) + "\\Fotoprism.exe");
  ASSERT_FALSE(manifest.empty()) << "Fotoprism.exe has no manifest";
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos);
  EXPECT_EQ(manifest.find("highestAvailable"), std::string::npos);
  EXPECT_NE(manifest.find(">false</dpiAware>"), std::string::npos);
}
