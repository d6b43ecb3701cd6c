// The real open dialog, driven from a second thread as a user would: thousands of files
// selected at once all come back.
#include "platform/win32/wingui/dialogs.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/win32/wide_text.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wait.h"

using namespace prismora;
using testsupport::TempFolder;
using testsupport::WaitUntil;

namespace {

// Long names, so that a few hundred of them already fill more than 64 KB.
std::string PhotoName(int i) {
  char number[8];
  std::snprintf(number, sizeof number, "%04d", i);
  return "photo " + std::string(number) + " of the garden in the early morning light" + std::string(140, '-') + ".bmp";
}

// The first visible window of a class among a thread's top-level windows, or among the
// children of `parent` when one is given.
HWND FindVisible(const char* cls, DWORD thread, HWND parent = nullptr) {
  struct Search {
    const char* cls;
    HWND found = nullptr;
  } search{cls};
  WNDENUMPROC each = [](HWND w, LPARAM p) CALLBACK -> BOOL {
    auto* s = reinterpret_cast<Search*>(p);
    char name[32] = {};
    GetClassNameA(w, name, sizeof name);
    if (std::string(name) != s->cls || !IsWindowVisible(w)) return TRUE;
    s->found = w;
    return FALSE;
  };
  if (parent)
    EnumChildWindows(parent, each, LPARAM(&search));
  else
    EnumThreadWindows(thread, each, LPARAM(&search));
  return search.found;
}

}  // namespace

TEST(OpenDialog, ThousandsOfSelectedFilesAllComeBack) {
  TempFolder dir;
  constexpr int kCount = 360;  // their names alone fill more than 64 KB
  for (int i = 0; i < kCount; ++i) TempFolder::Write(dir / PhotoName(i), {'B', 'M'});

  std::atomic<bool> driven{false};
  std::string failure;
  const DWORD self = GetCurrentThreadId();
  std::thread user([&] {
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = FindVisible("#32770", self)) != nullptr; }, 20000))
      return void(failure = "no dialog");
    // Into the folder, as by typing it and pressing Open.
    // The dialog is a wide one: its CDM_ messages take wide text.
    const std::wstring folder = platform::WideFromAnsi(dir.path());
    SendMessageW(dialog, CDM_SETCONTROLTEXT, edt1, LPARAM(folder.c_str()));
    SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, LPARAM(folder.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    HWND list = nullptr;
    if (!WaitUntil([&] {
          list = FindVisible("SysListView32", 0, dialog);
          return list && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) >= kCount;
        }, 30000))
      return void(failure = "the folder's files did not show");
    // Every file selected, then Open.
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, WPARAM(-1), LPARAM(&item));
    if (!WaitUntil([&] { return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) >= kCount; }, 30000))
      return void(failure = "the files were not selected");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    driven = true;
  });

  wingui::CommonDialogs dialogs;
  platform::FileDialogOptions o;
  o.filter = "Bitmaps (*.bmp)|*.bmp";
  o.allowMultiple = true;
  std::vector<std::string> chosen;
  std::string error;
  try {
    chosen = dialogs.Open(nullptr, o);
  } catch (const std::exception& e) {
    error = e.what();
  }
  user.join();
  ASSERT_TRUE(failure.empty()) << failure;
  ASSERT_TRUE(driven);
  EXPECT_TRUE(error.empty()) << error;
  ASSERT_EQ(chosen.size(), size_t(kCount));
  std::vector<std::string> expected;
  for (int i = 0; i < kCount; ++i) expected.push_back(dir / PhotoName(i));
  std::sort(chosen.begin(), chosen.end());
  EXPECT_TRUE(chosen == expected) << chosen.front();
}
