// The names, folders and command lines of the two preview commands (the template
// preview that plays inside the main window and the screen saver preview that opens the
// preview file's own settings dialog), and whether the preview photos are current.
#pragma once
#include <cstdint>
#include <string>

namespace prismora::output {

inline constexpr const char* kPreviewFileName = "preview.scr";
inline constexpr const char* kPreviewStem = "preview";
inline constexpr const char* kPreviewSettingsKey = "SOFTWARE\\Prismora Builder\\Screen Savers\\preview";
inline constexpr const char* kTooFewPhotos = "Please firstly add at least two photos";

// The path is quoted so that a builder folder with blanks still reaches the runtime's
// mode letter.
std::string TemplatePreviewCommand(const std::string& previewPath, uintptr_t hostWindow);
std::string ScreenSaverPreviewCommand(const std::string& previewPath);
// The preview file running full screen, as the settings dialog's Preview starts it.
std::string ScreenSaverShowCommand(const std::string& previewPath);

// PreviewPhotosReady: whether the preview photo bitmaps match the photo list and the
// fitting. Every change clears it. A photo run lets messages through, so the user may
// change the list while it runs; the run therefore notes the stamp at its start and marks
// the photos current only if it succeeded and nothing changed since.
class PreviewPhotos {
 public:
  bool Ready() const { return ready_; }
  void Changed() {
    ready_ = false;
    ++changes_;
  }
  uint32_t Stamp() const { return changes_; }
  // A run that began at `stamp` wrote every bitmap.
  void Prepared(uint32_t stamp) {
    if (stamp == changes_) ready_ = true;
  }

 private:
  bool ready_ = false;
  uint32_t changes_ = 0;
};

}  // namespace prismora::output
