// Every form a .x file comes in: text and binary, 32- and 64-bit floats, plain and
// compressed, written from known documents and read back; damaged compressed files.
#include <gtest/gtest.h>

#include <string>

#include "engine/xfile/mszip.h"
#include "engine/xfile/reader.h"
#include "engine/xfile/writer.h"
#include "tools/scenegen/templates.h"

using namespace prismora;
using namespace prismora::engine::xfile;

namespace {

struct Form {
  const char* name;
  XFileForm form;
  const char* header;
};

const Form kForms[] = {
    {"text", {.text = true}, "xof 0302txt 0032"},
    {"text, 64-bit floats", {.text = true, .doubles = true}, "xof 0302txt 0064"},
    {"binary", {}, "xof 0302bin 0032"},
    {"binary, 64-bit floats", {.doubles = true}, "xof 0302bin 0064"},
    {"compressed text", {.text = true, .compressed = true}, "xof 0303tzip0032"},
    {"compressed binary", {.compressed = true}, "xof 0303bzip0032"},
    {"compressed binary, 64-bit floats", {.doubles = true, .compressed = true}, "xof 0303bzip0064"},
};

uint16_t u16At(const std::vector<uint8_t>& b, std::size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
void putU32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Offsets (in the whole file) of each compressed block's header.
std::vector<std::size_t> blockOffsets(const std::vector<uint8_t>& file) {
  std::vector<std::size_t> at;
  for (std::size_t p = 20; p + 6 <= file.size(); p += 4 + u16At(file, p + 2)) at.push_back(p);
  return at;
}

std::vector<uint8_t> compressedScene(int templ, bool text) {
  return writeXFile(scenegen::buildTemplate(templ).document, {.text = text, .compressed = true});
}

}  // namespace

TEST(XFileFormsTest, EveryTemplateSceneSurvivesEveryForm) {
  for (int templ = 0; templ < scenegen::kTemplateCount; ++templ) {
    const XDocument doc = scenegen::buildTemplate(templ).document;
    for (const Form& f : kForms) {
      SCOPED_TRACE(std::string(f.name) + ", template " + std::to_string(templ));
      std::vector<uint8_t> bytes = writeXFile(doc, f.form);
      ASSERT_GE(bytes.size(), 16u);
      EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 16), f.header);
      ReadResult back = readXFile(bytes);
      ASSERT_TRUE(back.ok()) << back.error;
      EXPECT_EQ(back.document, doc);
      EXPECT_EQ(writeXFile(back.document, f.form), bytes);
    }
  }
}

TEST(XFileFormsTest, TextLooksAsExportersWriteIt) {
  XDocument doc = scenegen::buildTemplate(scenegen::kShippedTemplate).document;
  std::vector<uint8_t> bytes = writeXFile(doc, {.text = true});
  std::string text(bytes.begin(), bytes.end());
  // A material's colour is a structure (`;;`), its power a lone member; arrays of
  // vectors separate their items with `;,` and end with `;;`; a key's values too.
  EXPECT_NE(text.find("Material " + doc.materials.at(0).name + " {\n 1;1;1;1;;\n 17;\n"), std::string::npos);
  EXPECT_NE(text.find(";,\n"), std::string::npos);
  EXPECT_NE(text.find(" TextureFilename {\n  \""), std::string::npos);
  EXPECT_NE(text.find("AnimationKey {\n"), std::string::npos);
  EXPECT_EQ(text.find("nan"), std::string::npos);
}

TEST(XFileFormsTest, CompressedFilesSpanSeveralBlocksThatReachBackIntoEarlierOnes) {
  std::vector<uint8_t> file = compressedScene(0, true);
  std::vector<std::size_t> blocks = blockOffsets(file);
  ASSERT_GE(blocks.size(), 2u);
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    EXPECT_EQ(file[blocks[b] + 4], 'C');
    EXPECT_EQ(file[blocks[b] + 5], 'K');
    EXPECT_LE(u16At(file, blocks[b]), 32768u);
  }
  EXPECT_EQ(blocks.back() + 4 + u16At(file, blocks.back() + 2), file.size());

  // Without the first block the second one's back references have nothing to reach.
  std::vector<uint8_t> cut(file.begin(), file.begin() + 20);
  cut.insert(cut.end(), file.begin() + static_cast<std::ptrdiff_t>(blocks[1]), file.end());
  uint32_t total = static_cast<uint32_t>(file[16] | file[17] << 8 | file[18] << 16 | file[19] << 24);
  putU32(cut, 16, total - u16At(file, blocks[0]));
  ReadResult r = readXFile(cut);
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.error.find("compressed block 0"), std::string::npos) << r.error;
}

TEST(XFileFormsTest, SizeFieldCountingTheBodyAloneIsReadToo) {
  std::vector<uint8_t> file = compressedScene(1, false);
  uint32_t total = static_cast<uint32_t>(file[16] | file[17] << 8 | file[18] << 16 | file[19] << 24);
  putU32(file, 16, total - 16);
  ReadResult r = readXFile(file);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.document, scenegen::buildTemplate(1).document);
}

TEST(XFileFormsTest, DamagedCompressedFilesGiveReasons) {
  const std::vector<uint8_t> good = compressedScene(2, false);
  const std::vector<std::size_t> blocks = blockOffsets(good);
  ASSERT_GE(blocks.size(), 2u);
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    const char* reasonPart;
  };
  auto patched = [&](auto change) {
    std::vector<uint8_t> f = good;
    change(f);
    return f;
  };
  std::vector<Case> cases{
      {"deflate data of the second block scrambled",
       patched([&](auto& f) { for (std::size_t i = 8; i < 40; ++i) f[blocks[1] + i] ^= 0x5A; }),
       "compressed block 1"},
      {"no signature", patched([&](auto& f) { f[blocks[1] + 4] = 'X'; }), "\"CK\""},
      {"stored size past the end", patched([&](auto& f) { f[blocks[1] + 2] = f[blocks[1] + 3] = 0xFF; }), "runs past"},
      {"block larger than it says",
       patched([&](auto& f) { uint16_t n = static_cast<uint16_t>(u16At(f, blocks[0]) - 1); f[blocks[0]] = n & 0xFF; f[blocks[0] + 1] = n >> 8; }),
       "more than its size"},
      {"size field of 4 GB", patched([&](auto& f) { putU32(f, 16, 0xFFFFFFFF); }), "more than the limit of 64 MB"},
      {"size field just over the limit",
       patched([&](auto& f) { putU32(f, 16, static_cast<uint32_t>(kMaxInflatedBody + 17)); }), "more than the limit of 64 MB"},
      {"size field shorter than the blocks", patched([&](auto& f) { putU32(f, 16, 100); }), "beyond the file's size field"},
      {"size field longer than the blocks", patched([&](auto& f) { putU32(f, 16, static_cast<uint32_t>(f.size() * 40)); }),
       "ends inside the block header"},
      {"last block cut short", patched([&](auto& f) {
         f.resize(f.size() - 5);
         uint16_t n = static_cast<uint16_t>(u16At(f, blocks.back() + 2) - 5);
         f[blocks.back() + 2] = n & 0xFF;
         f[blocks.back() + 3] = n >> 8;
       }),
       "ends early"},
      {"header alone", std::vector<uint8_t>(good.begin(), good.begin() + 16), "compressed"},
  };
  for (const Case& c : cases) {
    ReadResult r = readXFile(c.file);
    EXPECT_FALSE(r.ok()) << c.what;
    EXPECT_NE(r.error.find(c.reasonPart), std::string::npos) << c.what << " -> " << r.error;
  }
}

TEST(XFileFormsTest, InflatingStopsAtTheDeclaredSize) {
  // Small blocks that inflate to much more than a lying size field declares.
  std::vector<uint8_t> body(200000, 'x');
  std::vector<uint8_t> blocks = deflateBody(body);
  ASSERT_LT(blocks.size(), 2000u);  // repetitive: the blocks are small
  std::vector<uint8_t> inflated;
  std::string error;
  ASSERT_TRUE(inflateBody(blocks, inflated, error)) << error;
  EXPECT_EQ(inflated, body);
  putU32(blocks, 0, 1000);  // a liar: only 984 bytes of body
  EXPECT_FALSE(inflateBody(blocks, inflated, error));
  EXPECT_TRUE(inflated.size() < 1000u) << inflated.size();
}
