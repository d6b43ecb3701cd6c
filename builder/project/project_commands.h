// Save Project, Open Project and the auto-save at start and close, over the platform
// seams. The window reads its controls into a ProjectSettings, calls one of these and
// puts the result back into its controls (in the read order of the project file: texts,
// licence, colours, wizard pictures, photo list, combo indices, erase flag).
#pragma once
#include <string>
#include <string_view>

#include "builder/project/folders.h"
#include "builder/project/network_gate.h"
#include "builder/project/project_file.h"
#include "common/code_page.h"
#include "platform/seams.h"

namespace prismora::project {

// The title as a file name the save dialog accepts: each character that file names
// forbid (\ / : * ? " < > |) becomes "_". A dialog given any of them would refuse the
// name and nothing would happen. Characters of two bytes stay whole, whatever their
// second byte.
std::string ProjectFileNameFor(const std::string& title, const text::LeadBytes& lead = text::LeadBytes());

// The options both project dialogs run with.
platform::FileDialogOptions SaveProjectDialogOptions(const ProjectSettings& s,
                                                     const text::LeadBytes& lead = text::LeadBytes());
platform::FileDialogOptions OpenProjectDialogOptions();

// The warning shown when the photo list did not fit in the project file.
std::string PhotosNotSavedText(int count);
// The warning shown when a project's companion file is missing or does not match it.
std::string CompanionMissingText(const std::string& companionPath, std::size_t photosKept);
inline constexpr std::string_view kWarningCaption = "Warning!";
inline constexpr std::string_view kErrorCaption = "Error";
std::string ProjectNotWrittenText(const std::string& path);

// Menu "&Save Project": the dialog proposes the title as file name; on OK the record is
// written. A photo list that did not fit is reported in a warning box, a failed write in
// an error box. Cancel does nothing (result not written, nothing shown).
SaveResult SaveProjectCommand(platform::WindowHandle owner, const ProjectSettings& s,
                              platform::FileDialogs& dialogs, platform::FileSystem& fs,
                              platform::MessageBoxes& boxes,
                              const text::LeadBytes& lead = text::LeadBytes());

enum class OpenOutcome { Cancelled, Read, Unreadable };

// Menu "&Open Project": on OK the chosen file replaces the stored settings in `s`
// (Read), or, when it cannot be read, only the template and fitting indices are reset
// (Unreadable). Cancelled leaves `s` untouched. A missing companion file is named in a
// warning box; the project opens with the photos its record holds.
OpenOutcome OpenProjectCommand(platform::WindowHandle owner, ProjectSettings& s,
                               platform::FileDialogs& dialogs, platform::FileSystem& fs,
                               platform::MessageBoxes& boxes);

// Opening a project file by path (a file given to the builder), with the same warning.
ReadResult OpenProjectPath(platform::WindowHandle owner, const std::string& path,
                           ProjectSettings& s, platform::FileSystem& fs,
                           platform::MessageBoxes& boxes);

// Start-up, before the auto-save is read: an auto-save left in the program folder by an
// earlier builder is copied into the user folder when that has none (AutoSaveTakeOver).
// True when one was taken over; a copy that fails leaves the user folder as it was.
bool TakeOverOldAutoSave(const BuilderFolders& folders, platform::FileSystem& fs);

// Start-up: reads "AutoSave.pmj" (and its companion) from `folder` (the user folder) into
// `s`, with the same warning when the companion is missing.
bool LoadAutoSave(platform::WindowHandle owner, std::string_view folder, ProjectSettings& s,
                  platform::FileSystem& fs, platform::MessageBoxes& boxes);

// Closing: writes "AutoSave.pmj" first; when photos did not fit, a warning box says so
// before the window goes. A failed write is silent (the previous auto-save survives).
SaveResult WriteAutoSave(platform::WindowHandle owner, std::string_view folder,
                         const ProjectSettings& s, platform::FileSystem& fs,
                         platform::MessageBoxes& boxes,
                         const text::LeadBytes& lead = text::LeadBytes());

// What a project just read may open, decided before anything of it is opened. Device
// paths leave the photo list and the wizard picture fields, named in one error box. The
// computers its network paths name that the user has not allowed yet are named in one
// "Warning!" question (No the default button): Yes allows them, No holds them back, so their paths stay in the
// list and are saved as they were but nothing opens them.
struct PathScreening {
  std::vector<std::string> devicePaths;   // taken out
  std::vector<std::string> askedHosts;    // named in the question (none: not asked)
  bool allowed = false;                   // the answer was Yes
};
PathScreening ScreenProjectPaths(platform::WindowHandle owner, ProjectSettings& s, NetworkGate& gate,
                                 platform::MessageBoxes& boxes);

}  // namespace prismora::project
