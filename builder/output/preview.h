// The two preview commands: the template preview that plays inside the main window and
// the screen saver preview that opens the preview file's own settings dialog. The
// sequence lives here; the window supplies each step.
#pragma once
#include <cstdint>
#include <string>

namespace prismora::output {

inline constexpr const char* kPreviewFileName = "preview.scr";
inline constexpr const char* kPreviewStem = "preview";
inline constexpr const char* kPreviewSettingsKey = "SOFTWARE\\Prismora Builder\\Screen Savers\\preview";
inline constexpr const char* kTooFewPhotos = "Please firstly add at least two photos";

// "<system folder>\preview\"; the system folder as the platform reports it.
std::string PreviewPhotoFolder(const std::string& systemFolder);

// The path is quoted so that a builder folder with blanks still reaches the runtime's
// mode letter.
std::string TemplatePreviewCommand(const std::string& previewPath, uintptr_t hostWindow);
std::string ScreenSaverPreviewCommand(const std::string& previewPath);
// The preview file running full screen, as the settings dialog's Preview starts it.
std::string ScreenSaverShowCommand(const std::string& previewPath);

struct PreviewSteps {
  virtual ~PreviewSteps() = default;
  virtual int PhotoCount() = 0;
  // The "at least two photos" warning, then the add-photos dialog.
  virtual void WarnTooFewPhotosThenAdd() = 0;
  virtual void StopTemplatePreview() = 0;
  // Places a new black host frame in the preview panel; returns its panel's window.
  virtual uintptr_t CreateHostFrame() = 0;
  virtual void DeletePreviewSettingsKey() = 0;
  // Copies the chosen template to `target` with the project's record (preview flag set).
  virtual bool AssemblePreviewFile(const std::string& target) = 0;
  // Writes preview0.bmp ... into `folder`; false when a photo could not be prepared.
  virtual bool PreparePhotos(const std::string& folder, const std::string& stem) = 0;
  virtual bool IsOldPlatform() = 0;
  virtual void StartProcess(const std::string& commandLine) = 0;
};

struct PreviewContext {
  std::string builderFolder;  // ends in a backslash
  std::string systemFolder;   // no trailing backslash
  bool& previewPhotosReady;
};

// Each returns whether a runtime process was started.
bool RunTemplatePreview(PreviewSteps& steps, PreviewContext ctx);
bool RunScreenSaverPreview(PreviewSteps& steps, PreviewContext ctx);
// The screen saver preview without its settings dialog: straight to full screen (the
// command line's /show).
bool RunScreenSaverShow(PreviewSteps& steps, PreviewContext ctx);

}  // namespace prismora::output
