#include "common/trailer.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/bytes.h"

using namespace prismora::trailer;
namespace b = prismora::bytes;

namespace {
// Trailer offset -> builder record offset.
std::size_t R(std::size_t trailerOffset) { return trailerOffset - kBuilderRecordOffset; }

BuilderRecordFields Fields() {
  BuilderRecordFields f;
  f.title = "Flowers";
  f.author = "Anna";
  f.email = "anna@example.com";
  f.website = "www.example.com";
  f.photoCount = 7;
  f.dialogColor = 0x00123456;
  return f;
}
}  // namespace

TEST(BuilderRecord, FieldsLandAtTheirOffsets) {
  BuilderRecord r = makeBuilderRecord(Fields());
  EXPECT_EQ(r.size(), 836u);
  EXPECT_EQ(b::readText(r, R(off::Title), 100), "Flowers");
  EXPECT_EQ(b::readText(r, R(off::Author), 100), "Anna");
  EXPECT_EQ(b::readText(r, R(off::Email), 100), "anna@example.com");
  EXPECT_EQ(b::readText(r, R(off::Website), 100), "http://www.example.com");
  EXPECT_EQ(b::readI32(r, R(off::PhotoCountCode)), 1568);
  EXPECT_EQ(r[R(off::PreviewFlag)], 0);
  EXPECT_EQ(b::readU32(r, R(off::DialogColor)), 0x00123456u);
  // Little-endian: red in the lowest byte.
  EXPECT_EQ(r[R(off::DialogColor)], 0x56);
  EXPECT_EQ(r[R(off::DialogColor) + 3], 0x00);

  setPreviewFlag(r, true);
  EXPECT_EQ(r[R(off::PreviewFlag)], 1);
}

TEST(BuilderRecord, ReservedBytesAndFieldTailsAreZero) {
  BuilderRecordFields f = Fields();
  f.photoCount = 0;
  f.dialogColor = 0;
  BuilderRecord r = makeBuilderRecord(f);
  auto zero = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) ASSERT_EQ(r[R(i)], 0) << "trailer byte " << i;
  };
  zero(204, 208);
  zero(208 + 7, 308);   // after "Flowers" and its NUL
  zero(308, 408);
  zero(708, 1028);
  zero(1028, 1040);
}

TEST(BuilderRecord, WebsitePrefixRule) {
  EXPECT_EQ(websiteForRecord("example.com"), "http://example.com");
  EXPECT_EQ(websiteForRecord("http://example.com"), "http://example.com");
  EXPECT_EQ(websiteForRecord("https://example.com"), "https://example.com");
  EXPECT_EQ(websiteForRecord("httpfoo"), "httpfoo");
  EXPECT_EQ(websiteForRecord("HTTP://EXAMPLE.COM"), "http://HTTP://EXAMPLE.COM");
  EXPECT_EQ(websiteForRecord("ht"), "http://ht");
  EXPECT_EQ(websiteForRecord("htt"), "http://htt");
  EXPECT_EQ(websiteForRecord(""), "http://");
}

TEST(BuilderRecord, LongTextsAreCutTo99CharactersAndTheirNul) {
  std::string longTitle(250, 'T');
  BuilderRecordFields f = Fields();
  f.title = longTitle;
  f.author = std::string(100, 'A');
  BuilderRecord r = makeBuilderRecord(f);
  EXPECT_EQ(b::readText(r, R(off::Title), 100), std::string(99, 'T'));
  EXPECT_EQ(r[R(off::Title) + 99], 0);
  EXPECT_EQ(r[R(off::Title) + 100], 0);  // next field (reserved) untouched
  EXPECT_EQ(b::readText(r, R(off::Author), 100), std::string(99, 'A'));
  EXPECT_EQ(b::readText(r, R(off::Email), 100), "anna@example.com");
}

TEST(Trailer, RuntimeReadsWhatTheToolsAndTheBuilderWrote) {
  TemplateBlockFields tf;
  tf.animEnd = 479;
  tf.speed = 50;
  tf.cameraPosition = {77.895f, 1.34228f, -41.1065f};
  tf.cameraDirection = {-0.883919f, 0.0630946f, 0.463365f};
  tf.cameraUp = {0.457236f, -0.09125f, 0.884652f};
  tf.trailsFlag = true;
  tf.trailCount = 3;
  tf.backgroundColor = 0x00332211;
  TemplateBlock tb = makeTemplateBlock(tf);
  BuilderRecord br = makeBuilderRecord(Fields());

  // A file: some program bytes, then the template block, then the record.
  std::vector<uint8_t> file(5000, 0xCC);
  file.insert(file.end(), tb.begin(), tb.end());
  file.insert(file.end(), br.begin(), br.end());
  Trailer t = Trailer::fromFileTail(file);

  EXPECT_EQ(t.animEnd(), 479u);
  EXPECT_EQ(t.speed(), 50);
  EXPECT_FLOAT_EQ(t.cameraPosition().x, 77.895f);
  EXPECT_FLOAT_EQ(t.cameraDirection().z, 0.463365f);
  EXPECT_FLOAT_EQ(t.cameraUp().y, -0.09125f);
  EXPECT_EQ(t.speedMax(), 90);
  EXPECT_EQ(t.speedMin(), 10);
  EXPECT_TRUE(t.eraseFlag());
  EXPECT_EQ(t.clearMode(), 3);
  EXPECT_TRUE(t.trailsFlag());
  EXPECT_EQ(t.trailCount(), 3);
  EXPECT_EQ(t.backgroundColor(), 0x00332211u);
  EXPECT_EQ(t.backgroundColor3D(), 0xFF112233u);
  EXPECT_EQ(t.title(), "Flowers");
  EXPECT_EQ(t.website(), "http://www.example.com");
  EXPECT_EQ(t.photoCount(), 7);
  EXPECT_EQ(t.dialogColor(), 0x00123456u);
  // Bytes 204..207 belong to the display block but come from the builder record.
  EXPECT_EQ(t.display[204], 0);
}

TEST(Trailer, PhotoCountNeverZero) {
  Trailer t;
  auto withCode = [&](int32_t code) {
    b::writeI32(t.info, off::PhotoCountCode - kInfoBlockOffset, code);
    return t.photoCount();
  };
  EXPECT_EQ(withCode(0), 4);  // 1000 / 224
  EXPECT_EQ(withCode(224), 1);
  EXPECT_EQ(withCode(1), 1);
  EXPECT_EQ(withCode(223), 1);
  EXPECT_EQ(withCode(-5000), 1);
  EXPECT_EQ(withCode(224 * 250), 250);
}

TEST(Trailer, SpeedPerTickIsSinglePrecision) {
  Trailer t;
  t.setSpeed(50);
  EXPECT_EQ(t.speedPerTick(), 50.0f * 0.02f * 0.1f);
  EXPECT_NEAR(t.speedPerTick(), 0.1f, 1e-6);
  t.setSpeed(10);
  EXPECT_NEAR(t.speedPerTick(), 0.02f, 1e-6);
}

TEST(Trailer, ShortFilesAndRegistryCopies) {
  std::vector<uint8_t> tiny(10, 7);
  Trailer t = Trailer::fromFileTail(tiny);
  EXPECT_EQ(t.display[0], 0);
  EXPECT_EQ(t.info[kInfoBlockSize - 1], 7);

  std::vector<uint8_t> reg(208, 0);
  reg[off::EraseFlag] = 0;
  reg[off::Speed] = 80;
  t.display[off::EraseFlag] = 1;
  EXPECT_TRUE(t.applyRegistryCopy(reg));
  EXPECT_EQ(t.speed(), 80);
  EXPECT_EQ(t.clearMode(), 2);

  std::vector<uint8_t> wrong(200, 0xFF);
  EXPECT_FALSE(t.applyRegistryCopy(wrong));
  EXPECT_EQ(t.speed(), 80);
}

TEST(Trailer, PhotoChangeIntervalTravelsInTheRecordsReservedBytes) {
  BuilderRecordFields f = Fields();
  f.photoChangeSeconds = 8;
  BuilderRecord r = makeBuilderRecord(f);
  EXPECT_EQ(b::readI32(r, R(708)), 8);
  std::vector<uint8_t> file(300, 0xCC);
  file.insert(file.end(), r.begin(), r.end());
  EXPECT_EQ(Trailer::fromFileTail(file).photoChangeSeconds(), 8);

  // A record from a builder before the interval: zero, photos stay as chosen at start.
  EXPECT_EQ(Trailer::fromFileTail(std::vector<uint8_t>(1040, 0)).photoChangeSeconds(), 0);

  // Out of range on either side: stored and read within 0..3600.
  f.photoChangeSeconds = 1 << 30;
  EXPECT_EQ(b::readI32(makeBuilderRecord(f), R(708)), kMaxPhotoChangeSeconds);
  Trailer t;
  b::writeI32(t.info, 708 - kInfoBlockOffset, -5);
  EXPECT_EQ(t.photoChangeSeconds(), 0);
  b::writeI32(t.info, 708 - kInfoBlockOffset, 99999);
  EXPECT_EQ(t.photoChangeSeconds(), kMaxPhotoChangeSeconds);
}

TEST(BuilderRecord, TextsAreCutBetweenCharactersOfTheCodePage) {
  // 50 characters of two bytes in code page 936 are 100 bytes; the field keeps 99, so the
  // cut keeps 49 whole ones rather than 49 and a half.
  BuilderRecordFields f = Fields();
  f.author.clear();
  for (int i = 0; i < 50; ++i) f.author += "\xD5\xC5";
  f.lead = prismora::text::LeadBytes::ForCodePage(936);
  BuilderRecord r = makeBuilderRecord(f);
  EXPECT_EQ(b::readText(r, R(off::Author), kTextFieldWidth), f.author.substr(0, 98));
  f.lead = {};
  r = makeBuilderRecord(f);
  EXPECT_EQ(b::readText(r, R(off::Author), kTextFieldWidth), f.author.substr(0, 99));
}
