// Making a screen saver file: a template copy with the builder record appended.
#pragma once
#include <string>
#include <string_view>

#include "builder/project/settings.h"
#include "common/trailer.h"
#include "platform/seams.h"

namespace prismora::output {

// The builder record of the project as the runtime will read it.
trailer::BuilderRecord RecordFor(const project::ProjectSettings& s, bool preview,
                                 const text::LeadBytes& lead = text::LeadBytes());

struct AssemblySeams {
  platform::FileSystem& files;
  platform::MessageBoxes& boxes;
  platform::MessagePump& pump;
  platform::WindowHandle owner = nullptr;
};

// Pause between copy attempts while an earlier preview still runs from the target, and
// how long the preview variant waits in all: a preview ends within moments of its window
// going away, so a target still in use after that is held by something else.
inline constexpr int kPreviewRetryPauseMs = 50;
inline constexpr int kPreviewInUseWaitMs = 5000;

// Preview variant: while another program holds the target, waits (handling window
// messages) up to kPreviewInUseWaitMs for it to let go; a target that cannot be written
// for any other reason (read-only, disk full), or one still held after the wait, gives
// the CopyFailedMessage box at once.
bool AssemblePreviewScreenSaver(AssemblySeams seams, const std::string& templatePath,
                                const trailer::BuilderRecord& record, const std::string& target);

// Build variant: gives up with a message when the target cannot be replaced.
bool AssembleBuildScreenSaver(AssemblySeams seams, const std::string& templatePath,
                              const trailer::BuilderRecord& record, const std::string& target);

std::string MissingTemplateMessage(const std::string& templatePath);
std::string TargetBusyMessage(const std::string& target);
std::string AppendFailedMessage(const std::string& target);
// The preview variant's box: the file and the system's reason (or a plain one).
std::string CopyFailedMessage(const std::string& target, const platform::CopyOutcome& copy);

}  // namespace prismora::output
