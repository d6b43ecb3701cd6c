// Settings of a screen saver file: its trailer, replaced by a registry copy of exactly
// 208 bytes, written back in one piece.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/bytes.h"
#include "runtime/core/animation.h"
#include "runtime/win/settings_store.h"
#include "tests/runtime/win_support.h"

using namespace prismora;
using namespace prismora::testsupport;

namespace {

struct Settings : ::testing::Test {
  TempFolder dir;
  std::string scr;
  trailer::Trailer fromFile;

  void SetUp() override {
    trailer::BuilderRecordFields f;
    f.title = "Settings Test";
    f.photoCount = 2;
    scr = MakeScreenSaver(dir / "rtsets.scr", 0, f);
    DeleteKey(scr);
    fromFile = trailer::Trailer::fromFileTail(TempFolder::Read(scr));
  }
  void TearDown() override { DeleteKey(scr); }

  std::vector<uint8_t> Changed() const {
    trailer::Trailer t = fromFile;
    t.setSpeed(77);
    t.setEraseFlag(!fromFile.eraseFlag());
    t.setBackgroundColor(0x00123456);
    return {t.display.begin(), t.display.end()};
  }
};

}  // namespace

TEST_F(Settings, TrailerFromTheEndOfTheFileWithoutAKey) {
  trailer::Trailer t = runtime::LoadSettings(scr);
  EXPECT_EQ(t.title(), "Settings Test");
  EXPECT_EQ(t.photoCount(), 2);
  EXPECT_EQ(t.display, fromFile.display);
  // Reading never creates the key.
  EXPECT_TRUE(ReadValue(scr).empty());
}

TEST_F(Settings, RegistryCopyOverridesSpeedEraseFlagAndBackground) {
  WriteValue(scr, Changed());
  trailer::Trailer t = runtime::LoadSettings(scr);
  EXPECT_EQ(t.speed(), 77);
  EXPECT_EQ(t.eraseFlag(), !fromFile.eraseFlag());
  EXPECT_EQ(t.backgroundColor(), 0x00123456u);
  EXPECT_EQ(t.title(), "Settings Test");  // the info block always comes from the file
  runtime::Animation a = runtime::AnimationFromSettings(t);
  EXPECT_FLOAT_EQ(a.step, 77 * 0.02f * 0.1f);
  EXPECT_EQ(a.clear, t.eraseFlag() ? runtime::ScenePort::Clear::ColourAndDepth : runtime::ScenePort::Clear::DepthOnly);
}

TEST_F(Settings, ValuesOfAnyOtherLengthAreIgnored) {
  std::vector<uint8_t> value = Changed();
  for (std::size_t size : {0u, 100u, 207u, 209u, 400u}) {
    std::vector<uint8_t> v = value;
    v.resize(size, 0xAB);
    WriteValue(scr, v);
    EXPECT_EQ(runtime::LoadSettings(scr).display, fromFile.display) << size;
  }
}

TEST_F(Settings, SaveWritesTheWholeDisplayBlockAndTheFileStaysAsItWas) {
  std::vector<uint8_t> before = TempFolder::Read(scr);
  trailer::Trailer t = runtime::LoadSettings(scr);
  t.setSpeed(33);
  ASSERT_TRUE(runtime::SaveSettings(scr, t));
  std::vector<uint8_t> value = ReadValue(scr);
  ASSERT_EQ(value.size(), 208u);
  EXPECT_EQ(bytes::readI32(value, trailer::off::Speed), 33);
  EXPECT_EQ(runtime::LoadSettings(scr).speed(), 33);
  EXPECT_EQ(TempFolder::Read(scr), before);
}

TEST_F(Settings, KeyNameComesFromTheShortName) {
  std::string longName = dir / "A Long Screen Saver Name.scr";
  CopyFileA(scr.c_str(), longName.c_str(), FALSE);
  char shortPath[MAX_PATH] = {};
  GetShortPathNameA(longName.c_str(), shortPath, MAX_PATH);
  std::string expected = runtime::SettingsKeyName(shortPath);
  EXPECT_NE(expected, "A Long Screen Saver Name");
  trailer::Trailer t = runtime::LoadSettings(longName);
  ASSERT_TRUE(runtime::SaveSettings(longName, t));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(runtime::kSettingsKeyBase) + expected).c_str(), 0,
                          KEY_READ, &key),
            ERROR_SUCCESS);
  if (key) RegCloseKey(key);
  DeleteKey(longName);
}
