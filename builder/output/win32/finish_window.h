// TFormFinishCompile: the modeless window that reports a finished build and offers to
// run the new setup program.
#pragma once
#include <string>

#include "platform/process.h"
#include "platform/seams.h"
#include "platform/win32/wingui/layout.h"
#include "platform/win32/wingui/window.h"

namespace prismora::output {

class TFormFinishCompile : public wingui::Window {
 public:
  enum ControlId : int {
    LabelCongratulations = 1,
    LabelScreensaver_is_created,
    Memo1,
    ButtonTest,
    ButtonExit,
  };

  TFormFinishCompile(platform::ProcessLauncher& launcher, platform::MessagePump& pump)
      : launcher_(launcher), pump_(pump) {}
  ~TFormFinishCompile() override {
    if (bold_) DeleteObject(bold_);
  }
  bool Create(HWND owner);

  // Puts the summary into the memo and shows the window (again, if it is open).
  void ShowSummary(const std::string& summary, const std::string& setupPath);
  std::string Summary() const;
  const wingui::Controls& Controls() const { return c_; }

  void ButtonTestClick();
  void ButtonExitClick();

 protected:
  void OnCreated() override;
  void OnCommand(int id, int code, HWND control) override;
  bool OnClose() override;

 private:
  platform::ProcessLauncher& launcher_;
  platform::MessagePump& pump_;
  wingui::Controls c_;
  std::string setupPath_;
  HFONT bold_ = nullptr;
};

}  // namespace prismora::output
