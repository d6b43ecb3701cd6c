// The installer script line by line, the short name, the licence file and title checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "builder/output/script.h"
#include "tests/support/fake_seams.h"

using namespace prismora;
using namespace prismora::output;

namespace {
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}
}  // namespace

TEST(SetupScript, DefaultTitleThreePhotosLicenceOnIsTheWholeScript) {
  // The build files in the user's folder, the converter from the builder's own.
  std::string text = SetupScriptText({"Untitled Screen Saver", "C:\\Tools\\", true, 3, "C:\\Program Files\\PB\\"});
  const std::vector<std::string> expected = {
      "[Setup]",
      "AppName=Untitled Screen Saver",
      "AppVerName=Untitled Screen Saver",
      "DefaultDirName={sys}\\Untitled Screen Saver",
      "DisableDirPage=yes",
      "WizardImageFile=ImageWizardImageFile.bmp",
      "WizardSmallImageFile=ImageWizModernSmallImage.bmp",
      "LicenseFile=license.txt",
      "[Tasks]",
      "Name: \"desktopicon\"; Description: \"Create a &desktop icon\"; GroupDescription: \"Additional icons:\"",
      "[Files]",
      "Source: \"C:\\Tools\\Untitled Screen Saver.scr\"; DestDir: \"{sys}\"; CopyMode: alwaysoverwrite",
      "Source: \"C:\\Tools\\Untitled Screen Saver.scr\"; DestName: \"Untitled Screen Saver.exe\"; DestDir: \"{sys}\"; CopyMode: alwaysoverwrite",
      "Source: \"C:\\Program Files\\PB\\pixolve.exe\"; DestDir: \"{app}\"; CopyMode: alwaysoverwrite",
      "Source: \"C:\\Tools\\Untitled Screen Saver0.jpg\"; DestDir: \"{app}\"; CopyMode: alwaysoverwrite",
      "Source: \"C:\\Tools\\Untitled Screen Saver1.jpg\"; DestDir: \"{app}\"; CopyMode: alwaysoverwrite",
      "Source: \"C:\\Tools\\Untitled Screen Saver2.jpg\"; DestDir: \"{app}\"; CopyMode: alwaysoverwrite",
      "[INI]",
      "Filename: \"{win}\\SYSTEM.INI\"; Key: \"SCRNSAVE.EXE\"; Section: \"boot\";  String: \"{code:SaverPath}\"",
      "[UninstallDelete]",
      "Type: files; Name: \"{app}\\Untitled Screen Saver*.bmp\"",
      "Type: files; Name: \"{app}\\pixolve.log\"",
      "Type: dirifempty; Name: \"{app}\"",
      "[Run]",
      "Filename: \"{app}\\pixolve.exe \"; Flags: waituntilidle runminimized; Parameters: 3 Untitled Screen Saver",
      "Filename: \"{sys}\\Untitled Screen Saver.exe\"; Description: \"Launch Program\"; Flags: nowait postinstall skipifsilent",
  };
  std::vector<std::string> lines = Lines(text);
  // Then the [Code] section that makes the installed screen saver the active one; what it
  // does is tried by installing real setup programs (tests/shipped).
  ASSERT_GT(lines.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
  EXPECT_EQ(lines[expected.size()], "[Code]");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "[Code]"), 1);
  EXPECT_NE(text.back(), '\n');  // no line break after the last line
  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);  // every break is CR LF
}

TEST(SetupScript, WithoutLicenceOneLineLessAndNoLicenseFile) {
  std::vector<std::string> on = Lines(SetupScriptText({"Untitled Screen Saver", "C:\\Tools\\", true, 3, "C:\\P\\"}));
  std::vector<std::string> off = Lines(SetupScriptText({"Untitled Screen Saver", "C:\\Tools\\", false, 3, "C:\\P\\"}));
  ASSERT_EQ(off.size(), on.size() - 1);
  on.erase(on.begin() + 7);
  EXPECT_EQ(off, on);

  testsupport::FakeFiles files;
  files.files["C:\\Tools\\license.txt"] = {'o', 'l', 'd'};
  project::ProjectSettings s;
  s.LicenseEnabled = false;
  s.LicenseText = "new";
  s.Photos = {"a.jpg", "b.jpg"};
  std::string error;
  auto script = BuildSetupScript(s, "C:\\Tools\\", "C:\\Tools\\", files, error);
  ASSERT_TRUE(script);
  EXPECT_EQ(Lines(*script).size(), off.size() - 1);  // one photo less
  EXPECT_EQ(files.files["C:\\Tools\\license.txt"], (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST(SetupScript, LicenceTextIsWrittenUnchangedBeforeTheScript) {
  testsupport::FakeFiles files;
  project::ProjectSettings s;
  s.LicenseEnabled = true;
  s.LicenseText = "line one\r\nline two";
  s.Photos = {"a.jpg", "b.jpg"};
  std::string error;
  auto script = BuildSetupScript(s, "C:\\B\\", "C:\\P\\", files, error);
  ASSERT_TRUE(script);
  std::string written(files.files["C:\\B\\license.txt"].begin(), files.files["C:\\B\\license.txt"].end());
  EXPECT_EQ(written, "line one\r\nline two");
  EXPECT_EQ(Lines(*script)[7], "LicenseFile=license.txt");
  EXPECT_EQ(Lines(*script)[23], "Filename: \"{app}\\pixolve.exe \"; Flags: waituntilidle runminimized; Parameters: 2 Untitled Screen Saver");

  s.LicenseText.clear();  // an empty licence still gives a file, of zero bytes
  ASSERT_TRUE(BuildSetupScript(s, "C:\\B\\", "C:\\P\\", files, error));
  EXPECT_TRUE(files.files["C:\\B\\license.txt"].empty());
}

TEST(SetupScript, UnwritableLicenceGivesNoScript) {
  struct ReadOnly : testsupport::FakeFiles {
    bool ReplaceFileContents(const std::string&, std::span<const uint8_t>) override { return false; }
  } files;
  project::ProjectSettings s;
  std::string error;
  EXPECT_FALSE(BuildSetupScript(s, "C:\\B\\", "C:\\P\\", files, error));
  EXPECT_NE(error.find("C:\\B\\license.txt"), std::string::npos);
}

TEST(SetupScript, SavedFileEndsInExactlyOneLineBreak) {
  std::string text = SetupScriptText({"Flowers", "C:\\B\\", true, 2, "C:\\P\\"});
  std::string file = SetupScriptFile(text);
  EXPECT_EQ(file.substr(0, text.size()), text);
  EXPECT_EQ(file.substr(text.size()), "\r\n");
}

// The short name is the one the file system gives the installed file, asked for at install
// time: the script holds the long name only, never a made-up alias, whatever the title.
TEST(ShortName, IsAskedForAtInstallTimeNeverGuessed) {
  for (const char* title : {"Flowers", "Seashores", "My Screen Saver", "A B", "Sea.side", "x+y,z=w[1]"}) {
    const std::string text = SetupScriptText({title, "C:\\B\\", false, 2, "C:\\P\\"});
    EXPECT_EQ(text.find("~1"), std::string::npos) << title;
    EXPECT_NE(text.find("AddBackslash(Folder) + '" + std::string(title) + ".scr';"), std::string::npos) << title;
    // SYSTEM.INI gets the same value as the registry.
    EXPECT_EQ(Lines(text)[16], "Filename: \"{win}\\SYSTEM.INI\"; Key: \"SCRNSAVE.EXE\"; Section: \"boot\";  "
                               "String: \"{code:SaverPath}\"") << title;
  }
  // A quote in the title is doubled inside the script's Pascal string.
  const std::string text = SetupScriptText({"it's", "C:\\B\\", false, 2, "C:\\P\\"});
  EXPECT_NE(text.find("AddBackslash(Folder) + 'it''s.scr';"), std::string::npos);
}

TEST(SetupScript, LeadingAndTrailingBlanksStayInEveryLine) {
  std::vector<std::string> lines = Lines(SetupScriptText({" Sea ", "C:\\B\\", false, 2, "C:\\P\\"}));
  EXPECT_EQ(lines[1], "AppName= Sea ");
  EXPECT_EQ(lines[3], "DefaultDirName={sys}\\ Sea ");
  EXPECT_EQ(lines[10], "Source: \"C:\\B\\ Sea .scr\"; DestDir: \"{sys}\"; CopyMode: alwaysoverwrite");
  // Quoted, so the compiler keeps the blanks and installs the name [Run] starts.
  EXPECT_EQ(lines[11], "Source: \"C:\\B\\ Sea .scr\"; DestName: \" Sea .exe\"; DestDir: \"{sys}\"; CopyMode: alwaysoverwrite");
  EXPECT_EQ(lines[13], "Source: \"C:\\B\\ Sea 0.jpg\"; DestDir: \"{app}\"; CopyMode: alwaysoverwrite");
  EXPECT_EQ(lines[16], "Filename: \"{win}\\SYSTEM.INI\"; Key: \"SCRNSAVE.EXE\"; Section: \"boot\";  String: \"{code:SaverPath}\"");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "  Result := AddBackslash(Folder) + ' Sea .scr';"), lines.end());
  EXPECT_EQ(lines[18], "Type: files; Name: \"{app}\\ Sea *.bmp\"");
  EXPECT_EQ(lines[19], "Type: files; Name: \"{app}\\pixolve.log\"");
  EXPECT_EQ(lines[22], "Filename: \"{app}\\pixolve.exe \"; Flags: waituntilidle runminimized; Parameters: 2  Sea ");
  EXPECT_EQ(lines[23], "Filename: \"{sys}\\ Sea .exe\"; Description: \"Launch Program\"; Flags: nowait postinstall skipifsilent");
}

TEST(TitleCheck, RefusesWhatWouldBreakFileNamesOrScriptLines) {
  for (const char* bad : {"a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b",
                          "{sys}", "x{tmp}", "a;b", "two\r\nlines", "tab\there", "nul\x01"})
    EXPECT_TRUE(UnsafeTitleReason(bad)) << bad;
  for (const char* good : {"Untitled Screen Saver", " leading blank", "Caf\xE9 & Co. (2)",
                           "a}b", "100% sunny", "it's", "x,y=z"})
    EXPECT_FALSE(UnsafeTitleReason(good)) << good;
  EXPECT_NE(UnsafeTitleReason("a|b")->find('|'), std::string::npos);
}

TEST(TitleCheck, RefusesTitlesWindowsWouldChangeOrTheRecordWouldCut) {
  // The record holds 99 bytes; the 100th would be cut there but not in the file names.
  EXPECT_FALSE(UnsafeTitleReason(std::string(99, 'x')));
  const auto tooLong = UnsafeTitleReason(std::string(100, 'x'));
  ASSERT_TRUE(tooLong);
  EXPECT_NE(tooLong->find("99"), std::string::npos);
  // Windows drops a trailing blank or dot from file and folder names.
  for (const char* bad : {"Sea ", "Sea.", "Sea. ", " ", "...", "Sea.."})
    EXPECT_TRUE(UnsafeTitleReason(bad)) << '"' << bad << '"';
  // Device names, in any case, alone or with an extension.
  for (const char* bad : {"CON", "con", "Prn", "AUX", "nul", "COM1", "com9", "LPT1", "lpt9", "NUL.txt",
                          "Con.Sea Saver", "aux .x", "COM3.tar.gz"})
    EXPECT_TRUE(UnsafeTitleReason(bad)) << bad;
  for (const char* good : {"CONSOLE", "Con Air", "COM", "COM10", "LPT", "NULL", "PRNT", "my CON",
                           "x.CON", "AUX1", ".con"})
    EXPECT_FALSE(UnsafeTitleReason(good)) << good;
}

TEST(TitleCheck, WalksTheCharactersOfADoubleByteCodePage) {
  const prismora::text::LeadBytes sjis = prismora::text::LeadBytes::ForCodePage(932);
  // "表示", "ソフト", "能力" and "申請": second bytes 0x5C ("\\") and 0x7C ("|").
  const std::string kHyouji = "\x95\x5C\x8E\xA6", kSofuto = "\x83\x5C\x83\x74\x83\x67";
  const std::string kNouryoku = "\x94\x5C\x97\xCD", kPipeSecond = "\x83\x7C\x83\x43";  // "ポイ"
  for (const std::string& good : {kHyouji, kSofuto, kNouryoku, kPipeSecond, " " + kHyouji,
                                  kSofuto + " 2026", std::string("\x90\x5C\x90\xBF")})
    EXPECT_FALSE(UnsafeTitleReason(good, sjis)) << good;
  // Byte by byte the same titles hold a backslash or a bar.
  EXPECT_TRUE(UnsafeTitleReason(kHyouji));
  EXPECT_TRUE(UnsafeTitleReason(kPipeSecond));
  // Real single-byte characters between two-byte ones are still refused.
  for (const std::string& bad : {kHyouji + "\\x", kHyouji + "|", std::string("\x95\x5C\x5C"), kSofuto + ":",
                                 kHyouji + ".", kHyouji + " ", kHyouji + "\t"})
    EXPECT_TRUE(UnsafeTitleReason(bad, sjis)) << bad;
  // A title ending on a first half is not text of this code page.
  EXPECT_TRUE(UnsafeTitleReason("ab\x95", sjis));
  // The record's 99 bytes count bytes: 49 characters of two bytes fit, 50 do not.
  std::string fits, tooLong;
  for (int i = 0; i < 49; ++i) fits += "\x8E\xA6";
  tooLong = fits + "\x8E\xA6";
  EXPECT_FALSE(UnsafeTitleReason(fits, sjis));
  const auto why = UnsafeTitleReason(tooLong, sjis);
  ASSERT_TRUE(why);
  EXPECT_NE(why->find("100 bytes"), std::string::npos) << *why;
}

namespace {

// A parameter's value as Inno Setup reads it: a quoted value loses its quotes (a doubled
// quote stands for one), an unquoted one loses its leading and trailing blanks.
std::string ParameterValue(const std::string& line, const std::string& name) {
  size_t at = line.find(name + ": ");
  if (at == std::string::npos) return "<missing>";
  at += name.size() + 2;
  if (line[at] == '"') {
    std::string value;
    for (size_t i = at + 1; i < line.size(); ++i) {
      if (line[i] != '"') {
        value += line[i];
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        value += '"';
        ++i;
      } else {
        break;
      }
    }
    return value;
  }
  std::string value = line.substr(at, line.find(';', at) - at);
  value.erase(0, value.find_first_not_of(' '));
  value.erase(value.find_last_not_of(' ') + 1);
  return value;
}

}  // namespace

// The program [Run] offers to start is the second copy [Files] installs, under the same
// name as the compiler reads it, whatever blanks lead the title.
TEST(SetupScript, TheLaunchedProgramIsTheOneInstalled) {
  for (const char* title : {"Flowers", " Flowers", "  Two Lead", "My Screen Saver"}) {
    const std::vector<std::string> lines = Lines(SetupScriptText({title, "C:\\B\\", false, 2, "C:\\P\\"}));
    std::string installed, launched;
    for (const std::string& line : lines) {
      if (line.find("DestName: ") != std::string::npos) installed = "{sys}\\" + ParameterValue(line, "DestName");
      if (line.find("Description: \"Launch Program\"") != std::string::npos)
        launched = ParameterValue(line, "Filename");
    }
    EXPECT_EQ(installed, launched) << "title \"" << title << "\"";
    EXPECT_EQ(launched, "{sys}\\" + std::string(title) + ".exe");
  }
}
