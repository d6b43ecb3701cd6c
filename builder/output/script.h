// The installer script: the text the Inno Setup compiler turns into setup.exe (which also
// makes the installed screen saver the active one), and the check that a title can safely
// become file names and script lines.
#pragma once
#include <cstddef>
#include <optional>
#include <string>

#include "builder/output/assets.h"
#include "builder/project/settings.h"
#include "common/code_page.h"
#include "platform/seams.h"

namespace prismora::output {

struct ScriptInputs {
  std::string title;   // as typed, blanks included
  std::string folder;  // where the build files are (the user folder), ending in a backslash
  bool licenseEnabled = true;
  int photoCount = 0;
  std::string converterFolder;  // where pixolve.exe ships (the program folder), ending in a backslash
};

// The whole script, lines joined with CR LF and no line break after the last one.
std::string SetupScriptText(const ScriptInputs& in);

// What is saved as «title».iss: the text as the only line of a line list, so one CR LF
// follows it.
std::string SetupScriptFile(const std::string& text);

// The script for the project, after writing license.txt when the licence page is on.
// Nothing when the licence file cannot be written; `error` then says why.
std::optional<std::string> BuildSetupScript(const project::ProjectSettings& settings,
                                            const std::string& folder, const std::string& converterFolder,
                                            platform::FileSystem& files, std::string& error);

// The longest title the builder record holds whole. A longer one would be cut there while
// the script and the file names keep it, and the installed screen saver would look for
// its photos in a folder that does not exist.
inline constexpr std::size_t kMaxTitleBytes = 99;

// Why a title cannot be built, or nothing when it can. The title becomes file and folder
// names and script lines, so characters that Windows file names forbid, control
// characters (a line break would add installer lines), "{" (it would start an installer
// constant) and ";" (it would end the unquoted DestName and Parameters values) are refused,
// and so are titles longer than the record holds, titles ending in a blank or a dot
// (Windows drops those from names) and the reserved device names. Leading blanks are
// allowed and kept.
// The title is checked character by character in the code page whose lead bytes are
// given: the second byte of a two-byte character is never taken for "\\" or "|".
std::optional<std::string> UnsafeTitleReason(const std::string& title,
                                             const text::LeadBytes& lead = text::LeadBytes());

}  // namespace prismora::output
