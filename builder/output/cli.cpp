#include "builder/output/cli.h"

#include <algorithm>
#include <cctype>

namespace prismora::output {

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> args;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size()) break;
    std::string arg;
    bool quoted = false;
    while (i < text.size() && (quoted || (text[i] != ' ' && text[i] != '\t'))) {
      std::size_t slashes = 0;
      while (i < text.size() && text[i] == '\\') ++slashes, ++i;
      if (i < text.size() && text[i] == '"') {
        arg.append(slashes / 2, '\\');
        if (slashes % 2) {
          arg += '"';
        } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
          arg += '"';  // "" inside quotes is a literal quote
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(slashes, '\\');
        if (i < text.size() && (quoted || (text[i] != ' ' && text[i] != '\t'))) arg += text[i++];
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

namespace {
std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}
bool IsSwitch(const std::string& a) { return !a.empty() && (a[0] == '/' || a[0] == '-'); }
}  // namespace

CliRequest ParseCliArguments(const std::vector<std::string>& args) {
  CliRequest r;
  if (args.empty()) return r;
  if (!IsSwitch(args[0])) {
    if (args.size() == 1) {
      r.project = args[0];  // opened in the window, like a double-clicked project
      return r;
    }
    r.mode = CliMode::Invalid;
    r.problem = "Unexpected arguments after the project file.";
    return r;
  }
  std::string name = Lower(args[0].substr(1));
  if (name == "?" || name == "h" || name == "help") {
    r.mode = CliMode::Usage;
    return r;
  }
  CliMode mode = name == "build"     ? CliMode::Build
                 : name == "prepare" ? CliMode::Prepare
                 : name == "show"    ? CliMode::Show
                                     : CliMode::Invalid;
  if (mode == CliMode::Invalid) {
    r.mode = CliMode::Invalid;
    r.problem = "Unknown option " + args[0] + ".";
    return r;
  }
  if (mode == CliMode::Show) {
    if (args.size() != 2 || args[1].empty()) {
      r.mode = CliMode::Invalid;
      r.problem = "/show needs a project file.";
      return r;
    }
    r.mode = mode;
    r.project = args[1];
    return r;
  }
  if (args.size() != 3 || args[1].empty() || args[2].empty()) {
    r.mode = CliMode::Invalid;
    r.problem = mode == CliMode::Build ? "/build needs a project file and the setup program to write."
                                       : "/prepare needs a project file and a folder.";
    return r;
  }
  r.mode = mode;
  r.project = args[1];
  r.target = args[2];
  return r;
}

std::string CliUsage() {
  return "Prismora Builder 1.4\n"
         "\n"
         "  Fotoprism.exe                           start the builder\n"
         "  Fotoprism.exe PROJECT.pmj               start the builder with this project\n"
         "  Fotoprism.exe /build PROJECT.pmj SETUP.exe\n"
         "                                          build the screen saver's setup program\n"
         "  Fotoprism.exe /prepare PROJECT.pmj FOLDER\n"
         "                                          write the project's photo bitmaps\n"
         "                                          (preview0.bmp ...) into FOLDER\n"
         "  Fotoprism.exe /show PROJECT.pmj         run the project as its screen saver,\n"
         "                                          full screen (a key or the mouse ends it)\n"
         "  Fotoprism.exe /?                        this text\n"
         "\n"
         "/build, /prepare and /show show no window of the builder, print progress and\n"
         "errors, and exit with code 0 only when everything was written (and, for /show,\n"
         "the screen saver started).\n";
}

}  // namespace prismora::output
