// The builder's `/template SCENE.x "Name"` arguments.
#pragma once
#include <optional>
#include <string>
#include <vector>

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

}  // namespace prismora::scenes
