// The lines of the template combo: the six, then the imported templates by their stored
// names, and which template number (TemplateIndex) each line stands for.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "builder/scenes/template_import.h"

namespace prismora::scenes {

class TemplateList {
 public:
  TemplateList(std::span<const std::string_view> shipped, const std::vector<ImportedTemplate>& imported);

  const std::vector<std::string>& Items() const { return items_; }
  // The template number of a combo line; -1 for no line.
  int32_t NumberOfItem(int item) const;
  // The combo line of a template number; -1 when no line has it (a template gone).
  int ItemOfNumber(int32_t number) const;
  // Only imported templates may be removed.
  bool IsImported(int32_t number) const;

 private:
  std::vector<std::string> items_;
  std::vector<int32_t> numbers_;
  int shipped_ = 0;
};

// The warning when a project names a template that is no longer there.
std::string MissingTemplateWarning(int32_t number);
// The question before an imported template is removed.
std::string RemoveTemplateQuestion(std::string_view item);

}  // namespace prismora::scenes
