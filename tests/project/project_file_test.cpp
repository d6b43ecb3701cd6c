#include "builder/project/project_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <random>

#include "common/bytes.h"
#include "tests/support/fake_seams.h"

using namespace prismora::project;
namespace rec = prismora::project::record;

namespace {

ProjectSettings EverySettingChanged() {
  ProjectSettings s;
  s.Title = "Autumn Leaves";
  s.Author = "Jonas Berg";
  s.Email = "jonas@example.org";
  s.Website = "https://photos.example.org";
  s.LicenseEnabled = false;
  s.LicenseText = "Line one\r\nLine two\r\n\r\nLast line";
  s.WizardImageFile = "C:\\art\\big wizard.bmp";
  s.WizardSmallImageFile = "C:\\art\\small.bmp";
  s.DialogBoxColor = 0x00123456;
  s.TemplateIndex = 5;
  s.BorderColor = 0x00ABCDEF;
  s.ResizeMethod = kResizePictures;
  s.EraseBackground = true;
  s.Photos = {"C:\\photos\\a.jpg", "D:\\x y\\b.JPEG", "C:\\photos\\a.jpg"};
  s.PhotoChangeSeconds = 9;
  return s;
}

std::vector<std::string> PhotosOfLength(std::size_t count, std::size_t pathLength) {
  std::vector<std::string> photos;
  for (std::size_t i = 0; i < count; ++i) {
    std::string p = "C:\\p\\" + std::to_string(i) + "_";
    p.resize(pathLength, 'x');
    photos.push_back(p);
  }
  return photos;
}

}  // namespace

TEST(ProjectRecord, RoundTripsEveryStoredSetting) {
  ProjectSettings s = EverySettingChanged();
  EncodedProject e = EncodeProjectRecord(s);
  ASSERT_EQ(e.bytes.size(), 36364u);
  EXPECT_EQ(e.photosNotSaved, 0);

  ProjectSettings back;  // RandomColor is not stored: it keeps the reader's value
  back.RandomColor = false;
  DecodeProjectRecord(e.bytes, back);
  s.RandomColor = false;
  EXPECT_EQ(back, s);
}

TEST(ProjectRecord, LayoutAtItsOffsets) {
  ProjectSettings s = EverySettingChanged();
  std::vector<uint8_t> b = EncodeProjectRecord(s).bytes;
  namespace by = prismora::bytes;
  EXPECT_EQ(by::readText(b, 0, 200), "Autumn Leaves");
  EXPECT_EQ(by::readText(b, 200, 100), "Jonas Berg");
  EXPECT_EQ(b[500], 0);
  EXPECT_EQ(by::readText(b, 15819, 255), "C:\\art\\big wizard.bmp");
  EXPECT_EQ(by::readText(b, 16329, 20003),
            "C:\\photos\\a.jpg\r\nD:\\x y\\b.JPEG\r\nC:\\photos\\a.jpg\r\n");
  EXPECT_EQ(by::readU32(b, 36332), 0x00123456u);
  EXPECT_EQ(by::readI32(b, 36336), 5);
  EXPECT_EQ(by::readI32(b, 36340), 1);
  EXPECT_EQ(by::readI32(b, 36344), 2);
  EXPECT_EQ(by::readU32(b, 36348), 0x00ABCDEFu);
  EXPECT_EQ(by::readI32(b, 36352), 0);
  EXPECT_EQ(by::readI32(b, 36356), 0);
  EXPECT_EQ(b[36360], 1);
  // The reserved block holds only the photo change interval; no companion is named.
  EXPECT_EQ(by::readI32(b, 15509), 9);
  for (std::size_t i = 15501; i < 15501 + 318; ++i) {
    if (i >= 15509 && i < 15513) continue;
    ASSERT_EQ(b[i], 0) << i;
  }
  EXPECT_EQ(b[36361] | b[36362] | b[36363], 0);
}

TEST(ProjectRecord, EmptyProjectHasALoneTerminatorAsPhotoList) {
  ProjectSettings s;
  ApplyNewProject(s);
  std::vector<uint8_t> b = EncodeProjectRecord(s).bytes;
  EXPECT_EQ(b[rec::kPhotoList], 0);
  ProjectSettings back = EverySettingChanged();
  DecodeProjectRecord(b, back);
  EXPECT_TRUE(back.Photos.empty());
}

TEST(ProjectRecord, TextsAreCutToTheirFieldWidthMinusOne) {
  ProjectSettings s;
  s.Title = std::string(250, 'T');
  s.Author = std::string(300, 'A');
  s.LicenseText = std::string(20000, 'L');
  s.WizardImageFile = std::string(400, 'W');
  std::vector<uint8_t> b = EncodeProjectRecord(s).bytes;
  EXPECT_EQ(b[199], 0);
  ProjectSettings back;
  DecodeProjectRecord(b, back);
  EXPECT_EQ(back.Title, std::string(199, 'T'));
  EXPECT_EQ(back.Author, std::string(99, 'A'));
  EXPECT_EQ(back.LicenseText, std::string(14999, 'L'));
  EXPECT_EQ(back.WizardImageFile, std::string(254, 'W'));
  EXPECT_EQ(back.Email, s.Email);  // neighbours untouched
}

TEST(ProjectRecord, TextsAreCutBetweenCharactersOfTheCodePage) {
  // Code page 932: "表" is 0x95 0x5C. A title of 100 of them is 200 bytes; the field keeps
  // 199, so one byte short of a whole character the cut goes back to 198.
  const auto sjis = prismora::text::LeadBytes::ForCodePage(932);
  ProjectSettings s;
  s.Title.clear();
  for (int i = 0; i < 100; ++i) s.Title += "\x95\x5C";
  s.Author = "a" + s.Title.substr(0, 100);  // 101 bytes: "a" and 49 whole characters fit in 99
  std::vector<uint8_t> b = EncodeProjectRecord(s, {}, sjis).bytes;
  ProjectSettings back;
  DecodeProjectRecord(b, back);
  EXPECT_EQ(back.Title, s.Title.substr(0, 198));
  EXPECT_EQ(back.Author, s.Author.substr(0, 99));
  // Byte by byte the same title would end on a first half.
  DecodeProjectRecord(EncodeProjectRecord(s).bytes, back);
  EXPECT_EQ(back.Title.size(), 199u);
}

TEST(ProjectRecord, OverflowingPhotoListKeepsWholeLinesAndCountsTheRest) {
  ProjectSettings s;
  // Lines of 200 + CR LF = 202 bytes: 99 of them (19998 bytes) fit before the NUL.
  s.Photos = PhotosOfLength(120, 200);
  s.DialogBoxColor = 0x00010203;
  EncodedProject e = EncodeProjectRecord(s);
  EXPECT_EQ(e.photosNotSaved, 120 - 99);
  ProjectSettings back;
  DecodeProjectRecord(e.bytes, back);
  ASSERT_EQ(back.Photos.size(), 99u);
  EXPECT_EQ(back.Photos.back(), s.Photos[98]);
  EXPECT_EQ(back.DialogBoxColor, 0x00010203u);  // the next field was not overrun
}

TEST(ProjectRecord, PhotoListFillingTheFieldExactly) {
  ProjectSettings s;
  // 20002 bytes of text + NUL fill the field exactly: 2 lines of 10001 - 2 chars.
  s.Photos = PhotosOfLength(2, 9999);
  EncodedProject e = EncodeProjectRecord(s);
  EXPECT_EQ(e.photosNotSaved, 0);
  EXPECT_EQ(e.bytes[rec::kPhotoList + 20002], 0);
  s.Photos[1].push_back('z');  // one byte more no longer fits
  EXPECT_EQ(EncodeProjectRecord(s).photosNotSaved, 1);
}

TEST(ProjectRecord, IndicesOutsideTheItemsMeanNoSelection) {
  ProjectSettings s;
  for (int32_t bad : {-5, 1000000, INT32_MIN}) {
    s.TemplateIndex = bad;
    s.ResizeMethod = bad;
    ProjectSettings back;
    DecodeProjectRecord(EncodeProjectRecord(s).bytes, back);
    EXPECT_EQ(back.TemplateIndex, -1) << bad;
    EXPECT_EQ(back.ResizeMethod, -1) << bad;
  }
  s.TemplateIndex = 5;
  s.ResizeMethod = 2;
  ProjectSettings back;
  DecodeProjectRecord(EncodeProjectRecord(s).bytes, back);
  EXPECT_EQ(back.TemplateIndex, 5);
  EXPECT_EQ(back.ResizeMethod, -1);
  // Imported templates are numbered after the six, and their numbers are kept.
  for (int32_t imported : {6, 17, kLastTemplateIndex}) {
    s.TemplateIndex = imported;
    DecodeProjectRecord(EncodeProjectRecord(s).bytes, back);
    EXPECT_EQ(back.TemplateIndex, imported);
  }
}

TEST(ProjectRecord, AnyNonZeroByteIsTrue) {
  std::vector<uint8_t> b = EncodeProjectRecord(ProjectSettings{}).bytes;
  b[rec::kLicenseEnabled] = 0x80;
  b[rec::kEraseBackground] = 7;
  ProjectSettings back;
  back.LicenseEnabled = false;
  DecodeProjectRecord(b, back);
  EXPECT_TRUE(back.LicenseEnabled);
  EXPECT_TRUE(back.EraseBackground);
}

TEST(ProjectRecord, EveryTruncationReadsAsZeroPadded) {
  std::vector<uint8_t> full = EncodeProjectRecord(EverySettingChanged()).bytes;
  for (std::size_t n = 0; n <= full.size(); ++n) {
    std::vector<uint8_t> cut(full.begin(), full.begin() + n);  // exact size: ASan sees overreads
    std::vector<uint8_t> padded = cut;
    padded.resize(full.size(), 0);
    ProjectSettings a, b;
    DecodeProjectRecord(cut, a);
    DecodeProjectRecord(padded, b);
    ASSERT_EQ(a, b) << "cut at " << n;
  }
}

TEST(ProjectRecord, GarbageNeverEscapesItsFields) {
  std::vector<uint8_t> full = EncodeProjectRecord(EverySettingChanged()).bytes;
  std::mt19937 rng(20261207);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> b = full;
    if (round % 3 == 0) {
      for (auto& byte : b) byte = uint8_t(rng());  // no terminators anywhere
    } else {
      for (int k = 0; k < 200; ++k) b[rng() % b.size()] = uint8_t(rng());
    }
    ProjectSettings s;
    DecodeProjectRecord(b, s);
    ASSERT_LE(s.Title.size(), 200u);
    ASSERT_LE(s.LicenseText.size(), 15000u);
    ASSERT_LE(s.WizardSmallImageFile.size(), 255u);
    std::size_t listBytes = 0;
    for (const auto& p : s.Photos) listBytes += p.size();
    ASSERT_LE(listBytes, 20003u);
    ASSERT_GE(s.TemplateIndex, -1);
    ASSERT_LE(s.TemplateIndex, kLastTemplateIndex);
    ASSERT_GE(s.ResizeMethod, -1);
    ASSERT_LE(s.ResizeMethod, 1);
    // What was read writes back without error and stays a full record.
    ASSERT_EQ(EncodeProjectRecord(s).bytes.size(), rec::kSize);
  }
}

TEST(ProjectRecord, PhotoListSplitsAtCrLfOnly) {
  EXPECT_EQ(SplitPhotoList("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitPhotoList("a\r\nlast"), (std::vector<std::string>{"a", "last"}));
  EXPECT_EQ(SplitPhotoList("a\nb\r\n\r\nc"), (std::vector<std::string>{"a\nb", "c"}));
  EXPECT_TRUE(SplitPhotoList("").empty());
}

TEST(ProjectFile, SaveThenLoadThroughTheFileSystem) {
  prismora::testsupport::FakeFiles fs;
  ProjectSettings s = EverySettingChanged();
  SaveResult r = SaveProjectFile("C:\\p\\x.pmj", s, fs);
  EXPECT_TRUE(r.written);
  EXPECT_EQ(fs.files["C:\\p\\x.pmj"].size(), 36364u);
  auto loaded = LoadProjectFile("C:\\p\\x.pmj", ProjectSettings{}, fs);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(*loaded, s);
}

TEST(ProjectFile, UnreadableFileResetsOnlyTheTwoIndices) {
  prismora::testsupport::FakeFiles fs;
  ProjectSettings s = EverySettingChanged();
  ProjectSettings expected = s;
  expected.TemplateIndex = 0;
  expected.ResizeMethod = 1;
  EXPECT_FALSE(ReadProjectInto("C:\\missing.pmj", s, fs));
  EXPECT_EQ(s, expected);
}

TEST(ProjectFile, BytesAfterTheRecordAreIgnoredAndShortFilesRead) {
  prismora::testsupport::FakeFiles fs;
  std::vector<uint8_t> b = EncodeProjectRecord(EverySettingChanged()).bytes;
  b.resize(50000, 'Z');
  fs.files["long.pmj"] = b;
  fs.files["short.pmj"] = std::vector<uint8_t>{'H', 'i'};
  ProjectSettings s;
  ASSERT_TRUE(ReadProjectInto("long.pmj", s, fs));
  EXPECT_EQ(s.Title, "Autumn Leaves");
  ASSERT_TRUE(ReadProjectInto("short.pmj", s, fs));
  EXPECT_EQ(s.Title, "Hi");
  EXPECT_EQ(s.Author, "");
  EXPECT_TRUE(s.Photos.empty());
  EXPECT_EQ(s.TemplateIndex, 0);
  EXPECT_EQ(s.ResizeMethod, 0);
  EXPECT_EQ(s.DialogBoxColor, 0u);
}

TEST(ProjectFile, AutoSavePathIsInTheBuilderFolder) {
  EXPECT_EQ(AutoSavePath("C:\\Program Files\\Prismora\\"), "C:\\Program Files\\Prismora\\AutoSave.pmj");
}

// ---- photo lists longer than the record: the companion file --------------------------

namespace {

std::vector<std::string> HolidayPhotos(int count) {
  std::vector<std::string> photos;
  for (int i = 0; i < count; ++i)
    photos.push_back("C:\\Users\\anna\\Pictures\\2024 Holiday\\IMG_" + std::to_string(1000 + i) + ".JPG");
  return photos;
}

// The record with the reserved block blanked, as builders before the companion wrote it.
std::vector<uint8_t> WithoutReservedBlock(std::vector<uint8_t> b) {
  std::fill_n(b.begin() + rec::kReserved, rec::kReservedWidth, 0);
  return b;
}

}  // namespace

TEST(ProjectCompanion, NamedAfterTheProjectFile) {
  EXPECT_EQ(CompanionPathFor("C:\\trip\\Holiday.pmj"), "C:\\trip\\Holiday.pml");
  EXPECT_EQ(CompanionPathFor("C:\\trip\\Holiday.PMJ"), "C:\\trip\\Holiday.pml");
  EXPECT_EQ(CompanionPathFor("C:\\trip\\Holiday.bak"), "C:\\trip\\Holiday.bak.pml");
  EXPECT_EQ(FileNameOf("C:\\trip\\Holiday.pml"), "Holiday.pml");
  EXPECT_EQ(FileNameOf("Holiday.pml"), "Holiday.pml");
}

TEST(ProjectCompanion, ALongListRoundTripsWholeAndTheRecordStaysTheOldLayout) {
  prismora::testsupport::FakeFiles fs;
  ProjectSettings s = EverySettingChanged();
  s.Photos = HolidayPhotos(5000);
  SaveResult r = SaveProjectFile("C:\\trip\\Holiday.pmj", s, fs);
  EXPECT_TRUE(r.written);
  EXPECT_EQ(r.photosNotSaved, 0);
  const std::vector<uint8_t>& record = fs.files.at("C:\\trip\\Holiday.pmj");
  ASSERT_EQ(record.size(), 36364u);
  ASSERT_TRUE(fs.files.count("C:\\trip\\Holiday.pml"));

  auto loaded = LoadProjectFile("C:\\trip\\Holiday.pmj", ProjectSettings{}, fs);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(*loaded, s);

  // What an older builder sees: outside the reserved block, byte for byte the record it
  // would have written itself, with every photo that fits in the list field.
  EncodedProject old = EncodeProjectRecord(s);
  EXPECT_GT(old.photosNotSaved, 0);
  EXPECT_EQ(WithoutReservedBlock(record), WithoutReservedBlock(old.bytes));
  ProjectSettings oldView;
  DecodeProjectRecord(record, oldView);
  const std::size_t fit = 5000 - std::size_t(old.photosNotSaved);
  ASSERT_EQ(oldView.Photos.size(), fit);
  EXPECT_TRUE(std::equal(oldView.Photos.begin(), oldView.Photos.end(), s.Photos.begin()));
}

TEST(ProjectCompanion, MovedOrRenamedWithItsProjectOrTheProjectRenamedAlone) {
  prismora::testsupport::FakeFiles fs;
  ProjectSettings s;
  s.Photos = HolidayPhotos(600);
  ASSERT_TRUE(SaveProjectFile("C:\\trip\\Holiday.pmj", s, fs).written);
  auto record = fs.files.at("C:\\trip\\Holiday.pmj");
  auto companion = fs.files.at("C:\\trip\\Holiday.pml");
  fs.files.clear();

  // Both moved and renamed together.
  fs.files["E:\\backup\\Trip.pmj"] = record;
  fs.files["E:\\backup\\Trip.pml"] = companion;
  std::string missing;
  auto moved = LoadProjectFile("E:\\backup\\Trip.pmj", ProjectSettings{}, fs, &missing);
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->Photos, s.Photos);
  EXPECT_EQ(missing, "");

  // Only the project renamed: the companion is found under the name it was saved with.
  fs.files.clear();
  fs.files["E:\\backup\\Renamed.pmj"] = record;
  fs.files["E:\\backup\\Holiday.pml"] = companion;
  auto renamed = LoadProjectFile("E:\\backup\\Renamed.pmj", ProjectSettings{}, fs, &missing);
  ASSERT_TRUE(renamed);
  EXPECT_EQ(renamed->Photos, s.Photos);
  EXPECT_EQ(missing, "");
}

TEST(ProjectCompanion, MissingForeignOrDamagedCompanionKeepsTheRecordsPhotos) {
  prismora::testsupport::FakeFiles fs;
  ProjectSettings s;
  s.Photos = HolidayPhotos(600);
  ASSERT_TRUE(SaveProjectFile("C:\\trip\\Holiday.pmj", s, fs).written);
  const auto companion = fs.files.at("C:\\trip\\Holiday.pml");
  const std::size_t fit = 600 - std::size_t(EncodeProjectRecord(s).photosNotSaved);

  auto expectRecordOnly = [&](const char* why) {
    std::string missing;
    auto loaded = LoadProjectFile("C:\\trip\\Holiday.pmj", ProjectSettings{}, fs, &missing);
    ASSERT_TRUE(loaded) << why;
    ASSERT_EQ(loaded->Photos.size(), fit) << why;
    EXPECT_TRUE(std::equal(loaded->Photos.begin(), loaded->Photos.end(), s.Photos.begin())) << why;
    EXPECT_EQ(missing, "C:\\trip\\Holiday.pml") << why;
  };

  fs.files.erase("C:\\trip\\Holiday.pml");
  expectRecordOnly("missing");

  // The companion of another save of the same project (a different list).
  ProjectSettings other;
  other.Photos = HolidayPhotos(700);
  fs.files["C:\\trip\\Holiday.pml"] = EncodeCompanion(other.Photos);
  expectRecordOnly("foreign");

  // Cut anywhere, or one byte changed, or a length that points past the end.
  std::mt19937 rng(24);
  for (int round = 0; round < 40; ++round) {
    auto bad = companion;
    if (round % 2 == 0) bad.resize(rng() % companion.size());
    else bad[rng() % bad.size()] ^= uint8_t(1 + rng() % 255);
    fs.files["C:\\trip\\Holiday.pml"] = bad;
    expectRecordOnly("damaged");
  }
  auto longLength = companion;
  prismora::bytes::writeU32(longLength, companion::kTextLength, 0xFFFFFFF0u);
  fs.files["C:\\trip\\Holiday.pml"] = longLength;
  expectRecordOnly("length past the end");
}

TEST(ProjectCompanion, ARecordWithoutTheMarkIgnoresAnyCompanionBesideIt) {
  // An older builder saved over the project: its reserved block is zero, so a companion
  // left from an earlier save must not bring back photos that builder removed.
  prismora::testsupport::FakeFiles fs;
  ProjectSettings s;
  s.Photos = HolidayPhotos(600);
  ASSERT_TRUE(SaveProjectFile("C:\\trip\\Holiday.pmj", s, fs).written);
  auto& record = fs.files.at("C:\\trip\\Holiday.pmj");
  record = WithoutReservedBlock(record);
  std::string missing;
  auto loaded = LoadProjectFile("C:\\trip\\Holiday.pmj", ProjectSettings{}, fs, &missing);
  ASSERT_TRUE(loaded);
  EXPECT_LT(loaded->Photos.size(), 600u);
  EXPECT_EQ(missing, "");

  // A list that fits writes no companion and names none.
  ProjectSettings small = EverySettingChanged();
  EncodedProject e = EncodeProjectRecord(small, "Holiday.pml");
  EXPECT_TRUE(e.companion.empty());
  EXPECT_EQ(prismora::bytes::readU32(e.bytes, rec::kCompanionPhotoCount), 0u);
}

TEST(ProjectRecord, PhotoChangeIntervalIsStoredAndOldRecordsReadAsZero) {
  ProjectSettings s;
  EXPECT_EQ(s.PhotoChangeSeconds, kDefaultPhotoChangeSeconds);
  s.PhotoChangeSeconds = 12;
  std::vector<uint8_t> b = EncodeProjectRecord(s).bytes;
  EXPECT_EQ(prismora::bytes::readI32(b, 15509), 12);
  ProjectSettings back;
  DecodeProjectRecord(b, back);
  EXPECT_EQ(back.PhotoChangeSeconds, 12);

  // A record from before the setting: reserved bytes zero, photos kept as chosen at start.
  DecodeProjectRecord(WithoutReservedBlock(b), back);
  EXPECT_EQ(back.PhotoChangeSeconds, 0);

  prismora::bytes::writeI32(b, 15509, -7);
  DecodeProjectRecord(b, back);
  EXPECT_EQ(back.PhotoChangeSeconds, 0);
  prismora::bytes::writeI32(b, 15509, 1 << 30);
  DecodeProjectRecord(b, back);
  EXPECT_EQ(back.PhotoChangeSeconds, kMaxPhotoChangeSeconds);
}
