// A top-level window whose window procedure only dispatches: each message the
// program cares about goes to a named virtual handler, so the behaviour lives in
// ordinary member functions and the procedure holds no logic.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace prismora::wingui {

// Messages the generic controls send to their top-level window.
enum : UINT {
  kMsgControlMouseMove = WM_APP + 1,  // wParam: control id
  kMsgControlWheel = WM_APP + 2,      // wParam: control id; returns 1 when handled
};

// Exceptions must not leave a window procedure. The one that reaches the procedure is
// handed to this reporter, and the message loop goes on.
using ErrorReporter = std::function<void(HWND owner, const std::string& text)>;
void SetErrorReporter(ErrorReporter reporter);
void ReportError(HWND owner, const std::string& text);

struct WindowStyle {
  const char* className = "PrismoraWindow";
  DWORD style = WS_OVERLAPPEDWINDOW;
  DWORD exStyle = 0;
  HWND owner = nullptr;
  HICON icon = nullptr;
  HICON smallIcon = nullptr;
  HBRUSH background = nullptr;  // null: the button-face colour
  int clientWidth = 0, clientHeight = 0;
  bool centred = true;
};

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }
  bool Create(const WindowStyle& style, const std::string& caption);
  void Show(int how = SW_SHOW);
  void Hide() { ShowWindow(hwnd_, SW_HIDE); }
  bool Visible() const { return IsWindowVisible(hwnd_) != FALSE; }
  void Close() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }
  // Shows the window modally over `owner` until EndModal; returns the result given.
  int ShowModal(HWND owner);
  void EndModal(int result);

 protected:
  // Named handlers. The defaults do what the platform does.
  virtual void OnCreated() {}
  virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
  virtual void OnPaint(HDC /*dc*/, const PAINTSTRUCT& /*ps*/) {}
  virtual void OnMouseMove(int /*x*/, int /*y*/) {}
  virtual void OnControlMouseMove(int /*id*/) {}
  // True when the wheel turn is used up and the control must not see it.
  virtual bool OnControlWheel(int /*id*/) { return false; }
  // True lets the window close.
  virtual bool OnClose() { return true; }
  virtual void OnDestroy() {}
  // Colours of static and edit children; null keeps the platform's.
  virtual HBRUSH OnControlColor(HDC /*dc*/, HWND /*control*/) { return nullptr; }
  virtual LRESULT OnNotify(NMHDR* /*header*/) { return 0; }
  virtual bool OnDrawItem(DRAWITEMSTRUCT* /*item*/) { return false; }
  virtual bool OnMeasureItem(MEASUREITEMSTRUCT* /*item*/) { return false; }
  virtual int OnListKey(int /*virtualKey*/, HWND /*list*/) { return -1; }
  virtual void OnEndSession() {}
  // Everything else; the default goes to the platform.
  virtual LRESULT OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp);

 public:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
 private:
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

  HWND hwnd_ = nullptr;
  bool modal_ = false;
  int modalResult_ = 0;
};

// Runs the program's message loop until WM_QUIT; returns the quit code.
int RunMessageLoop();

// Lets every waiting message run (used by tests and long operations).
void RunPendingMessages();

}  // namespace prismora::wingui
