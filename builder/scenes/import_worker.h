// Importing a scene without freezing the window: the import runs on a thread of its
// own while the window's thread keeps handling its messages, and when it takes more
// than a moment a progress window says so until it ends. The window's own commands are
// the caller's to hold back meanwhile (the main window's busy state).
#pragma once
#include <functional>
#include <string_view>

#include "builder/scenes/template_import.h"
#include "platform/seams.h"

namespace prismora::scenes {

// What the user sees while a long import runs.
struct ImportProgress {
  virtual ~ImportProgress() = default;
  virtual void Show(std::string_view text) = 0;
  virtual void Hide() = 0;
};

inline constexpr std::string_view kImportProgressText = "Importing the scene. Please wait.";
// Quicker imports show no progress at all; the window only stays responsive.
inline constexpr int kImportProgressDelayMs = 300;
// How long the window's thread waits, handling messages, between looks at the import.
inline constexpr int kImportPollMs = 20;

// Runs `import` on a worker thread and returns its outcome. The progress is shown once
// the waits have added up to the delay, and hidden on every way out. An exception on
// the worker becomes a failed outcome (out of memory said as such), never a terminated
// program.
ImportOutcome ImportWhileResponsive(const std::function<ImportOutcome()>& import, platform::MessagePump& pump,
                                    ImportProgress& progress);

}  // namespace prismora::scenes
