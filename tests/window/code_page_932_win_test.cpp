// The builder where the system code page is 932 (Japanese): Wine takes it from the
// test program's locale (LC_ALL=ja_JP.UTF-8, see CMakeLists.txt). Titles whose second
// bytes are 0x5C ("\") or 0x7C ("|") are typed, checked, saved and proposed as file
// names whole.
#include "builder/output/script.h"
#include "builder/project/project_file.h"
#include "platform/win32/wide_text.h"
#include "tests/window/window_test_support.h"

using namespace prismora;
using namespace prismora::window;
using testsupport::MainWindowTest;

namespace {
const std::string kHyouji = "\x95\x5C\x8E\xA6";                 // "表示" in code page 932
const std::string kSofuto = "\x83\x5C\x83\x74\x83\x67";         // "ソフト"
const std::string kPoint = "\x83\x7C\x83\x43\x83\x93\x83\x67";  // "ポイント": second byte 0x7C

class CodePage932 : public MainWindowTest {
 protected:
  void TypeTitle(const wchar_t* title) {
    SetWindowTextW(Control(EditTitle), title);
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(EditTitle, EN_CHANGE), LPARAM(Control(EditTitle)));
  }
};
}  // namespace

TEST(CodePage932Platform, TheProcessRunsInCodePage932AndReportsItsLeadBytes) {
  ASSERT_EQ(GetACP(), 932u) << "LC_ALL=ja_JP.UTF-8 (with its LOCPATH) did not reach Wine";
  const text::LeadBytes platform = platform::SystemLeadBytes();
  const text::LeadBytes table = text::LeadBytes::ForCodePage(932);
  for (unsigned b = 0; b < 256; ++b) {
    EXPECT_EQ(platform.IsLead(uint8_t(b)), table.IsLead(uint8_t(b))) << b;
    EXPECT_EQ(platform.IsLead(uint8_t(b)), IsDBCSLeadByte(BYTE(b)) != 0) << b;
  }
  EXPECT_EQ(platform::AnsiFromWide(L"\u8868\u793A"), kHyouji);
  EXPECT_EQ(platform::AnsiFromWide(L"\u30BD\u30D5\u30C8"), kSofuto);
  // Cyrillic is in code page 932 too; Thai is not.
  EXPECT_TRUE(platform::AnsiFromWide(L"\u0424\u043E\u0442\u043E"));
  EXPECT_FALSE(platform::AnsiFromWide(L"\u0E01"));
}

TEST_F(CodePage932, TitlesWithA5COr7CSecondByteAreAcceptedSavedAndProposed) {
  Start();
  ASSERT_EQ(GetACP(), 932u);
  const text::LeadBytes lead = platform::SystemLeadBytes();
  const struct {
    const wchar_t* typed;
    std::string bytes;
  } titles[] = {{L"\u8868\u793A", kHyouji}, {L"\u30BD\u30D5\u30C8", kSofuto}, {L"\u30DD\u30A4\u30F3\u30C8", kPoint}};
  for (const auto& t : titles) {
    TypeTitle(t.typed);
    const project::ProjectSettings s = form->ReadSettings();
    EXPECT_EQ(s.Title, t.bytes);
    EXPECT_FALSE(output::UnsafeTitleReason(s.Title, lead)) << s.Title;
  }
  // A real backslash or bar after them is still refused.
  TypeTitle(L"\u8868\u793A\\");
  EXPECT_TRUE(output::UnsafeTitleReason(form->ReadSettings().Title, lead));
  TypeTitle(L"\u30BD\u30D5\u30C8|");
  EXPECT_TRUE(output::UnsafeTitleReason(form->ReadSettings().Title, lead));

  // Saved and opened whole; the save dialog proposes the title as it is.
  TypeTitle(L"\u8868\u793A");
  const std::string path = dir / "hyouji.pmj";
  dialogs.saves.push_back(path);
  Command(PunltMenuSave);
  ASSERT_FALSE(dialogs.asked.empty());
  EXPECT_EQ(dialogs.asked.back().initialName, kHyouji);
  project::ProjectSettings saved;
  project::DecodeProjectRecord(testsupport::TempFolder::Read(path), saved);
  EXPECT_EQ(saved.Title, kHyouji);
  TypeTitle(L"x");
  form->OpenProjectFile(path);
  EXPECT_EQ(form->ReadSettings().Title, kHyouji);
  wchar_t shown[16] = {};
  GetWindowTextW(Control(EditTitle), shown, 16);
  EXPECT_EQ(std::wstring(shown), L"\u8868\u793A");
}
