// The builder's `/template SCENE.x "Name"` arguments.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "builder/scenes/template_import.h"

namespace prismora::scenes {

struct TemplateCliRequest {
  std::string scenePath;
  std::string name;     // may be empty: the file's name serves
  std::string problem;  // non-empty: the arguments are wrong
};

// Whether the arguments (program name removed) ask for a template import: the first
// is "/template" or "-template", in any case.
bool IsTemplateRequest(const std::vector<std::string>& args);
TemplateCliRequest ParseTemplateArguments(const std::vector<std::string>& args);

// Exit codes of `/template`.
enum TemplateExitCode : int {
  kTemplateMade = 0,
  kTemplateRefused = 1,       // the scene was refused or the template not written
  kTemplateBadArguments = 2,
  kTemplateOutOfMemory = 3,   // the scene needs more memory than the process has
  kTemplateFailed = 4,        // anything else that went wrong on the way
};

struct TemplateCliOutcome {
  int exitCode = kTemplateMade;
  std::string output;  // for standard output, one line
  std::string error;   // for standard error, one line
};

// The whole `/template` run over the seams: parses, imports, and turns every way it can
// end, an exception included, into an exit code and one line of text, so a command
// line never ends in a terminated program with nothing said.
TemplateCliOutcome RunTemplateCommand(const std::vector<std::string>& args, ImportSeams seams,
                                      const ImportFolders& folders);

}  // namespace prismora::scenes
