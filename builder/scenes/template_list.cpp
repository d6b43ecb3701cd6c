#include "builder/scenes/template_list.h"

#include <algorithm>

namespace prismora::scenes {

TemplateList::TemplateList(std::span<const std::string_view> shipped,
                           const std::vector<ImportedTemplate>& imported)
    : shipped_(int(shipped.size())) {
  for (std::size_t i = 0; i < shipped.size(); ++i) {
    items_.emplace_back(shipped[i]);
    numbers_.push_back(int32_t(i));
  }
  for (const ImportedTemplate& t : imported) {
    if (t.number < shipped_) continue;
    items_.push_back(TemplateItemText(t));
    numbers_.push_back(t.number);
  }
}

int32_t TemplateList::NumberOfItem(int item) const {
  return item >= 0 && std::size_t(item) < numbers_.size() ? numbers_[std::size_t(item)] : -1;
}

int TemplateList::ItemOfNumber(int32_t number) const {
  const auto it = std::find(numbers_.begin(), numbers_.end(), number);
  return it == numbers_.end() ? -1 : int(it - numbers_.begin());
}

bool TemplateList::IsImported(int32_t number) const {
  return number >= shipped_ && ItemOfNumber(number) >= 0;
}

std::string MissingTemplateWarning(int32_t number) {
  return "The template of this project (vexo" + std::to_string(number) +
         ") is no longer in the builder's folder.\nThe first template is used instead.";
}

std::string RemoveTemplateQuestion(std::string_view item) {
  return "Remove the imported template " + std::string(item) +
         "?\nIts file is deleted from the builder's folder.";
}

}  // namespace prismora::scenes
