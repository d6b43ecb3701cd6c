// A main window made in the test process with stand-in dialogs, colours and shell, a
// real file system in a temporary builder folder (program and user folder in one unless
// a test parts them), and helpers that drive its controls
// the way the platform does.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "builder/window/main_form.h"
#include "platform/win32/win32_seams.h"
#include "tests/support/bitmap_bytes.h"
#include "tests/support/fake_seams.h"
#include "tests/support/pump.h"
#include "tests/support/temp_folder.h"

namespace prismora::testsupport {

struct QueuedDialogs : platform::FileDialogs {
  std::deque<std::vector<std::string>> opens;  // answers in order; none left: cancel
  std::deque<std::optional<std::string>> saves;
  std::vector<platform::FileDialogOptions> asked;
  std::vector<std::string> Open(platform::WindowHandle, const platform::FileDialogOptions& o) override {
    asked.push_back(o);
    if (opens.empty()) return {};
    auto a = opens.front();
    opens.pop_front();
    return a;
  }
  std::function<void()> onSave;  // runs when the save dialog "opens"
  std::optional<std::string> Save(platform::WindowHandle, const platform::FileDialogOptions& o) override {
    asked.push_back(o);
    if (onSave) onSave();
    if (saves.empty()) return std::nullopt;
    auto a = saves.front();
    saves.pop_front();
    return a;
  }
};

struct FixedColors : platform::ColorDialogs {
  std::optional<uint32_t> answer;
  std::vector<uint32_t> initials;
  std::optional<uint32_t> Choose(platform::WindowHandle, uint32_t initial) override {
    initials.push_back(initial);
    return answer;
  }
};

struct RecordingShell : platform::Shell {
  std::vector<std::string> opened;
  void Open(const std::string& target) override { opened.push_back(target); }
};

// A 24-bit bitmap file of one colour (0x00BBGGRR).
inline void WriteBitmap(const std::string& path, int w, int h, uint32_t color) {
  const std::vector<uint8_t> b = OneColourBitmap(w, h, color);
  TempFolder::Write(path, b);
}

class MainWindowTest : public ::testing::Test {
 protected:
  TempFolder dir;
  platform::Win32FileSystem files;
  FakeBoxes boxes;
  QueuedDialogs dialogs;
  FixedColors colors;
  RecordingShell shell;
  std::vector<std::string> errors;
  std::unique_ptr<window::TForm1> form;
  scenes::TemplateFolder* templateFolder = nullptr;  // imported templates, when a test wants them
  // The builder's program folder (read) and user folder (written), both the temporary
  // folder unless a test parts them; each ends in a backslash.
  std::string programFolder = dir.path();
  std::string userFolder = dir.path();

  void SetUp() override {
    OleInitialize(nullptr);
    wingui::SetErrorReporter([this](HWND, const std::string& text) { errors.push_back(text); });
  }
  void TearDown() override {
    form.reset();
    Pump();
  }

  window::TForm1& Start() {
    form = std::make_unique<window::TForm1>(
        window::FormSeams{boxes, files, dialogs, colors, shell, programFolder, templateFolder, userFolder});
    EXPECT_TRUE(form->Create());
    form->Show(SW_SHOWNORMAL);
    Pump();
    return *form;
  }
  HWND Control(int id) const { return form->Controls()[id]; }
  template <class T>
  T Get(int id) const {
    return form->Controls().Get<T>(id);
  }
  void Command(int id, int code = 0) {
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(id, code), LPARAM(Control(id)));
    Pump();
  }
  // A press and release over an image, as the mouse makes it.
  void Click(int imageId) {
    HWND h = Control(imageId);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    Pump();
  }
  void MoveOver(HWND h) {
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    Pump();
  }
  // A key reaches the window with the focus, as typing does.
  void PressKey(WORD key) {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    SendMessageA(focus, WM_KEYDOWN, key, 1);
    SendMessageA(focus, WM_KEYUP, key, 0xC0000001);
    Pump();
  }
  void SelectItem(int comboId, int index) {
    SendMessageA(Control(comboId), CB_SETCURSEL, WPARAM(index), 0);
    Command(comboId, CBN_SELCHANGE);
  }
  std::string Photo(const std::string& name, int w = 40, int h = 30, uint32_t color = 0x00336699) {
    std::string path = dir / name;
    WriteBitmap(path, w, h, color);
    return path;
  }
  void AddPhotos(const std::vector<std::string>& paths) {
    dialogs.opens.push_back(paths);
    Click(window::ImagePanelAdd);
  }
  std::string Text(int id) const { return Get<wingui::Control>(id).Text(); }
};

}  // namespace prismora::testsupport
