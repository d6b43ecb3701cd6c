// The builder's own photo readers (JPEG, WebP, TIFF, HEIC and AVIF) and the strip's thumbnail decoding
// on damaged copies of files the formats' tools made: truncations at many lengths and a
// few thousand seeded byte mutations must end in a picture or an error with its reason,
// never in a crash, a hang or a sanitizer report.
#include <gtest/gtest.h>

#include <random>

#include "builder/photos/own_thumbnail.h"
#include "builder/photos/photo_runs.h"
#include "tests/support/jpeg_maker.h"
#include "tests/support/native_tools.h"

using namespace prismora;
using namespace prismora::photos;

namespace {

constexpr int kW = 48, kH = 40;

std::string GradientPpm(const testsupport::ScratchFolder& folder) {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) rgb.insert(rgb.end(), {uint8_t(x * 5), uint8_t(y * 6), 90});
  testsupport::WritePpm(folder / "g.ppm", kW, kH, rgb);
  return folder / "g.ppm";
}

// One of each layout the readers have paths for.
std::vector<std::pair<std::string, std::vector<uint8_t>>> Seeds() {
  testsupport::ScratchFolder folder;
  const std::string src = GradientPpm(folder);
  // heif-enc and avifenc read PNG, not PPM, and heif-enc takes a palette PNG's indexes
  // for colours: ImageMagick is told to write every pixel's colour.
  const std::string png = folder / "g.png", alphaPng = folder / "ga.png";
  EXPECT_TRUE(testsupport::Run("convert " + src + " PNG24:" + png));
  EXPECT_TRUE(testsupport::Run("convert " + src + " -alpha set -channel A -evaluate set 50% PNG32:" + alphaPng));
  const std::pair<const char*, std::string> made[] = {
      {"q.heic", "heif-enc -q 60 " + png + " -o "},
      {"alpha.heic", "heif-enc -q 60 " + alphaPng + " -o "},
      {"q.avif", "avifenc -s 10 " + png + " "},
      {"deep.avif", "avifenc -s 10 -d 10 -y 444 " + alphaPng + " "},
      {"lossy.webp", "cwebp -quiet -q 80 " + src + " -o "},
      {"lossless.webp", "cwebp -quiet -lossless " + src + " -o "},
      {"alpha.webp", "convert " + src + " -alpha set -channel A -evaluate set 50% webp:"},
      {"anim.webp", "img2webp -lossy " + src + " " + src + " -o "},
      {"lzw.tif", "convert " + src + " -compress LZW "},
      {"jpeg.tif", "convert " + src + " -compress JPEG "},
      {"tiled16.tif", "convert " + src + " -depth 16 -define tiff:tile-geometry=16x16 "},
      {"fax.tif", "convert " + src + " -monochrome -compress Group4 "},
      {"big.tif", "convert " + src + " TIFF64:"},
      {"cmyk.jpg", "convert " + src + " -colorspace CMYK "},
      {"progressive.jpg", "convert " + src + " -interlace JPEG "},
  };
  std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
  for (const auto& [name, command] : made) {
    const bool tool = testsupport::Run(command + folder / name);
    EXPECT_TRUE(tool) << command;
    seeds.emplace_back(name, testsupport::ReadBytes(folder / name));
  }
  return seeds;
}

// Both decoders; the photo run's must give a reason whenever it gives no picture.
void DecodeBoth(const std::vector<uint8_t>& file) {
  DecodedPhoto photo;
  std::string error;
  auto texture = [](int w, int h) { return TextureDrawSize(true, w, h); };
  const OwnDecode result = DecodeOwnFormats(file, texture, photo, error, {}, 0x00102030);
  if (result == OwnDecode::Failed) {
    EXPECT_FALSE(error.empty());
  } else if (result == OwnDecode::Decoded) {
    EXPECT_FALSE(photo.pixels.Empty());
  }
  photos::DecodedThumbnail thumb;
  photos::DecodeOwnThumbnail(file, {60, 45}, thumb);
}

void Mutate(std::vector<uint8_t>& bytes, std::mt19937& rng) {
  const int edits = 1 + int(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    const size_t at = rng() % bytes.size();
    switch (rng() % 4) {
      case 0: bytes[at] = uint8_t(rng()); break;
      case 1: bytes[at] ^= uint8_t(1u << (rng() % 8)); break;
      case 2: bytes[at] = 0xFF; break;
      default: bytes[at] = 0; break;
    }
  }
}

}  // namespace

TEST(PhotoReaderFuzz, EveryTruncationEndsInAPictureOrAReason) {
  for (const auto& [name, seed] : Seeds()) {
    SCOPED_TRACE(name);
    ASSERT_GT(seed.size(), 16u);
    // Every length through the headers, then every 7th byte.
    for (size_t length = 0; length < seed.size(); length += length < 400 ? 1 : 7)
      DecodeBoth({seed.begin(), seed.begin() + long(length)});
  }
}

TEST(PhotoReaderFuzz, SeededMutationsEndInAPictureOrAReason) {
  std::mt19937 rng(20261209);
  for (const auto& [name, seed] : Seeds()) {
    SCOPED_TRACE(name);
    for (int round = 0; round < 300; ++round) {
      std::vector<uint8_t> copy = seed;
      Mutate(copy, rng);
      DecodeBoth(copy);
    }
  }
}
