#include "common/code_page.h"

namespace prismora::text {

LeadBytes LeadBytes::FromRanges(std::initializer_list<std::pair<uint8_t, uint8_t>> ranges) {
  LeadBytes out;
  for (auto [first, last] : ranges)
    for (unsigned b = first; b <= last; ++b) out.lead_[b] = true;
  return out;
}

LeadBytes LeadBytes::ForCodePage(unsigned codePage) {
  switch (codePage) {
    case 932: return FromRanges({{0x81, 0x9F}, {0xE0, 0xFC}});  // Shift JIS
    case 936:                                                    // GBK
    case 949:                                                    // Unified Hangul Code
    case 950: return FromRanges({{0x81, 0xFE}});                 // Big5
    default: return {};
  }
}

bool LeadBytes::AnyLead() const {
  for (bool b : lead_)
    if (b) return true;
  return false;
}

std::size_t CharacterLength(std::string_view text, std::size_t at, const LeadBytes& lead) {
  if (at >= text.size()) return 0;
  return lead.IsLead(text[at]) && at + 1 < text.size() ? 2 : 1;
}

std::string_view CutToBytes(std::string_view text, std::size_t maxBytes, const LeadBytes& lead) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t n = CharacterLength(text, end, lead);
    if (end + n > maxBytes) break;
    end += n;
  }
  return text.substr(0, end);
}

std::string_view LastCharacter(std::string_view text, const LeadBytes& lead) {
  std::string_view last;
  ForEachCharacter(text, lead, [&](std::string_view c) { last = c; });
  return last;
}

bool EndsInHalfCharacter(std::string_view text, const LeadBytes& lead) {
  const std::string_view last = LastCharacter(text, lead);
  return last.size() == 1 && lead.IsLead(last[0]);
}

}  // namespace prismora::text
