// A stand-in for another program's window: a top-level window with one panel child,
// into which the child-window test puts its own window. It closes on WM_CLOSE and ends
// by itself after a minute so a failed test leaves nothing behind.
#include <windows.h>

namespace {

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
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
  wc.lpszClassName = "PrismoraGlTestHost";
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, wc.lpszClassName, "gl test host", WS_POPUP | WS_VISIBLE, 300, 200, 400, 300,
                             nullptr, nullptr, instance, nullptr);
  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 40, 30, 240, 180, top, reinterpret_cast<HMENU>(1),
                  instance, nullptr);
  SetTimer(top, 1, 60000, nullptr);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
