// Texts of the project file, the settings trailer and the installer script are single
// bytes in the system code page. In the double-byte code pages of East Asia a character
// may take two bytes, and the second one can be any of "\", "|", "@" or a letter: a
// check or a cut that walks byte by byte would find a "\" in the middle of "表" (0x95
// 0x5C in code page 932) or keep only the first half of a character. These rules walk
// characters instead, with the code page's lead bytes given as data.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace prismora::text {

// Which byte values start a two-byte character. A single-byte code page has none.
class LeadBytes {
 public:
  LeadBytes() = default;
  // Inclusive ranges of lead bytes, as the platform reports them.
  static LeadBytes FromRanges(std::initializer_list<std::pair<uint8_t, uint8_t>> ranges);
  // The four double-byte code pages Windows has as system code pages: 932 (Japanese),
  // 936 (simplified Chinese), 949 (Korean), 950 (traditional Chinese). Any other number
  // gives a single-byte code page.
  static LeadBytes ForCodePage(unsigned codePage);

  void Set(uint8_t byte, bool lead = true) { lead_[byte] = lead; }
  bool IsLead(uint8_t byte) const { return lead_[byte]; }
  bool IsLead(char byte) const { return lead_[uint8_t(byte)]; }
  bool AnyLead() const;

 private:
  std::array<bool, 256> lead_{};
};

// The number of bytes of the character that starts at `at`: 2 for a lead byte followed
// by another byte, 1 otherwise (a lead byte at the very end stands alone).
std::size_t CharacterLength(std::string_view text, std::size_t at, const LeadBytes& lead);

// The longest start of `text` of at most `maxBytes` bytes that ends between two
// characters, never after the first half of one.
std::string_view CutToBytes(std::string_view text, std::size_t maxBytes, const LeadBytes& lead);

// Calls `f(std::string_view character)` for each character in order.
template <typename F>
void ForEachCharacter(std::string_view text, const LeadBytes& lead, F&& f) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t n = CharacterLength(text, at, lead);
    f(text.substr(at, n));
    at += n;
  }
}

// The last character, empty for an empty text.
std::string_view LastCharacter(std::string_view text, const LeadBytes& lead);

// True when the text ends on the first half of a character (a lead byte with nothing
// after it): such bytes do not make a text of this code page.
bool EndsInHalfCharacter(std::string_view text, const LeadBytes& lead);

}  // namespace prismora::text
