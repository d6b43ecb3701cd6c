#include "engine/gl/presenters.h"

#include <algorithm>

namespace prismora::gl {
namespace {

constexpr char kHelperClass[] = "PrismoraGlSurface";

// The surface windows are never meant to take focus or clicks: the hidden helpers carry
// a context only, and the covering popup stands in for a preview the user only watches.
LRESULT CALLBACK SurfaceProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return 1;  // the next frame paints everything
    default: return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

bool RegisterSurfaceClass() {
  static const bool registered = [] {
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = SurfaceProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kHelperClass;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

SIZE ClientSize(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// Reads the picture back and hands it to GDI: the road that works for any window.
void CopyWithGdi(HWND window, const RenderTarget& target, std::vector<uint8_t>& pixels) {
  target.ReadBgra(pixels);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = target.width();
  bmi.bmiHeader.biHeight = target.height();  // rows from the bottom, as OpenGL reads them
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(window);
  SetDIBitsToDevice(dc, 0, 0, target.width(), target.height(), 0, 0, 0, target.height(), pixels.data(), &bmi,
                    DIB_RGB_COLORS);
  ReleaseDC(window, dc);
}

// Copies the picture into the window's back buffer on the GPU side and swaps.
void BlitAndSwap(const FramebufferFunctions& fn, const RenderTarget& target, HDC dc, SIZE size) {
  fn.bindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer());
  fn.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  fn.blitFramebuffer(0, 0, target.width(), target.height(), 0, 0, size.cx, size.cy, GL_COLOR_BUFFER_BIT,
                     GL_NEAREST);
  SwapBuffers(dc);
  target.Bind();
}

// What a window's swap does to its back buffer, from its pixel format; asked on the
// first present, once the context has set that format.
class SwapKind {
 public:
  bool Copies(HDC dc) {
    if (!known_) {
      PIXELFORMATDESCRIPTOR pfd{};
      const int format = GetPixelFormat(dc);
      copies_ = format != 0 && DescribePixelFormat(dc, format, sizeof pfd, &pfd) && (pfd.dwFlags & PFD_SWAP_COPY);
      known_ = true;
    }
    return copies_;
  }

 private:
  bool known_ = false, copies_ = false;
};

// Without framebuffer objects the picture is the window's back buffer, and it must still
// be there after presenting for a depth-only clear to draw over it. A swap that copies
// (Windows' own renderer says so in its pixel formats) keeps it; where the format
// promises nothing (Wine says neither copy nor exchange) the back buffer is copied to the
// front, which OpenGL 1.1 does with glCopyPixels and leaves the back buffer alone.
void ShowBackBuffer(HDC dc, const RenderTarget& target, SwapKind& swap) {
  if (swap.Copies(dc)) {
    SwapBuffers(dc);
    return;
  }
  glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_COLOR_BUFFER_BIT | GL_PIXEL_MODE_BIT);
  // Copied pixels pass through texturing and the depth test like any fragment.
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glViewport(0, 0, target.width(), target.height());
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glRasterPos2f(-1.0f, -1.0f);  // the bottom-left pixel
  glReadBuffer(GL_BACK);
  glDrawBuffer(GL_FRONT);
  glCopyPixels(0, 0, target.width(), target.height(), GL_COLOR);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
  glFlush();
}

class WindowDc {
 public:
  explicit WindowDc(HWND w) : window_(w), dc_(GetDC(w)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A top-level window of ours: OpenGL draws into it.
class DirectPresenter final : public Presenter {
 public:
  DirectPresenter(HWND w, const FramebufferFunctions& fn)
      : window_(w), dc_(w), fn_(fn) {}
  PresenterKind kind() const override { return PresenterKind::Direct; }
  HDC contextDc() const override { return dc_.get(); }
  SIZE windowSize() const override { return ClientSize(window_); }
  bool FitSurface(SIZE, GlContext&) override { return true; }  // the window is the size
  bool Present(const RenderTarget& target) override {
    if (!IsWindow(window_)) return false;
    if (target.usesWindowBuffer())
      ShowBackBuffer(dc_.get(), target, swap_);
    else if (fn_.blitFramebuffer)
      BlitAndSwap(fn_, target, dc_.get(), windowSize());
    else
      CopyWithGdi(window_, target, pixels_);
    return true;
  }

 private:
  HWND window_;
  WindowDc dc_;
  const FramebufferFunctions& fn_;
  SwapKind swap_;
  std::vector<uint8_t> pixels_;
};

// A window that exists only to carry a context (and, without framebuffer objects, the
// back buffer the picture is drawn into): never shown.
class HiddenSurface {
 public:
  explicit HiddenSurface(SIZE size = {1, 1}) : size_(size) {
    if (RegisterSurfaceClass())
      window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kHelperClass, "", WS_POPUP, 0, 0, size.cx, size.cy, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window_) dc_ = GetDC(window_);
  }
  ~HiddenSurface() {
    if (dc_) ReleaseDC(window_, dc_);
    if (window_) DestroyWindow(window_);
  }
  HiddenSurface(const HiddenSurface&) = delete;
  HiddenSurface& operator=(const HiddenSurface&) = delete;
  HDC dc() const { return dc_; }
  SIZE size() const { return size_; }

 private:
  SIZE size_;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

// A hidden window's back buffer keeps the size the window was made with, whatever
// SetWindowPos does later (measured under Wine): a picture that outgrows it gets a new,
// larger window, and the context moves there with all its objects.
bool GrowSurface(std::unique_ptr<HiddenSurface>& surface, SIZE need, GlContext& context) {
  const SIZE have = surface->size();
  if (need.cx <= have.cx && need.cy <= have.cy) return true;
  auto larger = std::make_unique<HiddenSurface>(SIZE{std::max(need.cx, have.cx), std::max(need.cy, have.cy)});
  if (!larger->dc() || !context.MoveTo(larger->dc())) return false;
  surface = std::move(larger);
  return true;
}

// A child window of a window of this process (or any child on Windows): rendered off
// screen on a hidden window (into a framebuffer object, or else that window's back
// buffer), read back and copied in with GDI.
class ChildCopyPresenter final : public Presenter {
 public:
  explicit ChildCopyPresenter(HWND child) : child_(child), surface_(std::make_unique<HiddenSurface>()) {}
  PresenterKind kind() const override { return PresenterKind::ChildCopy; }
  HDC contextDc() const override { return surface_->dc(); }
  SIZE windowSize() const override { return ClientSize(child_); }
  bool FitSurface(SIZE size, GlContext& context) override { return GrowSurface(surface_, size, context); }
  bool Present(const RenderTarget& target) override {
    if (!IsWindow(child_)) return false;
    CopyWithGdi(child_, target, pixels_);
    return true;
  }

 private:
  HWND child_;
  std::unique_ptr<HiddenSurface> surface_;
  std::vector<uint8_t> pixels_;
};

// A child window inside another process's window, which Wine never paints: a borderless
// popup owned by that process's top-level window covers the child's screen rectangle,
// follows it on every frame, and goes away with it. The child stays the logical window.
class OwnedPopupPresenter final : public Presenter {
 public:
  OwnedPopupPresenter(HWND child, const FramebufferFunctions& fn) : child_(child), fn_(fn) {
    if (!RegisterSurfaceClass()) return;
    HWND owner = GetAncestor(child, GA_ROOT);
    const RECT r = ChildScreenRect();
    popup_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kHelperClass, "", WS_POPUP, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!popup_) return;
    placed_ = r;
    dc_ = GetDC(popup_);
    if (IsWindowVisible(child_)) ShowWindow(popup_, SW_SHOWNOACTIVATE);
  }
  ~OwnedPopupPresenter() override { Close(); }
  bool ok() const { return popup_ && dc_; }
  HWND popup() const { return popup_; }
  PresenterKind kind() const override { return PresenterKind::OwnedPopup; }
  HDC contextDc() const override { return dc_; }
  SIZE windowSize() const override { return ClientSize(child_); }
  // The popup is the surface: it takes the child's size before the picture is drawn.
  bool FitSurface(SIZE, GlContext&) override {
    if (popup_ && IsWindow(child_)) Follow();
    return popup_ != nullptr;
  }

  bool Present(const RenderTarget& target) override {
    if (!popup_) return false;
    if (!IsWindow(child_)) {
      Close();
      return false;
    }
    Follow();
    if (!IsWindowVisible(popup_)) return true;
    if (target.usesWindowBuffer())
      ShowBackBuffer(dc_, target, swap_);
    else if (fn_.blitFramebuffer)
      BlitAndSwap(fn_, target, dc_, ClientSize(popup_));
    else
      CopyWithGdi(popup_, target, pixels_);
    return true;
  }

 private:
  RECT ChildScreenRect() const {
    RECT r{};
    GetClientRect(child_, &r);
    MapWindowPoints(child_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  void Follow() {
    const RECT r = ChildScreenRect();
    if (!EqualRect(&r, &placed_)) {
      SetWindowPos(popup_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOOWNERZORDER);
      placed_ = r;
    }
    const bool shown = IsWindowVisible(child_) != FALSE;
    if (shown != (IsWindowVisible(popup_) != FALSE)) ShowWindow(popup_, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
  }
  void Close() {
    if (dc_) ReleaseDC(popup_, dc_);
    if (popup_) DestroyWindow(popup_);
    dc_ = nullptr;
    popup_ = nullptr;
  }
  HWND child_;
  const FramebufferFunctions& fn_;
  HWND popup_ = nullptr;
  HDC dc_ = nullptr;
  SwapKind swap_;
  RECT placed_{};
  std::vector<uint8_t> pixels_;
};

// No window: the picture stays in the render target for reading back.
class OffscreenPresenter final : public Presenter {
 public:
  OffscreenPresenter() : surface_(std::make_unique<HiddenSurface>()) {}
  PresenterKind kind() const override { return PresenterKind::Offscreen; }
  HDC contextDc() const override { return surface_->dc(); }
  SIZE windowSize() const override { return {0, 0}; }
  bool FitSurface(SIZE size, GlContext& context) override { return GrowSurface(surface_, size, context); }
  bool Present(const RenderTarget&) override { return true; }

 private:
  std::unique_ptr<HiddenSurface> surface_;
};

}  // namespace

bool RunningOnWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

WindowFacts DescribeWindow(HWND window) {
  WindowFacts f;
  f.exists = window && IsWindow(window);
  if (!f.exists) return f;
  f.isChild = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0;
  f.onWine = RunningOnWine();
  if (f.isChild) {
    HWND parent = GetAncestor(window, GA_PARENT);
    DWORD parentProcess = 0;
    GetWindowThreadProcessId(parent, &parentProcess);
    f.parentInOtherProcess = parentProcess != GetCurrentProcessId();
  }
  return f;
}

std::unique_ptr<Presenter> MakePresenter(PresenterKind kind, HWND window, const FramebufferFunctions& fn,
                                         std::string* error) {
  std::unique_ptr<Presenter> p;
  switch (kind) {
    case PresenterKind::Direct: p = std::make_unique<DirectPresenter>(window, fn); break;
    case PresenterKind::ChildCopy: p = std::make_unique<ChildCopyPresenter>(window); break;
    case PresenterKind::OwnedPopup: {
      auto popup = std::make_unique<OwnedPopupPresenter>(window, fn);
      if (popup->ok()) p = std::move(popup);
      break;
    }
    case PresenterKind::Offscreen: p = std::make_unique<OffscreenPresenter>(); break;
  }
  if (!p || !p->contextDc()) {
    if (error) *error = "no window for the OpenGL context";
    return nullptr;
  }
  return p;
}

}  // namespace prismora::gl
