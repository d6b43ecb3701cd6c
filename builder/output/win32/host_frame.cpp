#include "builder/output/win32/host_frame.h"

namespace prismora::output {

namespace {
constexpr int kSide = 265;
constexpr char kFrameClass[] = "TFrame7";
constexpr char kPanelClass[] = "TFrame7Panel";
// The label is black on black, so only the old platform (white text) shows it.
constexpr char kTextColorProp[] = "PrismoraLabelColor";

LRESULT CALLBACK PanelProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CTLCOLORSTATIC) {
    HDC dc = reinterpret_cast<HDC>(wp);
    SetTextColor(dc, COLORREF(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, kTextColorProp))));
    SetBkColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
  }
  if (msg == WM_NCDESTROY) RemovePropA(hwnd, kTextColorProp);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = PanelProcedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kFrameClass;
  RegisterClassA(&wc);
  wc.lpszClassName = kPanelClass;
  RegisterClassA(&wc);
  done = true;
}
}  // namespace

TFrame7::TFrame7(HWND previewPanel, bool oldPlatform) {
  RegisterClasses();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  frame_ = CreateWindowExA(0, kFrameClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, kSide,
                           kSide, previewPanel, nullptr, instance, nullptr);
  panel1_ = CreateWindowExA(0, kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                            kSide, kSide, frame_, nullptr, instance, nullptr);
  SetPropA(panel1_, kTextColorProp,
           reinterpret_cast<HANDLE>(UINT_PTR(oldPlatform ? RGB(255, 255, 255) : RGB(0, 0, 0))));
  label1_ = CreateWindowExA(0, "STATIC", kOldPlatformPreviewText, WS_CHILD | WS_VISIBLE, 35, 112,
                            195, 13, panel1_, nullptr, instance, nullptr);
  SendMessageA(label1_, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  BringWindowToTop(frame_);
}

TFrame7::~TFrame7() {
  if (IsWindow(frame_)) DestroyWindow(frame_);
}

}  // namespace prismora::output
