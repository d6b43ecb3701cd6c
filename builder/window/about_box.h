// TAboutBox: product name, version and web address over the logo; shown modally from
// the Help menu.
#pragma once
#include <string_view>

#include "platform/seams.h"
#include "platform/win32/wingui/layout.h"
#include "platform/win32/wingui/window.h"

namespace prismora::window {

inline constexpr std::string_view kProductVersion = "1.4";
inline constexpr std::string_view kProductUrl = "http://www.prismora.example";

class TAboutBox : public wingui::Window {
 public:
  enum Id : int { OKButton = IDOK, Panel1 = 200, ProgramIcon, ProductName, Version, URL };

  explicit TAboutBox(platform::Shell& shell) : shell_(shell) {}
  bool Create(HWND owner);
  const wingui::Controls& Controls() const { return c_; }

  void OKButtonClick() { EndModal(IDOK); }
  void URLClick();

 protected:
  void OnCommand(int id, int code, HWND control) override;
  bool OnClose() override;
  HBRUSH OnControlColor(HDC dc, HWND control) override;

 private:
  platform::Shell& shell_;
  wingui::Controls c_;
};

// Windows the builder makes at start and shows only when needed.

// TFormPreviewScreen: a borderless stay-on-top window that is created and never shown.
class TFormPreviewScreen : public wingui::Window {
 public:
  bool Create();
};

}  // namespace prismora::window
