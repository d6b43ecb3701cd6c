#include "builder/output/win32/finish_window.h"

namespace prismora::output {
using namespace wingui;

namespace {
// Outer size 307 × 213 with a caption: the client area is what the frame leaves.
constexpr int kOuterWidth = 307, kOuterHeight = 213;

constexpr ControlRow kFinishLayout[] = {
    {TFormFinishCompile::LabelCongratulations, Kind::Label, 0, {16, 10, 260, 20}, "Congratulations!", kBold},
    {TFormFinishCompile::LabelScreensaver_is_created, Kind::Label, 0, {16, 32, 260, 14}, "Screensaver is created."},
    {TFormFinishCompile::Memo1, Kind::Memo, 0, {16, 52, 267, 74}, ""},
    {TFormFinishCompile::ButtonTest, Kind::Button, 0, {120, 136, 75, 25}, "Test", kTabStop},
    {TFormFinishCompile::ButtonExit, Kind::Button, 0, {208, 136, 75, 25}, "Exit", kTabStop | kDefaultButton},
};
}  // namespace

bool TFormFinishCompile::Create(HWND owner) {
  WindowStyle style;
  style.className = "TFormFinishCompile";
  style.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  style.owner = owner;
  RECT r{0, 0, kOuterWidth, kOuterHeight};
  // Client size from the outer size, whatever the frame metrics are.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style.style, FALSE, 0);
  style.clientWidth = (r.right - r.left) - (frame.right - frame.left);
  style.clientHeight = (r.bottom - r.top) - (frame.bottom - frame.top);
  return Window::Create(style, "Finish");
}

void TFormFinishCompile::OnCreated() {
  c_ = BuildLayout(Handle(), Layout(kFinishLayout));
  HWND memo = c_[Memo1];
  SendMessageA(memo, EM_SETREADONLY, TRUE, 0);
  // "Congratulations!" in bold, 16 pixels high.
  LOGFONTA lf{};
  GetObjectA(DialogFont(), sizeof lf, &lf);
  lf.lfHeight = -16;
  lf.lfWeight = FW_BOLD;
  bold_ = CreateFontIndirectA(&lf);
  SendMessageA(c_[LabelCongratulations], WM_SETFONT, WPARAM(bold_), TRUE);
}

void TFormFinishCompile::ShowSummary(const std::string& summary, const std::string& setupPath) {
  setupPath_ = setupPath;
  Control(c_[Memo1]).SetText(summary);
  Show(SW_SHOW);
  SetForegroundWindow(Handle());
}

std::string TFormFinishCompile::Summary() const { return Control(c_[Memo1]).Text(); }

void TFormFinishCompile::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return;
  if (id == ButtonTest) ButtonTestClick();
  if (id == ButtonExit || id == IDCANCEL) ButtonExitClick();
}

void TFormFinishCompile::ButtonTestClick() {
  // Started by the shell: a path with blanks cannot start another program, and a setup
  // program that asks for administrator rights gets its prompt.
  launcher_.StartProgramFile(setupPath_);
  pump_.RunPending();
  Hide();
  pump_.RunPending();
}

void TFormFinishCompile::ButtonExitClick() { Hide(); }

bool TFormFinishCompile::OnClose() {
  Hide();  // lives as long as the program
  return false;
}

}  // namespace prismora::output
