// The screen saver program as a user meets it: started by the system with /s, /p or an
// unknown mode, closed by input, shown inside another program's panel.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "common/bytes.h"
#include "engine/gl/scene_renderer.h"
#include "engine/scene/scene.h"
#include "engine/xfile/loader.h"
#include "engine/xfile/writer.h"
#include "runtime/win/saver.h"
#include "runtime/win/stage.h"
#include "tests/runtime/win_support.h"
#include "tests/support/test_host.h"
#include "tools/scenegen/templates.h"

using namespace prismora;
using namespace prismora::testsupport;

namespace {

constexpr uint32_t kRed = 0x000000FF, kGreen = 0x0000FF00, kBlue = 0x00FF0000, kMagenta = 0x00FF00FF;

double PhotoShare(RECT r) { return ShareOnScreen(r, {kRed, kGreen, kBlue}); }

// The photos' share of a screen rectangle, looked at until it is more than `enough`.
double WaitForPhotos(RECT r, double enough, DWORD ms = 8000) {
  double share = 0;
  WaitUntil([&] { return (share = PhotoShare(r)) > enough; }, ms, kScreenWaitStepMs);
  return share;
}

struct SaverRun : ::testing::Test {
  TempFolder dir;
  std::string scr;

  void SetUp() override {
    // Preview photos lie beside the preview file, as the builder writes them into its user
    // folder; three colours that no scene has of its own.
    std::string photos = dir / "preview\\";
    CreateDirectoryA(photos.c_str(), nullptr);
    WriteSolidBitmap(photos + "preview0.bmp", kRed);
    WriteSolidBitmap(photos + "preview1.bmp", kGreen);
    WriteSolidBitmap(photos + "preview2.bmp", kBlue);
    trailer::BuilderRecordFields f;
    f.title = "Saver Test";
    f.photoCount = 3;
    f.previewFlag = true;
    scr = MakeScreenSaver(dir / "rtsaver.scr", 0, f);
    DeleteKey(scr);
  }
  void TearDown() override { DeleteKey(scr); }

  std::string Command(const std::string& args) const { return "\"" + scr + "\" " + args; }
};

HWND WaitForSaver() { return WaitForWindow(runtime::kSaverClassName, runtime::kSaverTitle); }

// A set-up that fails at the scene: the "AnimSets->Load" box, and once it is confirmed
// the program ends normally.
void ExpectSceneErrorThenEnd(Process& saver) {
  ASSERT_TRUE(saver.started);
  HWND box = WaitForWindow("#32770", "Error");
  ASSERT_TRUE(box) << "no error box";
  // The box has its title before its text: the platform fills both while initialising
  // the dialog and shows it only afterwards, so the text is read once it is visible.
  for (int waited = 0; waited < 5000 && !IsWindowVisible(box); waited += 20) Sleep(20);
  char text[128] = {};
  HWND label = FindWindowExA(box, nullptr, "Static", nullptr);
  while (label && !GetWindowTextA(label, text, sizeof text)) label = FindWindowExA(box, label, "Static", nullptr);
  EXPECT_STREQ(text, "AnimSets->Load");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(saver.WaitEnd(10000)) << "the window stayed after a failed set-up";
  EXPECT_EQ(saver.ExitCode(), 0);
}

// A screen saver whose scene resource is the given .x file: the runtime built without a
// scene, the file put in as its resource, then template 0's block and a builder record.
std::string MakeSaverWithScene(const std::string& path, const std::vector<uint8_t>& scene,
                               const trailer::BuilderRecordFields& fields) {
  TempFolder::Write(path, TempFolder::Read(BinaryDir() + "tests\\runtime\\runtime_sceneless.exe"));
  HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
  if (!update) return {};
  bool put = UpdateResourceA(update, MAKEINTRESOURCEA(10) /* RT_RCDATA */, MAKEINTRESOURCEA(runtime::kSceneResourceId),
                             MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), const_cast<uint8_t*>(scene.data()),
                             DWORD(scene.size()));
  if (!EndUpdateResourceA(update, !put) || !put) return {};
  std::vector<uint8_t> bytes = TempFolder::Read(path);
  std::vector<uint8_t> block = scenegen::templateBlockBytes(scenegen::buildTemplate(0));
  trailer::BuilderRecord record = trailer::makeBuilderRecord(fields);
  bytes.insert(bytes.end(), block.begin(), block.end());
  bytes.insert(bytes.end(), record.begin(), record.end());
  TempFolder::Write(path, bytes);
  return path;
}

// The first non-empty static text of a message box.
std::string BoxText(HWND box) {
  char text[512] = {};
  HWND label = FindWindowExA(box, nullptr, "Static", nullptr);
  while (label && !GetWindowTextA(label, text, sizeof text)) label = FindWindowExA(box, label, "Static", nullptr);
  return text;
}

// A key press as the user makes it, on the screen saver window.
void PressShift(HWND window) {
  SetForegroundWindow(window);
  keybd_event(VK_SHIFT, 0, 0, 0);
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
}

// Sets one of the OpenGL driver switches for the programs started while it lives.
struct DriverSwitch {
  const char* name;
  explicit DriverSwitch(const char* n) : name(n) { SetEnvironmentVariableA(name, "1"); }
  ~DriverSwitch() { SetEnvironmentVariableA(name, nullptr); }
};

}  // namespace

// Every template and the scene-less runtime that imports start from declare per-monitor
// DPI awareness (v2 where Windows has it, v1 on 8.1, system-aware before), so full screen
// they are never scaled by Windows and draw in the screen's own pixels, and ask for no
// elevation whatever a saver's title. Wine cannot tell another process's awareness, so the
// declaration is what is checked; the full-screen tests check the window covers the screen.
TEST(SaverManifest, EveryTemplateIsPerMonitorDpiAwareAndRunsAsInvoker) {
  std::vector<std::string> programs = {"vexoscene.exe"};
  for (int n = 0; n < 6; ++n) programs.push_back("vexo" + std::to_string(n));
  for (const std::string& name : programs) {
    const std::string manifest = ManifestOf(BinaryDir() + name);
    ASSERT_FALSE(manifest.empty()) << name << " has no manifest";
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos) << name;
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos) << name;
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << name;
  }
}

TEST_F(SaverRun, FullScreenShowsThePhotosUntilAKeyIsPressed) {
  Process saver(Command("/s"));
  ASSERT_TRUE(saver.started);
  HWND window = WaitForSaver();
  ASSERT_TRUE(window);
  RECT r{};
  GetWindowRect(window, &r);
  const RECT screens = VirtualScreenRect();
  EXPECT_TRUE(EqualRect(&r, &screens)) << "the window does not cover every monitor";
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  const double share = WaitForPhotos(ScreenRect(), 0.05);
  EXPECT_GT(share, 0.05) << "the photos do not show";
  EXPECT_FALSE(saver.WaitEnd(300)) << "ended without input";

  PressShift(window);
  EXPECT_TRUE(saver.WaitEnd(10000)) << "a key press did not close it";
  EXPECT_EQ(saver.ExitCode(), 0);
}

TEST_F(SaverRun, MouseMoveClosesButAFewPixelsDoNot) {
  SetCursorPos(400, 300);
  Process saver(Command("/s"));
  HWND window = WaitForSaver();
  ASSERT_TRUE(window);
  // The small move comes once the saver takes input, so it is judged, not lost.
  EXPECT_EQ(WaitForInputIdle(saver.info.hProcess, 10000), 0u) << "the saver never waited for input";
  SetCursorPos(402, 301);  // three pixels in total: stays
  EXPECT_FALSE(saver.WaitEnd(1000));
  SetCursorPos(420, 300);
  mouse_event(MOUSEEVENTF_MOVE, 10, 0, 0, 0);
  EXPECT_TRUE(saver.WaitEnd(10000)) << "moving the mouse did not close it";
}

TEST_F(SaverRun, SecondFullScreenStartBringsTheFirstForwardAndEnds) {
  Process first(Command("/s"));
  HWND window = WaitForSaver();
  ASSERT_TRUE(window);
  Process second(Command("-S"));
  EXPECT_TRUE(second.WaitEnd(10000)) << "the second start did not end";
  EXPECT_EQ(second.ExitCode(), 0);
  EXPECT_FALSE(first.WaitEnd(0)) << "the first one ended";
  EXPECT_EQ(FindWindowA(runtime::kSaverClassName, runtime::kSaverTitle), window);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitEnd(10000));
}

TEST_F(SaverRun, UnknownModesAndMissingParentsExitWithMinusOne) {
  // A window that is gone: its handle names no window.
  HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  std::string goneHandle = "/l " + std::to_string(reinterpret_cast<uintptr_t>(gone));
  for (std::string args : {"/x", "/q", "/p 0", "/p", goneHandle.c_str(), "/a"}) {
    Process p(Command(args));
    ASSERT_TRUE(p.WaitEnd(10000)) << args;
    EXPECT_EQ(p.ExitCode(), -1) << args;
  }
  EXPECT_EQ(FindWindowA(runtime::kSaverClassName, nullptr), nullptr);
}

TEST_F(SaverRun, RegistryCopyOverridesTheBackgroundColour) {
  // The template's own background is dark; a registry copy asks for magenta.
  auto t = trailer::Trailer::fromFileTail(TempFolder::Read(scr));
  ASSERT_NE(t.backgroundColor(), kMagenta);
  t.setBackgroundColor(kMagenta);
  WriteValue(scr, std::vector<uint8_t>(t.display.begin(), t.display.end()));
  Process saver(Command("/s"));
  HWND window = WaitForSaver();
  ASSERT_TRUE(window);
  EXPECT_GT(WaitForShare(ScreenRect(), kMagenta, 0.2), 0.2) << "the background is not the registry's colour";
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(saver.WaitEnd(10000));
}

TEST_F(SaverRun, PreviewDrawsOverAnotherProgramsPanelAndEndsWithIt) {
  Process hostProcess(TestHostProgram());
  ASSERT_TRUE(hostProcess.started);
  HWND top = nullptr;
  HWND panel = WaitForTestHostPanel(top);
  ASSERT_TRUE(panel) << "the host's panel did not appear";
  RECT r = ClientOnScreen(panel);

  Process saver(Command("/p " + std::to_string(reinterpret_cast<uintptr_t>(panel))));
  const double share = WaitForPhotos(r, 0.1, 10000);
  EXPECT_GT(share, 0.1) << "the photos do not show over the panel";
  HWND preview = FindWindowExA(panel, nullptr, runtime::kSaverClassName, runtime::kPreviewTitle);
  ASSERT_TRUE(preview) << "no child window titled Preview in the panel";
  RECT inner{};
  GetClientRect(preview, &inner);
  EXPECT_EQ(inner.right, r.right - r.left);
  EXPECT_EQ(inner.bottom, r.bottom - r.top);
  // A small preview ignores input.
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  mouse_event(MOUSEEVENTF_MOVE, 40, 40, 0, 0);
  EXPECT_FALSE(saver.WaitEnd(1000)) << "input closed a child preview";

  PostMessageA(top, WM_APP, 0, 0);
  EXPECT_TRUE(saver.WaitEnd(10000)) << "the preview outlived its panel";
  PostMessageA(top, WM_CLOSE, 0, 0);
}

// Every template, full screen and in another program's panel, shows the photos.
TEST_F(SaverRun, EveryTemplateShowsThePhotosFullScreenAndInAPanel) {
  for (int templ = 0; templ < 6; ++templ) {
    if (TempFolder::Read(BinaryDir() + "vexo" + std::to_string(templ)).empty()) {
      ADD_FAILURE() << "template " << templ << " was not built";
      continue;
    }
    trailer::BuilderRecordFields f;
    f.title = "Template Test";
    f.photoCount = 3;
    f.previewFlag = true;
    std::string file = MakeScreenSaver(dir / ("rttpl" + std::to_string(templ) + ".scr"), templ, f);
    {
      Process saver("\"" + file + "\" /s");
      HWND window = WaitForSaver();
      ASSERT_TRUE(window) << templ;
      const double share = WaitForPhotos(ScreenRect(), 0.02);
      EXPECT_GT(share, 0.02) << "template " << templ << " full screen";
      PostMessageA(window, WM_CLOSE, 0, 0);
      EXPECT_TRUE(saver.WaitEnd(10000)) << templ;
    }
    {
      Process host(TestHostProgram());
      HWND top = nullptr;
      HWND panel = WaitForTestHostPanel(top);
      ASSERT_TRUE(panel);
      Process saver("\"" + file + "\" /p " + std::to_string(reinterpret_cast<uintptr_t>(panel)));
      RECT r = ClientOnScreen(panel);
      const double share = WaitForPhotos(r, 0.02);
      EXPECT_GT(share, 0.02) << "template " << templ << " preview";
      PostMessageA(top, WM_CLOSE, 0, 0);
      EXPECT_TRUE(saver.WaitEnd(10000)) << templ;
      EXPECT_TRUE(host.WaitEnd(10000)) << templ;
    }
    DeleteKey(file);
  }
}

TEST(SaverSetUp, SceneThatCannotBeLoadedIsReportedAndTheWindowCloses) {
  // The program without a scene resource: set-up fails at the scene.
  Process saver("\"" + BinaryDir() + "tests\\runtime\\runtime_sceneless.exe\" /s");
  ExpectSceneErrorThenEnd(saver);
}

// Scenes saved compressed by an exporter play like any other; one with a damaged block
// is refused with the same box as a missing scene, and the window goes.
TEST_F(SaverRun, CompressedScenePlaysAndADamagedBlockIsReported) {
  trailer::BuilderRecordFields f;
  f.title = "Compressed Scene";
  f.photoCount = 3;
  f.previewFlag = true;
  std::vector<uint8_t> scene =
      engine::xfile::writeXFile(scenegen::buildTemplate(0).document, {.compressed = true});
  std::string good = MakeSaverWithScene(dir / "rtbzip.scr", scene, f);
  ASSERT_FALSE(good.empty()) << "the scene resource could not be put in";
  {
    Process saver("\"" + good + "\" /s");
    HWND window = WaitForSaver();
    ASSERT_TRUE(window);
    const double share = WaitForPhotos(ScreenRect(), 0.02);
    EXPECT_GT(share, 0.02) << "the compressed scene does not show the photos";
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.WaitEnd(10000));
  }
  DeleteKey(good);

  // Scramble deflate data in the second block (the first block header sits at byte 20).
  std::size_t second = 20 + 4 + (scene[22] | scene[23] << 8);
  ASSERT_LT(second + 64, scene.size());
  for (std::size_t i = second + 16; i < second + 64; ++i) scene[i] ^= 0x5A;
  std::string damaged = MakeSaverWithScene(dir / "rtdamaged.scr", scene, f);
  ASSERT_FALSE(damaged.empty());
  Process saver("\"" + damaged + "\" /s");
  ExpectSceneErrorThenEnd(saver);
  DeleteKey(damaged);
}

TEST_F(SaverRun, FullScreenShowsThePhotosOnEveryMonitor) {
  Process saver(Command("/s"));
  HWND window = WaitForSaver();
  ASSERT_TRUE(window);
  for (const RECT& m : MonitorRects()) {
    const double share = WaitForPhotos(m, 0.03);
    EXPECT_GT(share, 0.03) << "no photos on the monitor at " << m.left << "," << m.top;
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(saver.WaitEnd(10000));
}

// Windows' own OpenGL 1.1 has no framebuffer objects: the same runs draw into the
// window's back buffer (full screen) or a helper window's (preview) instead.
TEST_F(SaverRun, WithoutFramebuffersFullScreenAndPreviewShowThePhotos) {
  DriverSwitch noFbo("PRISMORA_GL_NO_FBO");
  {
    Process saver(Command("/s"));
    HWND window = WaitForSaver();
    ASSERT_TRUE(window);
    const double share = WaitForPhotos(ScreenRect(), 0.05);
    EXPECT_GT(share, 0.05) << "the photos do not show full screen";
    PressShift(window);
    EXPECT_TRUE(saver.WaitEnd(10000)) << "a key press did not close it";
  }
  Process hostProcess(TestHostProgram());
  HWND top = nullptr;
  HWND panel = WaitForTestHostPanel(top);
  ASSERT_TRUE(panel);
  Process preview(Command("/p " + std::to_string(reinterpret_cast<uintptr_t>(panel))));
  const RECT r = ClientOnScreen(panel);
  const double share = WaitForPhotos(r, 0.1, 10000);
  EXPECT_GT(share, 0.1) << "the photos do not show over the panel";
  PostMessageA(top, WM_CLOSE, 0, 0);
  EXPECT_TRUE(preview.WaitEnd(10000)) << "the preview outlived its panel";
}

// No OpenGL at all: a black screen that behaves as a screen saver, not an instant exit.
TEST_F(SaverRun, WithoutOpenGLFullScreenIsBlackUntilAKeyIsPressed) {
  DriverSwitch noContext("PRISMORA_GL_NO_CONTEXT");
  Process saver(Command("/s"));
  HWND window = WaitForSaver();
  ASSERT_TRUE(window) << "no screen saver window";
  EXPECT_GT(WaitForShare(VirtualScreenRect(), 0x000000, 0.99), 0.99) << "the screen is not black";
  EXPECT_FALSE(saver.WaitEnd(1500)) << "ended without input";
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(FindWindowA("#32770", "Error"), nullptr) << "full screen is no place for a box";
  PressShift(window);
  EXPECT_TRUE(saver.WaitEnd(10000)) << "a key press did not close it";
  EXPECT_EQ(saver.ExitCode(), 0);
}

TEST_F(SaverRun, SettingsDialogTellsWhenThereIsNoOpenGL) {
  {
    // With OpenGL: the dialog alone.
    Process config(Command("/c"));
    HWND dialog = WaitForWindow("#32770", "Saver Test");
    ASSERT_TRUE(dialog) << "no settings dialog";
    Sleep(1500);  // time for a box that should not come: none may appear meanwhile
    EXPECT_EQ(FindWindowA("#32770", "Error"), nullptr);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(config.WaitEnd(10000));
  }
  DriverSwitch noContext("PRISMORA_GL_NO_CONTEXT");
  Process config(Command("/c"));
  HWND box = WaitForWindow("#32770", "Error");
  ASSERT_TRUE(box) << "no message about OpenGL";
  const std::string text = BoxText(box);
  EXPECT_NE(text.find("no OpenGL"), std::string::npos) << text;
  EXPECT_NE(text.find("black screen"), std::string::npos) << text;
  HWND dialog = FindWindowA("#32770", "Saver Test");
  ASSERT_TRUE(dialog) << "the box came without the dialog";
  EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitUntil([&] { return !IsWindow(box); }, 5000);
  EXPECT_TRUE(IsWindow(dialog)) << "the dialog went with the box";
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(config.WaitEnd(10000));
  EXPECT_EQ(config.ExitCode(), 0);
}

// ---- going through a set of photos larger than the scene's textures --------------------

namespace {

// Forty colours a channel step of 60 apart, none near the black background.
std::vector<uint32_t> DeckColours() {
  std::vector<uint32_t> colours;
  for (int r : {40, 100, 160, 220})
    for (int g : {40, 100, 160, 220})
      for (int b : {70, 130, 190}) {
        if (colours.size() < 40) colours.push_back(uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16);
      }
  return colours;
}

// How many textures template 0's scene names.
std::size_t TexturesOfTemplate0() {
  engine::Scene scene;
  std::vector<uint8_t> x = scenegen::sceneBytes(scenegen::buildTemplate(0));
  if (!engine::xfile::loadXFile(x, scene.root, scene.animation).ok()) return 0;
  return gl::SceneRenderer::TexturedMaterials(scene.root).size();
}

// Runs the saver full screen for up to `ms`, noting every deck colour that covers a
// visible part of the screen; stops early once all were seen.
std::set<int> ColoursSeen(const std::string& command, int ms) {
  std::set<int> seen;
  const std::vector<uint32_t> colours = DeckColours();
  Process saver(command);
  EXPECT_TRUE(saver.started);
  HWND window = WaitForSaver();
  EXPECT_TRUE(window);
  if (!window) return seen;
  // Notes the colours on the screen now; true once every one was seen.
  auto allSeen = [&] {
    const std::vector<uint32_t> pixels = ScreenPixels(ScreenRect());
    std::vector<long> hits(colours.size(), 0);
    for (uint32_t p : pixels) {
      const int b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
      for (std::size_t i = 0; i < colours.size(); ++i) {
        const uint32_t c = colours[i];
        if (std::abs(r - int(c & 0xFF)) < 12 && std::abs(g - int((c >> 8) & 0xFF)) < 12 &&
            std::abs(b - int((c >> 16) & 0xFF)) < 12) {
          ++hits[i];
          break;
        }
      }
    }
    // A colour counts where it covers a face, not where two photos' edges blend.
    for (std::size_t i = 0; i < colours.size(); ++i)
      if (!pixels.empty() && double(hits[i]) / double(pixels.size()) > 0.002) seen.insert(int(i));
    return seen.size() == colours.size();
  };
  // Each look goes over every pixel for forty colours: a long rest between looks leaves
  // the processor to the saver, whose photo changes are what is watched.
  WaitUntil(allSeen, DWORD(ms), 150);
  PressShift(window);
  EXPECT_TRUE(saver.WaitEnd(10000));
  return seen;
}

struct DeckRun : SaverRun {
  std::string deckScr;
  std::string MakeDeckSaver(int32_t interval) {
    std::string photos = dir / "preview\\";
    const std::vector<uint32_t> colours = DeckColours();
    for (std::size_t i = 0; i < colours.size(); ++i)
      WriteSolidBitmap(photos + "preview" + std::to_string(i) + ".bmp", colours[i]);
    trailer::BuilderRecordFields f;
    f.title = "Deck Test";
    f.photoCount = int(colours.size());
    f.previewFlag = true;
    f.photoChangeSeconds = interval;
    deckScr = MakeScreenSaver(dir / ("deck" + std::to_string(interval) + ".scr"), 0, f);
    DeleteKey(deckScr);
    return "\"" + deckScr + "\" /s";
  }
  void TearDown() override {
    const std::string photos = dir / "preview\\";
    for (int i = 3; i < 40; ++i) DeleteFileA((photos + "preview" + std::to_string(i) + ".bmp").c_str());
    if (!deckScr.empty()) DeleteKey(deckScr);
    SaverRun::TearDown();
  }
};

}  // namespace

TEST_F(DeckRun, WithAnIntervalEveryPhotoOfTheSetComesOnScreen) {
  const std::size_t textures = TexturesOfTemplate0();
  ASSERT_GT(textures, 0u);
  ASSERT_LT(textures, 40u);
  std::set<int> seen = ColoursSeen(MakeDeckSaver(1), 180000);
  std::string missing;
  for (int i = 0; i < 40; ++i)
    if (!seen.count(i)) missing += " " + std::to_string(i);
  EXPECT_EQ(seen.size(), 40u) << "of 40 photos, " << seen.size() << " came on screen with "
                              << textures << " textures; not seen:" << missing;
}

TEST_F(DeckRun, WithoutAnIntervalThePhotosChosenAtStartStay) {
  const std::size_t textures = TexturesOfTemplate0();
  ASSERT_GT(textures, 0u);
  // As long as the other run needs to show three times as many photos as textures.
  std::set<int> seen = ColoursSeen(MakeDeckSaver(0), 20000);
  EXPECT_GT(seen.size(), 0u);
  EXPECT_LE(seen.size(), textures) << "a saver without the interval changed its photos";
}
