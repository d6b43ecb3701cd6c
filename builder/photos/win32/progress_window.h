// TFormProgressPictureConvert: the small window both photo runs show while they work.
// Created once when the builder starts, hidden between runs; it has no close box, so
// a run cannot be interrupted half-way.
#pragma once
#include <windows.h>

#include <string>

#include "builder/photos/photo_runs.h"

namespace prismora::photos {

inline constexpr const char* kProgressCaption = "Prepare photos. Please wait.";
inline constexpr const char* kProgressWindowClass = "TFormProgressPictureConvert";

class ProgressPictureConvertWindow final : public ProgressUi {
 public:
  // Layout ids of the child controls.
  enum ControlId : int { kLabel = 101, kProgressBar = 102, kCancel = 103 };

  ProgressPictureConvertWindow() = default;
  ~ProgressPictureConvertWindow() override;
  ProgressPictureConvertWindow(const ProgressPictureConvertWindow&) = delete;
  ProgressPictureConvertWindow& operator=(const ProgressPictureConvertWindow&) = delete;

  // Creates the window hidden, centred on the desktop. False when the platform refuses.
  bool Create(HINSTANCE instance, HWND owner = nullptr);
  HWND Handle() const { return hwnd_; }
  HWND Child(ControlId id) const { return GetDlgItem(hwnd_, id); }

  void Show() override;
  void Hide() override;
  void SetRange(int minimum, int maximum) override;
  void SetPosition(int position) override;
  void SetLabel(const std::string& text) override;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  // Named handlers; the window procedure only dispatches to them.
  void FormCreate();
  bool FormCloseQuery() { return false; }  // the user cannot close it

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace prismora::photos
