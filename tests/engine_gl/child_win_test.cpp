// The picture reaches the screen for every kind of window the screen saver draws in:
// its own top-level window, a child of a window of its own process, and a child inside
// another process's window (the builder's preview panel). Checked on the screen itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gl/gl_device.h"
#include "tests/support/pump.h"
#include "tests/support/screen.h"
#include "tests/support/test_host.h"
#include "tests/support/wait.h"

using namespace prismora;
using testsupport::Pump;

namespace {

constexpr uint32_t kColour = 0xFF30C060;     // what every test clears to
constexpr uint32_t kColourRef = 0x0060C030;  // the same as the screen reads it

// Presents and looks at the screen until the picture is there (the X server may take a
// moment), at most two seconds.
double PresentAndLook(gl::GlDevice& device, HWND window) {
  double share = 0;
  testsupport::WaitUntil(
      [&] {
        device.Clear(gl::ClearMode::ColourAndDepth, kColour);
        EXPECT_TRUE(device.Present());
        share = testsupport::ShareOnScreen(testsupport::ClientOnScreen(window), kColourRef, 6);
        return share >= 0.95;
      },
      2000, testsupport::kScreenWaitStepMs);
  return share;
}

HWND MakeWindow(DWORD style, int x, int y, int w, int h, HWND parent) {
  return CreateWindowExA(0, "STATIC", "", style, x, y, w, h, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(GlPresenters, TopLevelWindowShowsThePicture) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, 40, 40, 200, 150, nullptr);
  std::string error;
  auto device = gl::GlDevice::ForWindow(top, &error);
  ASSERT_TRUE(device) << error;
  EXPECT_EQ(device->presenterKind(), gl::PresenterKind::Direct);
  EXPECT_EQ(device->width(), 200);
  EXPECT_GT(PresentAndLook(*device, top), 0.95);
  device.reset();
  DestroyWindow(top);
}

TEST(GlPresenters, ChildOfThisProcessesWindowShowsThePictureAndFollowsItsSize) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, 300, 40, 320, 240, nullptr);
  HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, 30, 20, 200, 150, top);
  std::string error;
  auto device = gl::GlDevice::ForWindow(child, &error);
  ASSERT_TRUE(device) << error;
  EXPECT_EQ(device->presenterKind(), gl::PresenterKind::ChildCopy);
  EXPECT_GT(PresentAndLook(*device, child), 0.95);
  SetWindowPos(child, nullptr, 0, 0, 260, 180, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_GT(PresentAndLook(*device, child), 0.95);
  EXPECT_EQ(device->width(), 260);
  EXPECT_EQ(device->height(), 180);
  device.reset();
  DestroyWindow(top);
}

TEST(GlPresenters, ChildInsideAnotherProcessesWindowShowsThePictureUntilItGoes) {
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(testsupport::StartTestHost(pi)) << testsupport::TestHostProgram();
  HWND host = nullptr;
  HWND panel = testsupport::WaitForTestHostPanel(host);
  ASSERT_TRUE(panel) << "the host program's panel did not appear";

  HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, 10, 10, 200, 150, panel);
  ASSERT_TRUE(child);
  std::string error;
  auto device = gl::GlDevice::ForWindow(child, &error);
  ASSERT_TRUE(device) << error;
  EXPECT_EQ(device->presenterKind(),
            gl::RunningOnWine() ? gl::PresenterKind::OwnedPopup : gl::PresenterKind::ChildCopy);
  EXPECT_GT(PresentAndLook(*device, child), 0.95);

  // The host window moves: the picture moves with the child.
  SetWindowPos(host, nullptr, 120, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_GT(PresentAndLook(*device, child), 0.95);

  // The host closes, taking the child with it: presenting reports the window gone.
  PostMessageA(host, WM_CLOSE, 0, 0);
  while (MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) Pump();
  Pump();
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(device->Present());
  EXPECT_FALSE(device->alive());
  device->Clear(gl::ClearMode::ColourAndDepth, kColour);  // harmless once gone
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}
