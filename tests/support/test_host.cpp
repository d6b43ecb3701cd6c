// Another program's window for the tests of windows inside it: a top-level window with
// one panel (id 1), like the builder's preview panel. WM_APP destroys the panel; the
// program ends on WM_CLOSE or by itself after a minute, so a failed test leaves nothing
// behind.
#include <windows.h>

namespace {

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_APP: DestroyWindow(GetDlgItem(hwnd, 1)); return 0;
    case WM_TIMER: DestroyWindow(hwnd); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "PrismoraTestHost";
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, wc.lpszClassName, "test host", WS_POPUP | WS_VISIBLE, 200, 150, 420, 320,
                             nullptr, nullptr, instance, nullptr);
  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 60, 40, 265, 200, top, reinterpret_cast<HMENU>(1),
                  instance, nullptr);
  SetTimer(top, 1, 60000, nullptr);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
