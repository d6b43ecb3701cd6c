#include <gtest/gtest.h>

#include "common/bytes.h"
#include "common/trailer.h"
#include "runtime/core/command_line.h"
#include "runtime/core/dialog_rules.h"
#include "runtime/core/photo_paths.h"
#include "runtime/core/random.h"
#include "runtime/core/settings_key.h"
#include "runtime/core/window_rules.h"

using namespace prismora;
using namespace prismora::runtime;

TEST(CommandLine, ModeLetterAfterBlanksDashesAndSlashes) {
  EXPECT_EQ(ScanCommandLine("").mode, RunMode::ConfigureUnowned);
  EXPECT_EQ(ScanCommandLine("  - / ").mode, RunMode::ConfigureUnowned);
  EXPECT_EQ(ScanCommandLine("/s").mode, RunMode::FullScreen);
  EXPECT_EQ(ScanCommandLine(" -S").mode, RunMode::FullScreen);
  EXPECT_EQ(ScanCommandLine("--//s").mode, RunMode::FullScreen);
  EXPECT_EQ(ScanCommandLine("/A").mode, RunMode::ChangePassword);
  EXPECT_EQ(ScanCommandLine("/x").mode, RunMode::Invalid);
  EXPECT_EQ(ScanCommandLine("1").mode, RunMode::Invalid);
  EXPECT_EQ(ScanCommandLine("?").mode, RunMode::Invalid);
}

TEST(CommandLine, ConfigurationOwner) {
  EXPECT_EQ(ScanCommandLine("/c").mode, RunMode::Configure);
  EXPECT_EQ(ScanCommandLine("/c").handle, 0u);
  CommandLine zero = ScanCommandLine("/c:0");
  EXPECT_EQ(zero.mode, RunMode::Configure);
  EXPECT_EQ(zero.handle, 0u);
  EXPECT_EQ(ScanCommandLine("C:12345").handle, 12345u);
  // The number ends at the first character that is not a digit.
  EXPECT_EQ(ScanCommandLine("/c:77x9").handle, 77u);
  // Without the colon no number is read.
  EXPECT_EQ(ScanCommandLine("/c 55").handle, 0u);
}

TEST(CommandLine, PreviewParentHandle) {
  CommandLine p = ScanCommandLine("/p 1234");
  EXPECT_EQ(p.mode, RunMode::Preview);
  EXPECT_EQ(p.handle, 1234u);
  EXPECT_EQ(ScanCommandLine("-L   99 ").handle, 99u);
  EXPECT_EQ(ScanCommandLine("/p12a3").handle, 12u);
  EXPECT_EQ(ScanCommandLine("/p").handle, 0u);
  EXPECT_EQ(ScanCommandLine("/p abc").handle, 0u);
  // Too many digits for any handle: no wrap-around onto a small number.
  EXPECT_EQ(ScanCommandLine("/p 99999999999999999999999").handle, UINT64_MAX);
}

TEST(SettingsKey, ShortFileNameWithoutExtension) {
  EXPECT_EQ(SettingsKeyName("C:\\PROGRA~1\\BUILDER\\preview.scr"), "preview");
  EXPECT_EQ(SettingsKeyName("C:\\WINDOWS\\SYSTEM32\\MYFLOW~1.SCR"), "MYFLOW~1");
  EXPECT_EQ(SettingsKeyName("preview.scr"), "preview");
  EXPECT_EQ(SettingsKeyName("C:/x/y/ab.scr"), "ab");
  EXPECT_EQ(SettingsKeyPath("C:\\preview.scr"),
            "SOFTWARE\\Prismora Builder\\Screen Savers\\preview");
  // Too short to have a name before the four cut characters: keep the whole name.
  EXPECT_EQ(SettingsKeyName("C:\\a.sc"), "a.sc");
  EXPECT_EQ(SettingsKeyName("C:\\x\\"), "");
}

TEST(Random, SequenceOfTheLinearGenerator) {
  Random r(0);
  // state 2531011 -> bits 16..30
  EXPECT_EQ(r.Next(), int((2531011u >> 16) & 0x7FFF));
  Random seeded(12345);
  uint32_t s = 12345;
  for (int i = 0; i < 1000; ++i) {
    s = s * 214013u + 2531011u;
    int v = seeded.Next();
    ASSERT_EQ(v, int((s >> 16) & 0x7FFF));
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 32767);
  }
}

namespace {
trailer::Trailer Settings(const std::string& title, int photoCount, bool preview, int32_t code = -1) {
  trailer::BuilderRecordFields f;
  f.title = title;
  f.photoCount = photoCount;
  f.previewFlag = preview;
  auto rec = trailer::makeBuilderRecord(f);
  std::vector<uint8_t> file(204, 0);
  file.insert(file.end(), rec.begin(), rec.end());
  trailer::Trailer t = trailer::Trailer::fromFileTail(file);
  if (code >= 0) bytes::writeI32(t.info, trailer::off::PhotoCountCode - trailer::kInfoBlockOffset, code);
  return t;
}
}  // namespace

constexpr PhotoFolders kFolders{"C:\\windows\\system32", "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder"};

TEST(PhotoPaths, InstalledPhotosLiveInTheTitleFolder) {
  trailer::Trailer t = Settings("Flowers", 3, false);
  PhotoSource s = PhotoSourceFor(kFolders, t);
  EXPECT_EQ(s.folder, "C:\\windows\\system32\\Flowers\\");
  EXPECT_EQ(s.stem, "Flowers");
  EXPECT_EQ(PhotoPath(s, 2), "C:\\windows\\system32\\Flowers\\Flowers2.bmp");
  // An installed saver reads the system folder wherever its own file lies.
  EXPECT_EQ(PhotoSourceFor({"C:\\windows\\system32\\", "D:\\elsewhere"}, t).folder, s.folder);
  // Every draw picks one of the three files; the fallback is always photo 0.
  Random r(7), check(7);
  for (int i = 0; i < 50; ++i) {
    TextureChoice c = ChooseTexture(s, t, r);
    EXPECT_EQ(c.path, PhotoPath(s, check.Next() % 3));
    EXPECT_EQ(c.fallback, "C:\\windows\\system32\\Flowers\\Flowers0.bmp");
  }
}

TEST(PhotoPaths, PreviewPhotosLieBesideThePreviewFileWhateverTheTitle) {
  trailer::Trailer t = Settings("Flowers", 5, true);
  PhotoSource s = PhotoSourceFor(kFolders, t);
  EXPECT_EQ(s.folder, "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\preview\\");
  EXPECT_EQ(PhotoPath(s, 4), "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\preview\\preview4.bmp");
  EXPECT_EQ(PhotoSourceFor({"C:\\windows\\system32", "C:\\P\\"}, t).folder, "C:\\P\\preview\\");
  // The folder comes from the program's own path as Windows reports it.
  EXPECT_EQ(FolderOfProgram("C:\\Users\\Ann\\AppData\\Local\\Prismora Builder\\preview.scr"),
            "C:\\Users\\Ann\\AppData\\Local\\Prismora Builder");
  EXPECT_EQ(FolderOfProgram("C:\\preview.scr"), "C:");
  EXPECT_EQ(FolderOfProgram("preview.scr"), "");
  EXPECT_EQ(PhotoSourceFor({"C:\\windows\\system32", FolderOfProgram("C:\\preview.scr")}, t).folder,
            "C:\\preview\\");
}

TEST(PhotoPaths, PhotoCountFromTheCode) {
  // Code 0 stands for four photos; 1..223 for one, so a draw never takes a modulo of zero.
  Random r(3), check(3);
  const trailer::Trailer four = Settings("T", 0, true, 0), one = Settings("T", 0, true, 100);
  TextureChoice zero = ChooseTexture(PhotoSourceFor({"W", "S"}, four), four, r);
  EXPECT_EQ(zero.path, "S\\preview\\preview" + std::to_string(check.Next() % 4) + ".bmp");
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(ChooseTexture(PhotoSourceFor({"W", "S"}, one), one, r).path, "S\\preview\\preview0.bmp");
}

TEST(WindowRules, PreviewWiderThan400BehavesAsFullScreen) {
  EXPECT_TRUE(BehavesAsChildPreview(true, 265));
  EXPECT_TRUE(BehavesAsChildPreview(true, 400));
  EXPECT_FALSE(BehavesAsChildPreview(true, 401));
  EXPECT_FALSE(BehavesAsChildPreview(true, 640));
  EXPECT_FALSE(BehavesAsChildPreview(false, 100));
}

TEST(WindowRules, MouseTravelCountsBothDirections) {
  EXPECT_FALSE(MouseTravelCloses(100, 100, 102, 98));
  EXPECT_TRUE(MouseTravelCloses(100, 100, 103, 98));
  EXPECT_TRUE(MouseTravelCloses(100, 100, 95, 100));
}

TEST(DialogRules, LinksCarryTheWebsiteAsItStands) {
  EXPECT_EQ(WebsiteLink("http://www.flowers.example/gallery"),
            "http://www.prismora.example/website.php?URL=http://www.flowers.example/gallery&cookie=");
  EXPECT_EQ(AboutLink("http://a.example"),
            "http://www.prismora.example/about_click.php?URL=http://a.example&cookie=");
  // Only what would break the query is escaped.
  EXPECT_EQ(QueryValue("http://a.example/?x=1&y=2#top"), "http://a.example/?x=1%26y=2%23top");
  EXPECT_EQ(QueryValue("a b\"%+"), "a%20b%22%25%2B");
  EXPECT_EQ(QueryValue("\xE9"), "%E9");
}

TEST(DialogRules, StaticTextColourIsTheReadableNegation) {
  // Light grey: the negation is dark grey (and the top byte is not part of a colour).
  EXPECT_EQ(StaticTextColour(0x00C0C0C0), 0x003F3F40u);
  EXPECT_EQ(StaticTextColour(0x00FFFFFF), 0x00000001u);
  EXPECT_EQ(StaticTextColour(0x00000010), 0x00FFFFF0u);
  // Black would give black text and middle grey grey text: white and black instead.
  EXPECT_EQ(StaticTextColour(0x00000000), 0x00FFFFFFu);
  EXPECT_EQ(StaticTextColour(0x00808080), 0x00000000u);
  for (uint32_t c = 0; c < 0x01000000; c += 0x010307) {
    int diff = Brightness(StaticTextColour(c)) - Brightness(c);
    ASSERT_GE(diff < 0 ? -diff : diff, 96) << std::hex << c;
  }
}
