// The converter's command line, conversion and log, over in-memory files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string_view>

#include "builder/photos/bmp.h"
#include "builder/photos/jpeg.h"
#include "builder/output/script.h"
#include "pixolve/converter.h"
#include "tests/support/fake_seams.h"
#include "tests/support/jpeg_maker.h"
#include "tests/support/memory_limit.h"

using namespace prismora;
using namespace prismora::pixolve;

namespace {
std::vector<uint8_t> Jpeg(int w, int h, uint32_t color) {
  photos::PixelImage img(w, h);
  photos::Fill(img.View(), color);
  std::vector<uint8_t> out;
  std::string error;
  photos::EncodeJpeg(img.View(), 90, out, error);
  return out;
}
std::string Text(const std::vector<uint8_t>& b) { return {b.begin(), b.end()}; }
}  // namespace

TEST(PixolveCommandLine, TitleIsTheWholeRestAfterOneBlank) {
  std::string error;
  auto a = ParseCommandLine("\"C:\\Windows\\System32\\My Saver\\pixolve.exe \" 3 Untitled Screen Saver", error);
  ASSERT_TRUE(a) << error;
  EXPECT_EQ(a->count, 3);
  EXPECT_EQ(a->title, "Untitled Screen Saver");
  a = ParseCommandLine("pixolve.exe 12  Sea", error);  // title " Sea" keeps its blank
  ASSERT_TRUE(a) << error;
  EXPECT_EQ(a->count, 12);
  EXPECT_EQ(a->title, " Sea");
  // A trailing blank is one of the titles the builder refuses, so no setup passes it.
  EXPECT_FALSE(ParseCommandLine("pixolve.exe 12  Sea ", error));
  a = ParseCommandLine("C:\\x\\pixolve.exe   2 Flowers", error);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->title, "Flowers");
}

TEST(PixolveCommandLine, RefusesMissingOrUnsafeParts) {
  std::string error;
  for (const char* bad : {"pixolve.exe", "pixolve.exe 3", "pixolve.exe 3 ", "pixolve.exe x Title",
                          "pixolve.exe 3x Title", "pixolve.exe 99999999999 T",
                          "pixolve.exe 2 ..\\..\\evil", "pixolve.exe 2 C:evil"}) {
    error.clear();
    EXPECT_FALSE(ParseCommandLine(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

struct Converter : ::testing::Test {
  testsupport::FakeFiles files;
  const std::string folder = "C:\\windows\\system32\\My Saver\\";
};

TEST_F(Converter, MakesA512SquareBitmapPerPhoto) {
  files.files[folder + "My Saver0.jpg"] = Jpeg(512, 512, 0x000000FF);
  files.files[folder + "My Saver1.jpg"] = Jpeg(300, 200, 0x00FF0000);  // not from the builder
  EXPECT_EQ(RunConverter(files, folder, "pixolve.exe 2 My Saver"), kOk);
  for (int i = 0; i < 2; ++i) {
    photos::PixelImage img;
    std::string error;
    ASSERT_TRUE(photos::DecodeBmp(files.files[folder + "My Saver" + std::to_string(i) + ".bmp"], img, error));
    EXPECT_EQ(img.Width(), 512);
    EXPECT_EQ(img.Height(), 512);
  }
  EXPECT_EQ(files.files[folder + "My Saver1.bmp"][28], 24);
  EXPECT_EQ(files.files.count(folder + "pixolve.log"), 0u);
  EXPECT_EQ(files.files.count(folder + "My Saver0.jpg"), 1u);  // the JPEGs stay
}

TEST_F(Converter, MissingPhotoIsLoggedOthersStillConverted) {
  files.files[folder + "T0.jpg"] = Jpeg(512, 512, 0);
  files.files[folder + "T2.jpg"] = {0xFF, 0xD8, 0xFF, 0x00};  // damaged
  files.files[folder + "pixolve.log"] = {'o', 'l', 'd', '\r', '\n'};
  EXPECT_EQ(RunConverter(files, folder, "pixolve.exe 3 T"), kConversionFailed);
  EXPECT_EQ(files.files.count(folder + "T0.bmp"), 1u);
  EXPECT_EQ(files.files.count(folder + "T1.bmp"), 0u);
  std::string log = Text(files.files[folder + "pixolve.log"]);
  EXPECT_EQ(log.rfind("old\r\n", 0), 0u);  // appended, not replaced
  EXPECT_NE(log.find("cannot read " + folder + "T1.jpg\r\n"), std::string::npos);
  EXPECT_NE(log.find("cannot decode " + folder + "T2.jpg"), std::string::npos);
}

// An installed photo declaring a size no photo may cost is a log line like any other
// failure, within the memory one photo may take; the photos after it are converted.
TEST_F(Converter, PhotosTooLargeToDecodeAreLoggedWithinTheMemoryLimit) {
  files.files[folder + "T0.jpg"] = testjpeg::DeclaringSize(65500, 65500, true);
  files.files[folder + "T1.jpg"] = testjpeg::DeclaringSize(20000, 15000, true, false);
  files.files[folder + "T2.jpg"] = Jpeg(512, 512, 0);
  testsupport::LimitedRun run = testsupport::RunUnderMemoryLimit(photos::kPhotoMemoryLimit, [&] {
    if (RunConverter(files, folder, "pixolve.exe 3 T") != kConversionFailed) return 1;
    if (files.files.count(folder + "T2.bmp") != 1 || files.files.count(folder + "T0.bmp") != 0) return 2;
    const std::string log = Text(files.files[folder + "pixolve.log"]);
    for (const char* line : {"T0.jpg: picture too large to decode (65500 x 65500)\r\n",
                             "T1.jpg: picture too large to decode (20000 x 15000)\r\n"})
      if (log.find("cannot decode " + folder + line) == std::string::npos) return 3;
    return 0;
  });
  EXPECT_TRUE(run.returned) << "over the limit: " << run.overLimit;
  EXPECT_EQ(run.result, 0);
}

TEST_F(Converter, BadCommandLineIsLoggedWithItsOwnCode) {
  EXPECT_EQ(RunConverter(files, folder, "pixolve.exe"), kBadCommandLine);
  std::string log = Text(files.files[folder + "pixolve.log"]);
  EXPECT_NE(log.find("usage"), std::string::npos);
  EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
}

namespace {

// The [UninstallDelete] file patterns of a setup script, below {app}.
std::vector<std::string> UninstallPatterns(const std::string& script) {
  std::vector<std::string> patterns;
  const std::string start = "Type: files; Name: \"{app}\\";
  for (size_t at = script.find(start); at != std::string::npos; at = script.find(start, at + 1)) {
    const size_t from = at + start.size();
    patterns.push_back(script.substr(from, script.find('"', from) - from));
  }
  return patterns;
}

// Windows' match of a name against a pattern with '*', letter case aside.
bool Matches(std::string_view name, std::string_view pattern) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*')
    return Matches(name, pattern.substr(1)) || (!name.empty() && Matches(name.substr(1), pattern));
  return !name.empty() && std::tolower((unsigned char)name[0]) == std::tolower((unsigned char)pattern[0]) &&
         Matches(name.substr(1), pattern.substr(1));
}

}  // namespace

// Whatever the converter writes into the install folder (its bitmaps, and its log when a
// photo failed) is named by the uninstaller's list, so uninstalling leaves no folder.
TEST_F(Converter, TheUninstallerRemovesEverythingTheConverterWrote) {
  const std::string title = " My Saver";  // a leading blank, as the builder allows
  files.files[folder + title + "0.jpg"] = Jpeg(512, 512, 0x000000FF);
  files.files[folder + title + "1.jpg"] = {0xFF, 0xD8, 0xFF, 0x00};  // damaged: a log line
  const std::set<std::string> installed = {folder + title + "0.jpg", folder + title + "1.jpg"};
  EXPECT_EQ(RunConverter(files, folder, "pixolve.exe 2 " + title), kConversionFailed);
  const std::vector<std::string> patterns =
      UninstallPatterns(output::SetupScriptText({title, "C:\\B\\", false, 2, "C:\\P\\"}));
  int written = 0;
  for (const auto& [path, bytes] : files.files) {
    if (installed.count(path)) continue;  // the uninstaller removes what it installed
    ++written;
    const std::string name = path.substr(folder.size());
    EXPECT_TRUE(std::any_of(patterns.begin(), patterns.end(),
                            [&](const std::string& p) { return Matches(name, p); }))
        << "\"" << name << "\" would stay in the install folder";
  }
  EXPECT_EQ(written, 2);  // " My Saver0.bmp" and pixolve.log
}
