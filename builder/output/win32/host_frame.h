// TFrame7: the black frame a template preview plays in. It covers the photo preview in
// PanelPreview; its Panel1 is the parent of the runtime's preview window, and
// destroying the frame is how the builder ends a preview.
#pragma once
#include <windows.h>

namespace prismora::output {

inline constexpr const char* kOldPlatformPreviewText = "Preview is not accessible in Windows 98.";

class TFrame7 {
 public:
  TFrame7(HWND previewPanel, bool oldPlatform);
  ~TFrame7();
  TFrame7(const TFrame7&) = delete;
  TFrame7& operator=(const TFrame7&) = delete;

  HWND Frame() const { return frame_; }
  HWND Panel1() const { return panel1_; }
  HWND Label1() const { return label1_; }

 private:
  HWND frame_ = nullptr, panel1_ = nullptr, label1_ = nullptr;
};

}  // namespace prismora::output
