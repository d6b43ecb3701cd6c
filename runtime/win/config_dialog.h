// The screen saver's settings dialog: speed, erase background, background colour, a test
// run, and links to the author's website through the product site.
#pragma once
#include <windows.h>

#include <string>

#include "platform/process.h"
#include "platform/seams.h"

namespace prismora::runtime {

inline constexpr int kConfigDialogId = 2003;
inline constexpr int kHandCursorId = 109;
inline constexpr int kAboutIconId = 139;

// Control ids of the dialog template.
namespace ctl {
inline constexpr int Title = 1039, AuthorLabel = 1036, Author = 1033, EmailLabel = 1037, Email = 1035,
                     AboutIcon = 1040, Website = 1011, MinLabel = 1003, MaxLabel = 1044, Speed = 1001,
                     Light = 1005, Erase = 1012, ColourSample = 1025, SelectColour = 1022, Preview = 1017;
}

struct ConfigSeams {
  platform::ColorDialogs& colours;
  platform::Shell& shell;
  platform::ProcessLauncher& launcher;
  std::string programPath;  // whose trailer and settings key the dialog edits
  // Why no OpenGL context can be made on this machine; empty when one can. When set,
  // the dialog tells the user through `boxes` once it is open.
  std::string drawingProblem;
  platform::MessageBoxes* boxes = nullptr;
};

// Runs the dialog modally over `owner` (may be null); returns IDOK or IDCANCEL.
INT_PTR RunConfigDialog(HWND owner, ConfigSeams& seams);

}  // namespace prismora::runtime
