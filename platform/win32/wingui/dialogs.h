// The platform's common dialogs and shell behind the seams of platform/seams.h.
#pragma once
#include <windows.h>

#include <functional>

#include "platform/seams.h"
#include "platform/win32/wingui/surface.h"

namespace prismora::wingui {

// Draws the picture at `path` fitted into `pane` (already sized), for the preview pane
// of an open-picture dialog; false when the file is not a picture it can show.
using PicturePreviewer = std::function<bool(const std::string& path, Surface& pane)>;

class CommonDialogs final : public platform::FileDialogs, public platform::ColorDialogs {
 public:
  explicit CommonDialogs(PicturePreviewer previewer = {}) : previewer_(std::move(previewer)) {}
  // The chosen files by the names the builder keeps them under (StoredPathFor); a file
  // that has none ends the command with an error naming it.
  std::vector<std::string> Open(platform::WindowHandle owner,
                                const platform::FileDialogOptions& options) override;
  std::vector<std::string> OpenUnicode(platform::WindowHandle owner,
                                       const platform::FileDialogOptions& options) override;
  std::optional<std::string> Save(platform::WindowHandle owner,
                                  const platform::FileDialogOptions& options) override;
  std::optional<uint32_t> Choose(platform::WindowHandle owner, uint32_t initial) override;

  const PicturePreviewer& Previewer() const { return previewer_; }

 private:
  PicturePreviewer previewer_;
  COLORREF custom_[16] = {};  // the dialog's custom colours, kept for the program's run
};

class ShellOpener final : public platform::Shell {
 public:
  void Open(const std::string& target) override;
};

// "Description|*.a;*.b|..." as the double-NUL list the dialogs take.
std::string DialogFilter(const std::string& filter);

// The files of a multiple-selection result: a folder followed by names, or one path.
std::vector<std::string> SplitMultiSelection(const char* buffer);

}  // namespace prismora::wingui
