#include "runtime/core/command_line.h"

#include <limits>

namespace prismora::runtime {
namespace {

bool IsSkippable(char c) { return c == ' ' || c == '\t' || c == '-' || c == '/'; }

// Digits up to the first non-digit. A number too large for any handle stays at the
// largest value instead of wrapping around to a real window's handle.
uint64_t ReadDecimal(std::string_view text, std::size_t pos) {
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  uint64_t value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    unsigned digit = unsigned(text[pos] - '0');
    if (value > (kMax - digit) / 10) return kMax;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace

CommandLine ScanCommandLine(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsSkippable(text[pos])) ++pos;
  if (pos == text.size()) return {RunMode::ConfigureUnowned, 0};

  char letter = text[pos++];
  if (letter >= 'A' && letter <= 'Z') letter = char(letter - 'A' + 'a');
  switch (letter) {
    case 'c':
      if (pos < text.size() && text[pos] == ':') return {RunMode::Configure, ReadDecimal(text, pos + 1)};
      return {RunMode::Configure, 0};
    case 's':
      return {RunMode::FullScreen, 0};
    case 'p':
    case 'l':
      while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
      return {RunMode::Preview, ReadDecimal(text, pos)};
    case 'a':
      return {RunMode::ChangePassword, 0};
    default:
      return {RunMode::Invalid, 0};
  }
}

}  // namespace prismora::runtime
