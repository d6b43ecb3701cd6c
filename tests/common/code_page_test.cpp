#include "common/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace prismora::text;

namespace {
// Code page 932 bytes of a few titles: "表示" (0x95 0x5C 0x8E 0xA6), "ソフト" (0x83 0x5C
// 0x83 0x74 0x83 0x67), "能" (0x94 0x5C), "申" (0x90 0x5C) and a half-width katakana
// "ｱ" (0xB1), which is one byte.
const std::string kHyouji = "\x95\x5C\x8E\xA6";
const std::string kSofuto = "\x83\x5C\x83\x74\x83\x67";

std::vector<std::string> Characters(std::string_view t, const LeadBytes& lead) {
  std::vector<std::string> out;
  ForEachCharacter(t, lead, [&](std::string_view c) { out.emplace_back(c); });
  return out;
}
}  // namespace

TEST(LeadBytes, TheFourDoubleByteSystemCodePagesAndTheRest) {
  const LeadBytes sjis = LeadBytes::ForCodePage(932);
  EXPECT_TRUE(sjis.IsLead(uint8_t(0x81)));
  EXPECT_TRUE(sjis.IsLead(uint8_t(0x9F)));
  EXPECT_TRUE(sjis.IsLead(uint8_t(0xE0)));
  EXPECT_TRUE(sjis.IsLead(uint8_t(0xFC)));
  EXPECT_FALSE(sjis.IsLead(uint8_t(0xA0)));  // half-width katakana: single bytes
  EXPECT_FALSE(sjis.IsLead(uint8_t(0xB1)));
  EXPECT_FALSE(sjis.IsLead(uint8_t(0xDF)));
  EXPECT_FALSE(sjis.IsLead(uint8_t(0x80)));
  EXPECT_FALSE(sjis.IsLead(uint8_t(0xFD)));
  EXPECT_FALSE(sjis.IsLead('\\'));
  for (unsigned cp : {936u, 949u, 950u}) {
    const LeadBytes lead = LeadBytes::ForCodePage(cp);
    EXPECT_FALSE(lead.IsLead(uint8_t(0x80))) << cp;
    EXPECT_TRUE(lead.IsLead(uint8_t(0x81))) << cp;
    EXPECT_TRUE(lead.IsLead(uint8_t(0xFE))) << cp;
    EXPECT_FALSE(lead.IsLead(uint8_t(0xFF))) << cp;
  }
  for (unsigned cp : {1252u, 1251u, 1250u, 874u, 65001u, 0u}) EXPECT_FALSE(LeadBytes::ForCodePage(cp).AnyLead()) << cp;
  // As the platform reports them: the same table.
  const LeadBytes given = LeadBytes::FromRanges({{0x81, 0x9F}, {0xE0, 0xFC}});
  for (unsigned b = 0; b < 256; ++b) EXPECT_EQ(given.IsLead(uint8_t(b)), sjis.IsLead(uint8_t(b))) << b;
}

TEST(Characters, ASecondByteIsPartOfItsCharacter) {
  const LeadBytes sjis = LeadBytes::ForCodePage(932);
  EXPECT_EQ(Characters(kHyouji, sjis), (std::vector<std::string>{"\x95\x5C", "\x8E\xA6"}));
  EXPECT_EQ(Characters(kSofuto + "|x\xB1", sjis),
            (std::vector<std::string>{"\x83\x5C", "\x83\x74", "\x83\x67", "|", "x", "\xB1"}));
  // Byte by byte in a single-byte code page.
  EXPECT_EQ(Characters(kHyouji, LeadBytes()).size(), 4u);
  // A lead byte with nothing after it stands alone and is half a character.
  EXPECT_TRUE(EndsInHalfCharacter("ab\x95", sjis));
  EXPECT_FALSE(EndsInHalfCharacter(kHyouji, sjis));
  EXPECT_FALSE(EndsInHalfCharacter("ab\x95", LeadBytes()));
  EXPECT_EQ(LastCharacter(kHyouji, sjis), "\x8E\xA6");
  EXPECT_EQ(LastCharacter("", sjis), "");
  // "\x95\x5C" then "\x5C": the last character is a real backslash.
  EXPECT_EQ(LastCharacter("\x95\x5C\x5C", sjis), "\\");
}

TEST(CutToBytes, NeverEndsOnTheFirstHalfOfACharacter) {
  const LeadBytes sjis = LeadBytes::ForCodePage(932);
  EXPECT_EQ(CutToBytes(kHyouji, 4, sjis), kHyouji);
  EXPECT_EQ(CutToBytes(kHyouji, 3, sjis), "\x95\x5C");
  EXPECT_EQ(CutToBytes(kHyouji, 1, sjis), "");
  EXPECT_EQ(CutToBytes("a" + kHyouji, 2, sjis), "a");
  EXPECT_EQ(CutToBytes("a" + kHyouji, 3, sjis), "a\x95\x5C");
  EXPECT_EQ(CutToBytes("abc", 0, sjis), "");
  EXPECT_EQ(CutToBytes("abc", 10, sjis), "abc");
  EXPECT_EQ(CutToBytes(kHyouji, 3, LeadBytes()), "\x95\x5C\x8E");  // single-byte: bytes
  // Every cut of every length of a mixed text ends between characters.
  const std::string mixed = "x" + kSofuto + "\xB1" + kHyouji + "yz";
  for (std::size_t n = 0; n <= mixed.size() + 1; ++n) {
    const std::string_view cut = CutToBytes(mixed, n, sjis);
    EXPECT_LE(cut.size(), n);
    EXPECT_GE(cut.size() + 1, std::min(n, mixed.size())) << n;  // at most one byte short
    EXPECT_FALSE(EndsInHalfCharacter(cut, sjis)) << n;
    std::size_t whole = 0;
    ForEachCharacter(mixed, sjis, [&](std::string_view c) {
      if (whole + c.size() <= cut.size()) whole += c.size();
    });
    EXPECT_EQ(whole, cut.size()) << n;
  }
}
