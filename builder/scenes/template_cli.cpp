#include "builder/scenes/template_cli.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <new>

namespace prismora::scenes {

bool IsTemplateRequest(const std::vector<std::string>& args) {
  if (args.empty() || args[0].size() != 9 || (args[0][0] != '/' && args[0][0] != '-')) return false;
  std::string word = args[0].substr(1);
  std::transform(word.begin(), word.end(), word.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return word == "template";
}

TemplateCliRequest ParseTemplateArguments(const std::vector<std::string>& args) {
  TemplateCliRequest r;
  if (!IsTemplateRequest(args) || args.size() < 2 || args.size() > 3 || args[1].empty()) {
    r.problem = "/template needs a scene file (.x) and may take a name for the template.";
    return r;
  }
  r.scenePath = args[1];
  if (args.size() == 3) r.name = args[2];
  return r;
}

TemplateCliOutcome RunTemplateCommand(const std::vector<std::string>& args, ImportSeams seams,
                                      const ImportFolders& folders) {
  TemplateCliOutcome out;
  auto oneLine = [](std::string text) {
    for (char& c : text)
      if (c == '\n' || c == '\r') c = ' ';
    return "Fotoprism: " + text;
  };
  const TemplateCliRequest request = ParseTemplateArguments(args);
  if (!request.problem.empty()) {
    out.exitCode = kTemplateBadArguments;
    out.error = oneLine(request.problem);
    return out;
  }
  try {
    const ImportOutcome made = ImportTemplate(seams, folders, request.scenePath, request.name);
    if (!made.ok()) {
      out.exitCode = made.outOfMemory ? kTemplateOutOfMemory : kTemplateRefused;
      out.error = oneLine(made.error);
      return out;
    }
    out.output = "Template " + std::to_string(made.number) + " \"" + made.name + "\" written to " + made.path;
  } catch (const std::bad_alloc&) {
    out.exitCode = kTemplateOutOfMemory;
    out.error = oneLine(request.scenePath + ": not enough memory to import this scene");
  } catch (const std::exception& e) {
    out.exitCode = kTemplateFailed;
    out.error = oneLine(request.scenePath + ": the import failed (" + e.what() + ")");
  } catch (...) {
    out.exitCode = kTemplateFailed;
    out.error = oneLine(request.scenePath + ": the import failed");
  }
  return out;
}

}  // namespace prismora::scenes
