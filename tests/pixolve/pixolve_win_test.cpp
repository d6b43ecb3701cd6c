// The real pixolve.exe under Windows: started from another folder, as the installer does.
#include <windows.h>

#include <gtest/gtest.h>

#include "builder/photos/bmp.h"
#include "builder/photos/jpeg.h"
#include "tests/support/temp_folder.h"

using namespace prismora;
using testsupport::TempFolder;

namespace {

// The built program: the build tree's top, given as a Unix path (Wine maps / to Z:).
std::string BuiltConverter() {
  const char* tree = getenv("PRISMORA_BINARY_DIR");
  std::string path = std::string("Z:") + (tree ? tree : "") + "/pixolve.exe";
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// Runs `commandLine` with the current folder elsewhere; the exit code, or -1.
int RunProgram(const std::string& commandLine, const std::string& currentFolder) {
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentFolder.c_str(), &si, &pi))
    return -1;
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = DWORD(-1);
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return int(code);
}

std::vector<uint8_t> Jpeg(uint32_t color) {
  photos::PixelImage img(512, 512);
  photos::Fill(img.View(), color);
  std::vector<uint8_t> out;
  std::string error;
  photos::EncodeJpeg(img.View(), 90, out, error);
  return out;
}

// The install folder with the program, and a current folder that is not it.
struct InstallFolder : ::testing::Test {
  TempFolder install;
  std::string exe, elsewhere;
  void SetUp() override {
    elsewhere = install / "current\\";
    CreateDirectoryA(elsewhere.c_str(), nullptr);
    exe = install / "pixolve.exe";
    ASSERT_TRUE(CopyFileA(BuiltConverter().c_str(), exe.c_str(), FALSE)) << BuiltConverter();
  }
};

}  // namespace

TEST_F(InstallFolder, ConvertsThePhotosBesideItself) {
  TempFolder::Write(install / "My Saver0.jpg", Jpeg(0x000000FF));
  TempFolder::Write(install / "My Saver1.jpg", Jpeg(0x00FF0000));
  EXPECT_EQ(RunProgram("\"" + exe + "\" 2 My Saver", elsewhere), 0);
  for (int i = 0; i < 2; ++i) {
    photos::PixelImage img;
    std::string error;
    ASSERT_TRUE(photos::DecodeBmp(TempFolder::Read(install / ("My Saver" + std::to_string(i) + ".bmp")),
                                  img, error)) << error;
    EXPECT_EQ(img.Width(), 512);
    EXPECT_EQ(img.Height(), 512);
  }
  EXPECT_TRUE(TempFolder::Read(elsewhere + "My Saver0.bmp").empty());
  EXPECT_TRUE(TempFolder::Read(install / "pixolve.log").empty());
}

TEST_F(InstallFolder, MissingPhotoFailsWithALogLine) {
  TempFolder::Write(install / "T0.jpg", Jpeg(0));
  int code = RunProgram("\"" + exe + "\" 2 T", elsewhere);
  EXPECT_NE(code, 0);
  EXPECT_NE(code, -1);
  std::vector<uint8_t> log = TempFolder::Read(install / "pixolve.log");
  std::string text(log.begin(), log.end());
  EXPECT_NE(text.find("T1.jpg"), std::string::npos) << text;
}

TEST_F(InstallFolder, IsAWindowsSubsystemProgram) {
  // No console window pops up when the installer starts it.
  std::vector<uint8_t> file = TempFolder::Read(exe);
  ASSERT_GT(file.size(), 0x100u);
  uint32_t pe = *reinterpret_cast<uint32_t*>(&file[0x3C]);
  ASSERT_LT(pe + 0x60, file.size());
  uint16_t subsystem = *reinterpret_cast<uint16_t*>(&file[pe + 24 + 68]);
  EXPECT_EQ(subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_F(InstallFolder, StartsFromTheInstallersCommandWithItsTrailingBlank) {
  // The installer script names the program as "{app}\pixolve.exe " (blank inside the quotes).
  TempFolder::Write(install / "A B0.jpg", Jpeg(0x0000FF00));
  EXPECT_EQ(RunProgram("\"" + exe + " \" 1 A B", elsewhere), 0);
  EXPECT_FALSE(TempFolder::Read(install / "A B0.bmp").empty());
}
