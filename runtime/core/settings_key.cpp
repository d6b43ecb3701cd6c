#include "runtime/core/settings_key.h"

namespace prismora::runtime {

std::string SettingsKeyName(std::string_view shortPath) {
  std::size_t slash = shortPath.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? shortPath : shortPath.substr(slash + 1);
  if (name.size() <= 4) return std::string(name);
  return std::string(name.substr(0, name.size() - 4));
}

}  // namespace prismora::runtime
