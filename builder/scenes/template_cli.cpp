#include "builder/scenes/template_cli.h"

#include <algorithm>
#include <cctype>

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

}  // namespace prismora::scenes
