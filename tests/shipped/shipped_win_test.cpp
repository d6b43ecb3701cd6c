// The programs users get, end to end: the 32-bit release build of the builder, the real
// Inno Setup compiler, the setup program it writes, installed and uninstalled, and the
// installed screen saver on the screen; the compiler is found where its installer records
// it, so both compiler versions users may have are tried. Where the kernel refuses 32-bit code all of them
// run under user-mode emulation, which is slow: the waits here are long on purpose.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/process_windows.h"
#include "builder/output/build.h"
#include "builder/photos/bmp.h"
#include "builder/project/project_file.h"
#include "builder/window/form_layout.h"
#include "common/trailer.h"
#include "runtime/win/saver.h"
#include "tests/support/compiler_record.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/picture_files.h"
#include "tests/support/screen.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wait.h"

using namespace prismora;
using testsupport::TempFolder;
using testsupport::WaitUntil;
using bench::VisibleWindowOf;

namespace {

constexpr uint32_t kRed = 0x000000E0, kGreen = 0x0000D000, kBlue = 0x00E00000;  // 0x00BBGGRR
constexpr const char* kTitle = "Prismora Shipped";

std::string WindowsPath(std::string p) {
  if (!p.empty() && p[0] == '/') p = "Z:" + p;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

// Steps are slow under emulation: say which one the test is at.
void Step(const char* what) {
  std::printf("shipped: %s\n", what);
  std::fflush(stdout);
}

bool Exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Process {
  PROCESS_INFORMATION pi{};
  bool Start(std::string cmd, const std::string& folder, const std::string& path) {
    std::string env = "PATH=" + path + '\0' + "SystemRoot=C:\\windows" + '\0' + "TEMP=" + Temp() + '\0' +
                      "TMP=" + Temp() + '\0' + '\0';
    STARTUPINFOA si{sizeof si};
    return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, env.data(),
                          folder.empty() ? nullptr : folder.c_str(), &si, &pi);
  }
  // The exit code, or -1000 when it did not end in time (it is ended then).
  int Wait(int ms) {
    if (WaitForSingleObject(pi.hProcess, DWORD(ms)) != WAIT_OBJECT_0) {
      TerminateProcess(pi.hProcess, 1);
      return -1000;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return int(code);
  }
  ~Process() {
    if (pi.hProcess) {
      if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
  }
  static std::string Temp() {
    char t[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, t);
    return t;
  }
};

// A real click in the middle of a window, as the user's mouse gives it.
void ClickOn(HWND top, HWND target) {
  SetForegroundWindow(top);
  WaitUntil([&] { return GetForegroundWindow() == top; }, 3000);
  RECT r{};
  GetWindowRect(target, &r);
  const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  SetCursorPos(middle.x, middle.y);
  WaitUntil(
      [&] {
        POINT at{};
        return GetCursorPos(&at) && at.x == middle.x && at.y == middle.y;
      },
      3000);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  Sleep(50);  // a button held down for a moment, as a finger does
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// The file name box of a Save As dialog: the edit field with the dialog's file name id,
// or inside the combo box that has it, wherever the dialog's layout put them.
HWND FileNameBox(HWND dialog) {
  struct Search {
    HWND byId = nullptr, inCombo = nullptr;
  } s;
  EnumChildWindows(
      dialog,
      [](HWND w, LPARAM p) CALLBACK -> BOOL {
        auto& s = *reinterpret_cast<Search*>(p);
        char c[32] = {};
        GetClassNameA(w, c, sizeof c);
        if (_stricmp(c, "Edit") != 0) return TRUE;
        if (GetDlgCtrlID(w) == 0x480) s.byId = w;  // edt1
        if (GetDlgCtrlID(GetParent(w)) == 0x47C) s.inCombo = w;  // cmb13
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.inCombo ? s.inCombo : s.byId;
}

std::string SystemIniValue(const char* section, const char* key) {
  char buf[MAX_PATH] = {};
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  GetPrivateProfileStringA(section, key, "", buf, sizeof buf, (std::string(windows) + "\\system.ini").c_str());
  return buf;
}

// The desktop settings value that names the active screen saver (and the other one that
// switches it on); nothing when it is not set.
std::optional<std::string> DesktopValue(const char* name) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS)
    return std::nullopt;
  char buf[MAX_PATH * 2] = {};
  DWORD size = sizeof buf - 1, type = 0;
  const bool ok = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS &&
                  type == REG_SZ;
  RegCloseKey(k);
  return ok ? std::optional<std::string>(buf) : std::nullopt;
}

void ClearActiveSaver() {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
  RegDeleteValueA(k, "SCRNSAVE.EXE");
  RegCloseKey(k);
}

// Whether a file is there for 64-bit programs: this test is 32-bit, and its view of the
// system folder is redirected.
bool ExistsFor64BitPrograms(const std::string& path) {
  PVOID old = nullptr;
  const BOOL off = Wow64DisableWow64FsRedirection(&old);
  const bool there = Exists(path);
  if (off) Wow64RevertWow64FsRedirection(old);
  return there;
}

// The file name part of a path's long form, as the file system reports it.
std::string LongFileName(const std::string& path) {
  char buf[MAX_PATH] = {};
  if (!GetLongPathNameA(path.c_str(), buf, MAX_PATH)) return "";
  const std::string full = buf;
  return full.substr(full.find_last_of('\\') + 1);
}

struct Shipped : ::testing::Test {
  testsupport::RealUserFolderEmptiedAtEnd userFolderEmptied;
  TempFolder dir;
  std::string builder, project, searchPath, systemFolder, compilerFolder, user;
  std::unique_ptr<testsupport::CompilerRecord> compiler;

  void SetUp() override {
    const char* support = std::getenv("PRISMORA_I386");
    if (support && std::string(support) == "none")
      GTEST_SKIP() << "32-bit programs cannot run on this machine (the bootstrap could not set up emulation)";
    const char* shipped = std::getenv("PRISMORA_SHIPPED_DIR");
    const char* iscc = std::getenv("PRISMORA_ISCC_DIR");
    ASSERT_NE(shipped, nullptr) << "PRISMORA_SHIPPED_DIR must name the 32-bit release tree (ctest sets it)";
    ASSERT_NE(iscc, nullptr) << "PRISMORA_ISCC_DIR must name the Inno Setup compiler's folder";
    const std::string tree = WindowsPath(shipped) + "\\";
    // The builder writes into the user's folder of this prefix; a test starts it empty.
    user = testsupport::EmptiedRealUserFolder();
    ASSERT_FALSE(user.empty());
    builder = dir / "builder\\";
    CreateDirectoryA(builder.c_str(), nullptr);
    CreateDirectoryA((builder + "help").c_str(), nullptr);
    for (const char* f : {"Fotoprism.exe", "vexo0", "vexo1", "vexo2", "vexo3", "vexo4", "vexo5", "pixolve.exe",
                          "libheif.dll", "libde265.dll", "WizModernImage.bmp", "WizModernSmallImage.bmp"})
      ASSERT_TRUE(CopyFileA((tree + f).c_str(), (builder + f).c_str(), FALSE)) << tree + f;
    // The compiler is not on the search path: the builder finds it through the entry its
    // installer leaves in the registry.
    searchPath = "C:\\windows\\system32;C:\\windows";
    compilerFolder = WindowsPath(iscc);
    compiler = std::make_unique<testsupport::CompilerRecord>("Inno Setup 5", compilerFolder);
    ASSERT_TRUE(compiler->Written());

    char sys[MAX_PATH] = {};
    // A 32-bit setup's {sys}: on a 64-bit Windows the folder 32-bit programs see as system32.
    if (!GetSystemWow64DirectoryA(sys, MAX_PATH)) GetSystemDirectoryA(sys, MAX_PATH);
    systemFolder = std::string(sys) + "\\";

    project::ProjectSettings s;
    s.Title = kTitle;
    s.Author = "Anna";
    s.TemplateIndex = 2;
    s.LicenseEnabled = false;
    s.WizardImageFile = builder + "WizModernImage.bmp";
    s.WizardSmallImageFile = builder + "WizModernSmallImage.bmp";
    TempFolder::Write(dir / "red.png", testsupport::SolidPng(64, 64, 0xE0, 0, 0));
    TempFolder::Write(dir / "green.png", testsupport::SolidPng(64, 64, 0, 0xD0, 0));
    photos::PixelImage blue(64, 64);
    photos::Fill(blue.View(), kBlue);
    TempFolder::Write(dir / "blue.bmp", photos::EncodeBmp24(blue.View()));
    s.Photos = {dir / "red.png", dir / "green.png", dir / "blue.bmp"};
    settings = s;
    project = WriteProject(kTitle);
  }
  project::ProjectSettings settings;

  // The project with another title, saved beside the others; returns its path.
  std::string WriteProject(const std::string& title) {
    project::ProjectSettings s = settings;
    s.Title = title;
    const std::string path = dir / (title + ".pmj");
    TempFolder::Write(path, project::EncodeProjectRecord(s).bytes);
    return path;
  }
  // Fotoprism.exe /build of a project into `setupPath`; its exit code.
  int CommandLineBuild(const std::string& projectPath, const std::string& setupPath) {
    Process build;
    if (!build.Start(Builder("/build \"" + projectPath + "\" \"" + setupPath + "\""), dir.path(), searchPath))
      return -1;
    return build.Wait(300000);
  }
  int Install(const std::string& setupPath) {
    Process setup;
    if (!setup.Start("\"" + setupPath + "\" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART", dir.path(), searchPath))
      return -1;
    return setup.Wait(300000);
  }
  // The uninstaller starts a copy of itself and ends at once: wait for what it removes.
  bool Uninstall(const std::string& title) {
    const std::string folder = systemFolder + title + "\\";
    Process uninstall;
    if (!uninstall.Start("\"" + folder + "unins000.exe\" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART", dir.path(),
                         searchPath))
      return false;
    uninstall.Wait(120000);
    return WaitUntil([&] { return !Exists(systemFolder + title + ".scr") && !Exists(folder + "unins000.exe"); },
                     180000);
  }

  std::string Builder(const std::string& args) const { return "\"" + builder + "Fotoprism.exe\" " + args; }
  std::string Installed(const std::string& name) const { return systemFolder + kTitle + "\\" + name; }
};

}  // namespace

TEST_F(Shipped, WindowBuildWithRealClicksWritesTheSetupProgramWhereTheUserChose) {
  // The program folder is only read, as a standard user's builder below Program Files.
  const testsupport::FolderSnapshot builderBefore = testsupport::FolderSnapshot::Of(builder, 4);
  Process fotoprism;
  ASSERT_TRUE(fotoprism.Start(Builder("\"" + project + "\""), builder, searchPath));
  HWND main = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (main = VisibleWindowOf(fotoprism.pi.dwProcessId, nullptr, "Prismora Builder")); },
                        120000))
      << "the builder's window did not appear";
  // The Build picture sits in its panel; look it up wherever the layout put it.
  HWND build = nullptr;
  EnumChildWindows(
      main,
      [](HWND w, LPARAM p) CALLBACK -> BOOL {
        if (GetDlgCtrlID(w) != window::ImageBuild) return TRUE;
        *reinterpret_cast<HWND*>(p) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&build));
  ASSERT_TRUE(build) << "no Build button";
  // The window settles (thumbnails load) before the click. A plain pause: thumbnails load
  // as the strip paints, inside the builder, and nothing outside it tells when all are in.
  Sleep(2000);
  ClickOn(main, build);

  // The compiler runs first; then the builder asks where the setup program goes.
  HWND save = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (save = VisibleWindowOf(fotoprism.pi.dwProcessId, "#32770", "Save As")); }, 180000))
      << "no Save As dialog after the click on Build";
  const std::string destination = dir / "chosen\\My Setup.exe";
  CreateDirectoryA((dir / "chosen").c_str(), nullptr);
  HWND name = FileNameBox(save);
  ASSERT_TRUE(name) << "no file name box in the Save As dialog";
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(destination.c_str()));
  ClickOn(save, GetDlgItem(save, IDOK));

  HWND finish = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (finish = VisibleWindowOf(fotoprism.pi.dwProcessId, nullptr, "Finish")); }, 60000))
      << "no finish window";
  ASSERT_TRUE(Exists(destination)) << destination;
  std::vector<uint8_t> setup = TempFolder::Read(destination);
  ASSERT_GT(setup.size(), 100000u);
  EXPECT_EQ(setup[0], 'M');
  EXPECT_EQ(setup[1], 'Z');
  // The build's input files are gone again; the licence page was off, so no licence.
  for (const std::string& gone : {std::string(kTitle) + ".scr", std::string(kTitle) + ".iss",
                                 std::string(kTitle) + "0.jpg", std::string("output\\setup.exe")})
    EXPECT_TRUE(WaitUntil([&] { return !Exists(user + gone); }, 10000)) << gone;  // gone once the window shows

  PostMessageA(finish, WM_CLOSE, 0, 0);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(fotoprism.Wait(60000), 0) << "the builder did not close";
  EXPECT_TRUE(Exists(user + "AutoSave.pmj"));
  for (const std::string& change : testsupport::FolderSnapshot::Of(builder, 4).ChangesSince(builderBefore))
    ADD_FAILURE() << "program folder: " << change;
}

// One photo of each format the builder reads (tests/shipped/make_format_photos.sh), each of
// its own colour (0x00BBGGRR), first picture of the animation and of the two-page scan.
struct FormatPhoto {
  const char* file;
  uint32_t colour;
};
constexpr FormatPhoto kFormatPhotos[] = {
    {"baseline.jpg", 0x2020E0}, {"print.jpg", 0x20C020}, {"web.png", 0xE02020},
    {"paint.bmp", 0x20E0E0},    {"anim.gif", 0xE020E0},  {"scan.tif", 0xD0D020},
    {"web.webp", 0x2090F0},     {"phone.heic", 0xF03080}, {"web.avif", 0xA870F0},
};

// The colour in the middle of a fitted photo bitmap: the mean of a block there.
uint32_t MiddleColour(const photos::PixelImage& img) {
  int sum[3] = {};
  const int x0 = img.Width() / 2 - 8, y0 = img.Height() / 2 - 8;
  for (int y = y0; y < y0 + 16; ++y)
    for (int x = x0; x < x0 + 16; ++x)
      for (int c = 0; c < 3; ++c) sum[c] += img.View().At(x, y) >> (8 * c) & 0xFF;
  return uint32_t(sum[0] / 256) | uint32_t(sum[1] / 256) << 8 | uint32_t(sum[2] / 256) << 16;
}

// Whether two colours differ by less than `tolerance` in each channel.
bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int c = 0; c < 3; ++c)
    if (std::abs(int(a >> (8 * c) & 0xFF) - int(b >> (8 * c) & 0xFF)) >= tolerance) return false;
  return true;
}

// The photo bitmap at `path` is 512 x 512 and shows the colour of `photo` in its middle.
void ExpectFittedPhoto(const std::string& path, const FormatPhoto& photo) {
  SCOPED_TRACE(std::string(photo.file) + " as " + path);
  photos::PixelImage img;
  std::string error;
  ASSERT_TRUE(photos::DecodeBmp(TempFolder::Read(path), img, error)) << error;
  EXPECT_EQ(img.Width(), 512);
  EXPECT_EQ(img.Height(), 512);
  const uint32_t middle = MiddleColour(img);
  EXPECT_TRUE(Near(middle, photo.colour, 24)) << std::hex << middle << " for " << photo.colour;
}

// Phone, web, scanner and print photos: the preview's bitmaps, the build, the install and
// the installed screen saver showing every one of them.
TEST_F(Shipped, CommandLineBuildOfEveryPhotoFormatInstallsRunsTheSaverAndUninstalls) {
  const char* made = std::getenv("PRISMORA_FORMAT_PHOTOS");
  ASSERT_NE(made, nullptr) << "PRISMORA_FORMAT_PHOTOS must name the folder of the made photos (ctest sets it)";
  const std::string madeFolder = WindowsPath(made) + "\\";
  settings.Photos.clear();
  for (const FormatPhoto& photo : kFormatPhotos) settings.Photos.push_back(madeFolder + photo.file);
  settings.RandomColor = false;
  settings.BorderColor = 0;
  project = WriteProject(kTitle);
  constexpr int kPhotos = int(std::size(kFormatPhotos));

  Step("preparing the preview's photos");
  {
    const std::string previewFolder = dir / "preview-photos";
    Process prepare;
    ASSERT_TRUE(prepare.Start(Builder("/prepare \"" + project + "\" \"" + previewFolder + "\""), dir.path(),
                              searchPath));
    ASSERT_EQ(prepare.Wait(300000), 0) << "Fotoprism.exe /prepare failed";
    for (int i = 0; i < kPhotos; ++i)
      ExpectFittedPhoto(previewFolder + "\\preview" + std::to_string(i) + ".bmp", kFormatPhotos[i]);
  }

  const std::string setupPath = dir / "setup.exe";
  Step("building from the command line");
  {
    Process build;
    ASSERT_TRUE(build.Start(Builder("/build \"" + project + "\" \"" + setupPath + "\""), dir.path(), searchPath));
    ASSERT_EQ(build.Wait(300000), 0) << "Fotoprism.exe /build failed";
  }
  ASSERT_TRUE(Exists(setupPath));

  Step("installing silently");
  {
    Process setup;
    ASSERT_TRUE(setup.Start("\"" + setupPath + "\" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART", dir.path(), searchPath));
    ASSERT_EQ(setup.Wait(300000), 0) << "the silent install failed";
  }
  const std::string scr = systemFolder + kTitle + ".scr";
  EXPECT_TRUE(Exists(scr));
  EXPECT_TRUE(Exists(systemFolder + kTitle + ".exe"));
  EXPECT_TRUE(Exists(Installed("pixolve.exe")));
  // The converter ran at the end of the install: photo bitmaps where the runtime looks.
  for (int i = 0; i < kPhotos; ++i) {
    const std::string bmp = Installed(std::string(kTitle) + std::to_string(i) + ".bmp");
    ASSERT_TRUE(WaitUntil([&] { return Exists(bmp); }, 30000)) << bmp;
    ExpectFittedPhoto(bmp, kFormatPhotos[i]);
  }
  // The new screen saver is the active one, where the NT family reads it and, by the same
  // short path, in SYSTEM.INI for the Windows 95 family.
  const std::optional<std::string> active = DesktopValue("SCRNSAVE.EXE");
  ASSERT_TRUE(active);
  EXPECT_TRUE(ExistsFor64BitPrograms(*active)) << *active;
  EXPECT_EQ(LongFileName(*active), std::string(kTitle) + ".scr") << *active;
  EXPECT_EQ(DesktopValue("ScreenSaveActive"), "1");
  EXPECT_EQ(SystemIniValue("boot", "SCRNSAVE.EXE"), *active);

  Step("running the active screen saver as a 64-bit program starts it");
  {
    // The 64-bit command interpreter starts the value as it stands: it sees the system
    // folders as 64-bit Windows itself does, without the redirection this test has.
    // This test program is 32-bit where 32-bit code runs natively and 64-bit where it is
    // emulated: a 32-bit one reaches the 64-bit system folder as "sysnative" only.
    char folder[MAX_PATH] = {};
    if (sizeof(void*) == 4) {
      GetWindowsDirectoryA(folder, MAX_PATH);
      std::strcat(folder, "\\sysnative");
    } else {
      GetSystemDirectoryA(folder, MAX_PATH);
    }
    const std::string shell64 = std::string(folder) + "\\cmd.exe";
    ASSERT_TRUE(Exists(shell64)) << "no 64-bit command interpreter";
    Process starter;
    ASSERT_TRUE(starter.Start("\"" + shell64 + "\" /c \"\"" + *active + "\" /s\"", systemFolder, searchPath));
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = FindWindowA(runtime::kSaverClassName, runtime::kSaverTitle)); },
                          120000))
        << "the active screen saver showed no window";
    DWORD saverId = 0;
    GetWindowThreadProcessId(window, &saverId);
    Process saver;
    saver.pi.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, saverId);
    ASSERT_TRUE(saver.pi.hProcess);
    // The project's photos on the scene's faces: each photo's colour covers part of the
    // screen at some moment while the scene turns (the most seen of each is kept).
    const RECT screen = testsupport::ScreenRect();
    std::vector<uint32_t> colours;
    for (const FormatPhoto& photo : kFormatPhotos) colours.push_back(photo.colour);
    double most[kPhotos] = {};
    WaitUntil(
        [&] {
          // One read of the screen a look, counted for every photo's colour.
          const std::vector<double> shares =
              testsupport::ColourShares(testsupport::ScreenPixels(screen), colours, 40);
          bool all = true;
          for (int i = 0; i < kPhotos; ++i) {
            most[i] = std::max(most[i], shares[i]);
            all = all && most[i] > 0.002;
          }
          return all;
        },
        120000, testsupport::kScreenWaitStepMs);
    for (int i = 0; i < kPhotos; ++i) EXPECT_GT(most[i], 0.002) << kFormatPhotos[i].file << " not seen on screen";
    Step("closing the screen saver");
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(saver.Wait(60000), 0) << "the screen saver did not end";
  }

  Step("uninstalling");
  {
    // The uninstaller starts a copy of itself and ends at once: wait for what it removes.
    Process uninstall;
    ASSERT_TRUE(uninstall.Start("\"" + Installed("unins000.exe") + "\" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART",
                                dir.path(), searchPath));
    uninstall.Wait(120000);
  }
  EXPECT_TRUE(WaitUntil([&] { return !Exists(scr) && !Exists(Installed("unins000.exe")); }, 180000));
  EXPECT_FALSE(Exists(systemFolder + kTitle + ".exe"));
  EXPECT_FALSE(Exists(Installed("pixolve.exe")));
  EXPECT_FALSE(Exists(Installed(std::string(kTitle) + "0.jpg")));
  // The converter's bitmaps go too, and with them the install folder.
  EXPECT_TRUE(WaitUntil([&] { return !Exists(systemFolder + kTitle); }, 30000));
  EXPECT_FALSE(Exists(Installed(std::string(kTitle) + "0.bmp")));
}

// Two screen savers whose titles share their first six letters, one built with each
// compiler version: each install makes its own file the active one, and uninstalling
// clears the choice only when it is still the screen saver being removed.
TEST_F(Shipped, TwoSaversWithTheSameFirstLettersEachBecomeActiveAndUninstallCleanly) {
  const char* iscc6 = std::getenv("PRISMORA_ISCC6_DIR");
  ASSERT_NE(iscc6, nullptr) << "PRISMORA_ISCC6_DIR must name the Inno Setup 6 compiler's folder (ctest sets it)";
  const std::string alpha = "Prismora Alpha", beta = "Prismora Beta";
  ClearActiveSaver();

  Step("building with Inno Setup 5");
  ASSERT_EQ(CommandLineBuild(WriteProject(alpha), dir / "alpha.exe"), 0);
  Step("building with Inno Setup 6");
  {
    // Recorded as well: Inno Setup 6 is looked for first.
    testsupport::CompilerRecord six("Inno Setup 6", WindowsPath(iscc6));
    ASSERT_TRUE(six.Written());
    ASSERT_EQ(CommandLineBuild(WriteProject(beta), dir / "beta.exe"), 0);
  }
  // Each compiler's setup program carries its own data format's signature.
  auto madeBy = [&](const std::string& setup, const std::string& signature) {
    const std::vector<uint8_t> bytes = TempFolder::Read(setup);
    return std::search(bytes.begin(), bytes.end(), signature.begin(), signature.end()) != bytes.end();
  };
  EXPECT_TRUE(madeBy(dir / "alpha.exe", "Inno Setup Setup Data (5."));
  EXPECT_TRUE(madeBy(dir / "beta.exe", "Inno Setup Setup Data (6."));

  Step("installing both");
  ASSERT_EQ(Install(dir / "alpha.exe"), 0);
  const std::optional<std::string> first = DesktopValue("SCRNSAVE.EXE");
  ASSERT_TRUE(first);
  EXPECT_EQ(LongFileName(*first), alpha + ".scr") << *first;
  ASSERT_EQ(Install(dir / "beta.exe"), 0);
  const std::optional<std::string> second = DesktopValue("SCRNSAVE.EXE");
  ASSERT_TRUE(second);
  EXPECT_NE(*second, *first) << "two titles with the same first letters got the same name";
  EXPECT_EQ(LongFileName(*second), beta + ".scr") << *second;
  EXPECT_TRUE(ExistsFor64BitPrograms(*first)) << *first;
  EXPECT_TRUE(ExistsFor64BitPrograms(*second)) << *second;
  EXPECT_EQ(DesktopValue("ScreenSaveActive"), "1");

  Step("uninstalling the inactive one, then the active one");
  ASSERT_TRUE(Uninstall(alpha));
  EXPECT_EQ(DesktopValue("SCRNSAVE.EXE"), second) << "removing another screen saver changed the active one";
  ASSERT_TRUE(Uninstall(beta));
  EXPECT_FALSE(DesktopValue("SCRNSAVE.EXE")) << "the removed screen saver is still the active one";
}

// Every shipped template started again and again as the system starts a screen saver.
// Each start takes its own random animation start time, and a fault that depends on it
// (a draw order that breaks with some depths) shows within a few starts: the program must
// draw, stay up and end normally every time. PRISMORA_SAVER_STARTS sets how many starts each
// template gets (50 for a thorough run); unless set, 4, or 1 where 32-bit programs are
// emulated, since the renderer's own test already draws 200 random starts of each scene.
TEST_F(Shipped, EveryTemplateStartsAgainAndAgainAndEndsNormally) {
  const char* count = std::getenv("PRISMORA_SAVER_STARTS");
  const char* support = std::getenv("PRISMORA_I386");
  const bool emulated = support && std::string(support) == "emulated";
  const int starts = count ? std::max(1, std::atoi(count)) : emulated ? 1 : 4;
  // Preview files read their photos beside themselves.
  const std::string photos = dir / "preview\\";
  CreateDirectoryA(photos.c_str(), nullptr);
  const uint32_t colours[] = {kRed, kGreen, kBlue};
  for (int i = 0; i < 3; ++i) {
    photos::PixelImage img(512, 512);
    photos::Fill(img.View(), colours[i]);
    TempFolder::Write(photos + "preview" + std::to_string(i) + ".bmp", photos::EncodeBmp24(img.View()));
  }
  trailer::BuilderRecordFields fields;
  fields.title = "Prismora Starts";
  fields.photoCount = 3;
  fields.previewFlag = true;
  const trailer::BuilderRecord record = trailer::makeBuilderRecord(fields);
  for (int templ = 0; templ < 6; ++templ) {
    std::vector<uint8_t> bytes = TempFolder::Read(builder + "vexo" + std::to_string(templ));
    ASSERT_FALSE(bytes.empty());
    bytes.insert(bytes.end(), record.begin(), record.end());
    const std::string scr = dir / ("starts" + std::to_string(templ) + ".scr");
    TempFolder::Write(scr, bytes);
    Step(("starting template " + std::to_string(templ)).c_str());
    for (int start = 0; start < starts; ++start) {
      SCOPED_TRACE("template " + std::to_string(templ) + ", start " + std::to_string(start + 1));
      Process saver;
      ASSERT_TRUE(saver.Start("\"" + scr + "\" /s", dir.path(), searchPath));
      HWND window = nullptr;
      ASSERT_TRUE(WaitUntil([&] { return (window = VisibleWindowOf(saver.pi.dwProcessId, runtime::kSaverClassName,
                                                            runtime::kSaverTitle)); },
                            120000))
          << "no screen saver window (exit code " << saver.Wait(0) << ")";
      // Long enough for the scene to be walked and drawn many times.
      Sleep(1500);
      ASSERT_EQ(WaitForSingleObject(saver.pi.hProcess, 0), DWORD(WAIT_TIMEOUT))
          << "the screen saver ended by itself (exit code " << saver.Wait(0) << ")";
      PostMessageA(window, WM_CLOSE, 0, 0);
      ASSERT_EQ(saver.Wait(60000), 0) << "the screen saver did not end normally";
    }
  }
  for (int i = 0; i < 3; ++i) DeleteFileA((photos + "preview" + std::to_string(i) + ".bmp").c_str());
}

// A title may start with a blank: the setup installs the second copy under the very name
// its last page offers to start, and the active screen saver keeps the blank too. The
// uninstaller then removes what the converter wrote at install time, its log included, and
// with them the install folder.
TEST_F(Shipped, ALeadingBlankTitleInstallsLaunchesAndUninstallsAfterAConverterLog) {
  const std::string title = " Prismora Lead";
  ClearActiveSaver();
  Step("building and installing a title with a leading blank");
  const std::string setupPath = dir / "lead.exe";
  ASSERT_EQ(CommandLineBuild(WriteProject(title), setupPath), 0);
  ASSERT_EQ(Install(setupPath), 0);
  const std::string folder = systemFolder + title + "\\";
  EXPECT_TRUE(Exists(systemFolder + title + ".scr"));
  const std::string launched = systemFolder + title + ".exe";  // what [Run] starts
  EXPECT_TRUE(Exists(launched)) << "the program the setup offers to start is not there";
  EXPECT_FALSE(Exists(systemFolder + title.substr(1) + ".exe")) << "installed under a trimmed name";
  const std::optional<std::string> active = DesktopValue("SCRNSAVE.EXE");
  ASSERT_TRUE(active);
  EXPECT_EQ(LongFileName(*active), title + ".scr") << *active;
  ASSERT_TRUE(WaitUntil([&] { return Exists(folder + title + "2.bmp"); }, 30000));

  Step("starting it as the setup's last page does");
  {
    // Not an assertion: the install is removed below whatever happens here.
    Process saver;
    const bool started = saver.Start("\"" + launched + "\"", systemFolder, searchPath);
    EXPECT_TRUE(started) << "the program the setup offers to start cannot be started";
    if (started) {
      EXPECT_TRUE(WaitUntil([&] { return VisibleWindowOf(saver.pi.dwProcessId) != nullptr; }, 120000))
          << "the installed program showed no window";
    }
  }  // ended here

  Step("the converter run again over a missing photo writes its log");
  {
    Process converter;
    EXPECT_TRUE(converter.Start("\"" + folder + "pixolve.exe\" 4 " + title, folder, searchPath));
    EXPECT_NE(converter.Wait(120000), 0);  // photo 3 is not there
  }
  EXPECT_TRUE(Exists(folder + "pixolve.log"));

  Step("uninstalling");
  ASSERT_TRUE(Uninstall(title));
  EXPECT_FALSE(Exists(launched));
  EXPECT_TRUE(WaitUntil([&] { return !Exists(systemFolder + title); }, 30000))
      << "the install folder stayed behind";
  EXPECT_FALSE(Exists(folder + "pixolve.log"));
}
