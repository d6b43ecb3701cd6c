// The real settings dialog, run on a thread of its own and driven with messages; the
// colour dialog, the shell and process starts are stand-ins unless a test needs the
// real program.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "common/bytes.h"
#include "platform/win32/process_launcher.h"
#include "platform/win32/win32_seams.h"
#include "runtime/core/dialog_rules.h"
#include "runtime/win/config_dialog.h"
#include "runtime/win/saver.h"
#include "runtime/win/settings_store.h"
#include "tests/runtime/win_support.h"

using namespace prismora;
using namespace prismora::testsupport;
namespace ctl = runtime::ctl;

namespace {

constexpr uint32_t kDialogColour = 0x0040C0E0, kMagenta = 0x00FF00FF;
const char* kTitle = "Dialog Test";

struct FakeColours : platform::ColorDialogs {
  std::optional<uint32_t> answer;
  uint32_t initial = 0xFFFFFFFF;
  int calls = 0;
  std::optional<uint32_t> Choose(platform::WindowHandle, uint32_t start) override {
    ++calls;
    initial = start;
    return answer;
  }
};

struct RecordingShell : platform::Shell {
  std::vector<std::string> opened;
  void Open(const std::string& target) override { opened.push_back(target); }
};

// Records each detached start together with the settings value at that moment.
struct RecordingLauncher : platform::ProcessLauncher {
  std::string program;
  std::vector<std::string> started;
  std::vector<std::vector<uint8_t>> valueAtStart;
  bool StartHidden(const std::string&, const std::string&) override { return false; }
  int WaitForLastProcess() override { return -1; }
  bool StartDetached(const std::string& commandLine) override {
    started.push_back(commandLine);
    valueAtStart.push_back(ReadValue(program));
    return true;
  }
};

struct DialogTest : ::testing::Test {
  TempFolder dir;
  std::string scr;
  trailer::Trailer fromFile;
  FakeColours colours;
  RecordingShell shell;
  RecordingLauncher fakeLauncher;
  std::thread thread;
  std::atomic<INT_PTR> result{-2};
  HWND dialog = nullptr;

  void SetUp() override {
    trailer::BuilderRecordFields f;
    f.title = kTitle;
    f.author = "Anna Author";
    f.email = "anna@example.com";
    f.website = "www.flowers.example/gallery";
    f.photoCount = 3;
    f.dialogColor = kDialogColour;
    scr = MakeScreenSaver(dir / "rtdlg.scr", 0, f);
    DeleteKey(scr);
    fromFile = trailer::Trailer::fromFileTail(TempFolder::Read(scr));
    fakeLauncher.program = scr;
  }
  void TearDown() override {
    if (dialog && IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    if (thread.joinable()) thread.join();
    DeleteKey(scr);
  }

  void Open(platform::ProcessLauncher& launcher) {
    thread = std::thread([this, &launcher] {
      runtime::ConfigSeams seams{colours, shell, launcher, scr};
      result = runtime::RunConfigDialog(nullptr, seams);
    });
    dialog = WaitForWindow("#32770", kTitle, 10000);
    ASSERT_TRUE(dialog) << "the dialog did not open";
  }
  void Open() { Open(fakeLauncher); }

  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(dialog, msg, wp, lp); }
  LRESULT SendItem(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return SendDlgItemMessageA(dialog, id, msg, wp, lp);
  }
  void Command(int id) { Send(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  INT_PTR WaitClosed() {
    if (thread.joinable()) thread.join();
    return result;
  }
  RECT ItemOnScreen(int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return r;
  }
  // As the dialog manager places a control: position and size converted separately.
  RECT DialogUnitsOnScreen(int x, int y, int w, int h) {
    RECT at{x, y, w, h};
    MapDialogRect(dialog, &at);
    RECT r{at.left, at.top, at.left + at.right, at.top + at.bottom};
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  void ClickOn(int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(dialog, &p);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  }
  std::string ItemText(int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
  }
};

}  // namespace

TEST_F(DialogTest, OpensWithTheTrailersTextsSpeedAndFlags) {
  Open();
  char caption[128] = {};
  GetWindowTextA(dialog, caption, sizeof caption);
  EXPECT_STREQ(caption, kTitle);
  EXPECT_EQ(ItemText(ctl::Title), kTitle);
  EXPECT_EQ(ItemText(ctl::Author), "Anna Author");
  EXPECT_EQ(ItemText(ctl::Email), "anna@example.com");
  EXPECT_EQ(ItemText(ctl::Website), "http://www.flowers.example/gallery");
  EXPECT_EQ(SendItem(ctl::Speed, TBM_GETRANGEMIN), fromFile.speedMin());
  EXPECT_EQ(SendItem(ctl::Speed, TBM_GETRANGEMAX), fromFile.speedMax());
  LRESULT pos = SendItem(ctl::Speed, TBM_GETPOS);
  EXPECT_EQ(pos, fromFile.speed());
  EXPECT_GE(pos, fromFile.speedMin());
  EXPECT_LE(pos, fromFile.speedMax());
  EXPECT_EQ(IsDlgButtonChecked(dialog, ctl::Erase) == BST_CHECKED, fromFile.eraseFlag());
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, ctl::Light)));
  EXPECT_FALSE(GetWindowLongA(dialog, GWL_STYLE) & WS_CAPTION);
}

TEST_F(DialogTest, LayoutFollowsTheTemplateInDialogUnits) {
  Open();
  RECT client{};
  GetClientRect(dialog, &client);
  RECT size{0, 0, 326, 185};
  MapDialogRect(dialog, &size);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);
  struct Item { int id, x, y, w, h; };
  for (Item c : {Item{ctl::Title, 109, 14, 106, 8}, Item{ctl::Author, 104, 30, 117, 8}, Item{ctl::Email, 101, 39, 124, 8},
                 Item{ctl::Website, 87, 48, 152, 8}, Item{ctl::Speed, 14, 68, 297, 21}, Item{ctl::Erase, 126, 90, 74, 10},
                 Item{ctl::ColourSample, 49, 116, 19, 8}, Item{ctl::SelectColour, 35, 127, 50, 14},
                 Item{ctl::Preview, 250, 116, 50, 14}, Item{IDCANCEL, 227, 134, 50, 14}, Item{IDOK, 189, 152, 50, 14}}) {
    RECT want = DialogUnitsOnScreen(c.x, c.y, c.w, c.h), got = ItemOnScreen(c.id);
    EXPECT_EQ(got.left, want.left) << c.id;
    EXPECT_EQ(got.top, want.top) << c.id;
    EXPECT_EQ(got.right, want.right) << c.id;
    EXPECT_EQ(got.bottom, want.bottom) << c.id;
  }
  // Centred on the screen.
  RECT w{};
  GetWindowRect(dialog, &w);
  EXPECT_NEAR((w.left + w.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
  EXPECT_NEAR((w.top + w.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 2);
}

TEST_F(DialogTest, OkStoresTrackBarEraseAndLightInTheRegistry) {
  Open();
  SendItem(ctl::Speed, TBM_SETPOS, TRUE, 66);
  CheckDlgButton(dialog, ctl::Erase, fromFile.eraseFlag() ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(dialog, ctl::Light, BST_CHECKED);
  Command(IDOK);
  EXPECT_EQ(WaitClosed(), IDOK);
  std::vector<uint8_t> value = ReadValue(scr);
  ASSERT_EQ(value.size(), 208u);
  EXPECT_EQ(bytes::readI32(value, trailer::off::Speed), 66);
  EXPECT_EQ(value[trailer::off::EraseFlag], fromFile.eraseFlag() ? 0 : 1);
  EXPECT_EQ(value[trailer::off::LightFlag], 1);
  // Everything else is the file's display block.
  for (std::size_t i = 0; i < 208; ++i) {
    if (i >= trailer::off::Speed && i < trailer::off::Speed + 4) continue;
    if (i == trailer::off::EraseFlag || i == trailer::off::LightFlag) continue;
    EXPECT_EQ(value[i], fromFile.display[i]) << "byte " << i;
  }
}

TEST_F(DialogTest, ColourChosenThenCancelLeavesTheRegistryAsItWas) {
  trailer::Trailer earlier = fromFile;
  earlier.setSpeed(20);
  std::vector<uint8_t> before(earlier.display.begin(), earlier.display.end());
  WriteValue(scr, before);
  colours.answer = kMagenta;
  Open();
  EXPECT_EQ(SendItem(ctl::Speed, TBM_GETPOS), 20) << "the registry copy was not read";
  Command(ctl::SelectColour);
  EXPECT_EQ(colours.calls, 1);
  EXPECT_EQ(colours.initial, fromFile.backgroundColor());
  // The sample shows the chosen colour at once.
  EXPECT_GT(WaitForShare(ItemOnScreen(ctl::ColourSample), kMagenta, 0.8, 3000), 0.8);
  Command(IDCANCEL);
  EXPECT_EQ(WaitClosed(), IDCANCEL);
  EXPECT_EQ(ReadValue(scr), before);
}

TEST_F(DialogTest, ColourDialogCancelledKeepsTheColour) {
  colours.answer = std::nullopt;
  Open();
  Command(ctl::SelectColour);
  Command(IDOK);
  EXPECT_EQ(WaitClosed(), IDOK);
  std::vector<uint8_t> value = ReadValue(scr);
  ASSERT_EQ(value.size(), 208u);
  EXPECT_EQ(bytes::readU32(value, trailer::off::BackgroundColor), fromFile.backgroundColor());
  // The request record is saved as the colour dialog took it, without this run's pointers.
  EXPECT_EQ(bytes::readU32(value, trailer::off::ColorRequestSize), 36u);
  EXPECT_EQ(bytes::readU32(value, trailer::off::ColorRequestFlags), 1u);
  EXPECT_EQ(bytes::readU32(value, trailer::off::ColorRequestOwner), 0u);
  EXPECT_EQ(bytes::readU32(value, trailer::off::ColorRequestCustomColors), 0u);
}

TEST_F(DialogTest, PreviewSavesFirstEachTimeAndStartsTheShortPathWithDashS) {
  Open();
  SendItem(ctl::Speed, TBM_SETPOS, TRUE, 30);
  Command(ctl::Preview);
  SendItem(ctl::Speed, TBM_SETPOS, TRUE, 80);
  Command(ctl::Preview);
  EXPECT_TRUE(IsWindow(dialog)) << "Preview closed the dialog";
  std::string expected = runtime::ShortPathOf(scr) + " -s";
  ASSERT_EQ(fakeLauncher.started.size(), 2u);
  EXPECT_EQ(fakeLauncher.started[0], expected);
  EXPECT_EQ(fakeLauncher.started[1], expected);
  ASSERT_EQ(fakeLauncher.valueAtStart[0].size(), 208u);
  EXPECT_EQ(bytes::readI32(fakeLauncher.valueAtStart[0], trailer::off::Speed), 30);
  EXPECT_EQ(bytes::readI32(fakeLauncher.valueAtStart[1], trailer::off::Speed), 80);
}

TEST_F(DialogTest, PreviewStartsARunThatShowsTheNewColour) {
  platform::Win32MessagePump pump;
  platform::Win32ProcessLauncher launcher(pump);
  colours.answer = kMagenta;
  Open(launcher);
  Command(ctl::SelectColour);
  Command(ctl::Preview);
  HWND saver = WaitForWindow(runtime::kSaverClassName, runtime::kSaverTitle);
  ASSERT_TRUE(saver) << "no test run started";
  EXPECT_GT(WaitForShare(ScreenRect(), kMagenta, 0.2), 0.2) << "the test run did not read the new colour";
  DWORD pid = 0;
  GetWindowThreadProcessId(saver, &pid);
  PostMessageA(saver, WM_CLOSE, 0, 0);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  ASSERT_NE(process, nullptr) << "the test run's process is not there to wait for";
  EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
  CloseHandle(process);
}

TEST_F(DialogTest, LinksOpenTheProductSiteWithTheWebsite) {
  Open();
  ClickOn(ctl::Website);
  ClickOn(ctl::AboutIcon);
  ClickOn(ctl::Author);  // not a link
  ASSERT_EQ(shell.opened.size(), 2u);
  EXPECT_EQ(shell.opened[0], "http://www.prismora.example/website.php?URL=http://www.flowers.example/gallery&cookie=");
  EXPECT_EQ(shell.opened[1],
            "http://www.prismora.example/about_click.php?URL=http://www.flowers.example/gallery&cookie=");
}

TEST_F(DialogTest, EllipseInTheDialogColour) {
  Open();
  // Shown once its set-up (the ellipse among it) is done.
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 5000)) << "the dialog was not shown";
  RECT w{};
  GetWindowRect(dialog, &w);
  // A free spot inside the ellipse shows the dialog colour; the window's corner does not
  // belong to the window at all.
  RECT inside = DialogUnitsOnScreen(30, 93, 4, 2);
  EXPECT_GT(WaitForShare(inside, kDialogColour, 0.9, 3000), 0.9);
  RECT corner{w.left, w.top, w.left + 6, w.top + 6};
  EXPECT_LT(ShareOnScreen(corner, kDialogColour), 0.1);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(dialog, region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 1, 1));
  EXPECT_TRUE(PtInRegion(region, (w.right - w.left) / 2, (w.bottom - w.top) / 2));
  DeleteObject(region);
}
