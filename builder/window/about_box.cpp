#include "builder/window/about_box.h"

#include "builder/window/art_ids.h"

namespace prismora::window {

namespace {
using wingui::Kind;
using namespace wingui;  // flags

// Children of Panel1 sit 8, 8 further in than their panel positions (window coordinates).
constexpr ControlRow kAboutLayout[] = {
    {TAboutBox::Panel1, Kind::Panel, 0, {8, 8, 281, 137}, "", kInnerRaised | kOuterLowered},
    {TAboutBox::ProgramIcon, Kind::Image, TAboutBox::Panel1, {64, 16, 170, 74}, "", kStretch, nullptr,
     ART_LOGO},
    {TAboutBox::ProductName, Kind::Label, TAboutBox::Panel1, {96, 104, 90, 13}, "Prismora Builder", kAutoSize},
    {TAboutBox::Version, Kind::Label, TAboutBox::Panel1, {184, 104, 30, 13}, "", kAutoSize},
    {TAboutBox::URL, Kind::Label, TAboutBox::Panel1, {72, 120, 200, 13}, "", kHandCursor | kBlueText},
    {TAboutBox::OKButton, Kind::Button, 0, {111, 156, 75, 25}, "OK", kDefaultButton},
};
}  // namespace

bool TAboutBox::Create(HWND owner) {
  wingui::WindowStyle style;
  style.className = "TAboutBox";
  style.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  style.exStyle = WS_EX_DLGMODALFRAME;
  style.owner = owner;
  style.clientWidth = 298;
  style.clientHeight = 188;
  if (!Window::Create(style, "About")) return false;
  c_ = wingui::BuildLayout(Handle(), kAboutLayout);
  c_.Get<wingui::Label>(Version).SetText(std::string(kProductVersion));
  c_.Get<wingui::Label>(URL).SetText(std::string(kProductUrl));
  return true;
}

void TAboutBox::URLClick() { shell_.Open(c_.Get<wingui::Label>(URL).Text()); }

void TAboutBox::OnCommand(int id, int code, HWND) {
  if (id == OKButton || id == IDCANCEL) OKButtonClick();
  if (id == URL && code == STN_CLICKED) URLClick();
}

bool TAboutBox::OnClose() {
  EndModal(IDCANCEL);
  return false;  // hidden, kept for the next time
}

HBRUSH TAboutBox::OnControlColor(HDC dc, HWND control) {
  if (wingui::Control(control).Flags() & wingui::kBlueText) SetTextColor(dc, RGB(0, 0, 128));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

bool TFormPreviewScreen::Create() {
  wingui::WindowStyle style;
  style.className = "TFormPreviewScreen";
  style.style = WS_POPUP;
  style.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  style.clientWidth = 320;
  style.clientHeight = 240;
  return Window::Create(style, "");
}

}  // namespace prismora::window
