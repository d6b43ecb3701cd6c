#include "builder/scenes/template_file.h"

#include <algorithm>
#include <cctype>

namespace prismora::scenes {

std::vector<uint8_t> ImportedTemplateTail(std::string_view displayName,
                                          const trailer::TemplateBlock& block) {
  std::vector<uint8_t> tail(kNameRecordSize + block.size(), 0);
  const std::string name = CleanDisplayName(displayName);
  std::copy(name.begin(), name.end(), tail.begin());
  std::copy(kNameTag.begin(), kNameTag.end(), tail.begin() + kNameFieldSize);
  std::copy(block.begin(), block.end(), tail.begin() + kNameRecordSize);
  return tail;
}

std::optional<std::string> StoredTemplateName(std::span<const uint8_t> fileTail) {
  const std::size_t need = kNameRecordSize + trailer::kTemplateBlockSize;
  if (fileTail.size() < need) return std::nullopt;
  const auto record = fileTail.subspan(fileTail.size() - need, kNameRecordSize);
  if (!std::equal(kNameTag.begin(), kNameTag.end(), record.begin() + kNameFieldSize)) return std::nullopt;
  const auto field = record.first(kNameFieldSize);
  const auto end = std::find(field.begin(), field.end(), uint8_t(0));
  if (end == field.end()) return std::nullopt;  // a record of ours always ends its name
  return std::string(field.begin(), end);
}

std::optional<int> TemplateNumberOf(std::string_view fileName) {
  constexpr std::string_view stem = "vexo";
  if (fileName.size() <= stem.size() || fileName.size() > stem.size() + 6) return std::nullopt;
  for (std::size_t i = 0; i < stem.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(fileName[i])) != stem[i]) return std::nullopt;
  const std::string_view digits = fileName.substr(stem.size());
  if (digits.size() > 1 && digits[0] == '0') return std::nullopt;
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

int NextFreeTemplateNumber(std::span<const int> taken) {
  int n = kShippedTemplateCount;
  while (std::find(taken.begin(), taken.end(), n) != taken.end()) ++n;
  return n;
}

std::string CleanDisplayName(std::string_view name) {
  std::string clean;
  for (char c : name)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) clean += c;
  const auto first = clean.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  clean = clean.substr(first, clean.find_last_not_of(' ') - first + 1);
  if (clean.size() > kNameFieldSize - 1) clean.resize(kNameFieldSize - 1);
  return clean;
}

}  // namespace prismora::scenes
