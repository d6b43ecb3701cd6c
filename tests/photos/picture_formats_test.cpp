// WebP, TIFF, HEIC and AVIF photos made by the formats' own tools (cwebp, img2webp,
// webpmux, ImageMagick, libtiff's tiffset, heif-enc, avifenc) at test time, decoded by the builder's readers and
// checked against the source pixels: colours, the first page or frame, orientation,
// transparency on the frame colour, and refusal of damaged and oversized files.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "builder/photos/heif.h"
#include "builder/photos/photo_runs.h"
#include "builder/photos/tiff.h"
#include "builder/photos/webp.h"
#include "tests/support/memory_limit.h"
#include "tests/support/native_tools.h"

using namespace prismora;
using namespace prismora::photos;
bool Tool(const std::string& commandLine) { return prismora::testsupport::Run(commandLine); }

namespace {

constexpr int kW = 64, kH = 48;

struct Rgb {
  uint8_t r, g, b;
};
using Pattern = std::function<Rgb(int x, int y)>;

// Four quadrants of distinct colours, so a swapped channel, a mirror or a turn shows.
Rgb Quadrants(int x, int y) {
  static const Rgb colours[4] = {{200, 40, 30}, {40, 170, 60}, {50, 60, 210}, {230, 200, 90}};
  return colours[(y < kH / 2 ? 0 : 2) + (x < kW / 2 ? 0 : 1)];
}
Rgb Blues(int x, int y) {
  return (x < kW / 2) == (y < kH / 2) ? Rgb{20, 30, 220} : Rgb{240, 240, 240};
}

uint32_t Colour(Rgb c) { return uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16; }

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

struct Files {
  testsupport::ScratchFolder folder;
  std::string operator/(const std::string& name) const { return folder / name; }
  // The pattern as a PPM the tools read.
  std::string Source(const std::string& name, const Pattern& pattern, int w = kW, int h = kH) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const Rgb c = pattern(x, y);
        rgb.insert(rgb.end(), {c.r, c.g, c.b});
      }
    testsupport::WritePpm(folder / name, w, h, rgb);
    return folder / name;
  }
  std::vector<uint8_t> Read(const std::string& name) const {
    return testsupport::ReadBytes(folder / name);
  }
};

PixelSize FullSize(int w, int h) { return {w, h}; }

DecodedPhoto Decode(const std::vector<uint8_t>& file, uint32_t background = kWhite,
                    const DrawSizeFor& draw = FullSize) {
  DecodedPhoto photo;
  std::string error;
  EXPECT_EQ(DecodeOwnFormats(file, draw, photo, error, {}, background), OwnDecode::Decoded)
      << error;
  return photo;
}

// The centres of the pattern's quadrants, in the upright picture.
void ExpectPattern(const DecodedPhoto& photo, const Pattern& pattern, int tolerance) {
  ASSERT_EQ(photo.fullWidth, kW);
  ASSERT_EQ(photo.fullHeight, kH);
  ASSERT_EQ(photo.pixels.Width(), kW);
  ASSERT_EQ(photo.pixels.Height(), kH);
  for (int y : {kH / 4, 3 * kH / 4})
    for (int x : {kW / 4, 3 * kW / 4})
      EXPECT_TRUE(Near(photo.pixels.View().At(x, y), Colour(pattern(x, y)), tolerance))
          << std::hex << photo.pixels.View().At(x, y) << " at " << std::dec << x << "," << y;
}

// An EXIF block (little-endian TIFF structure) holding only an Orientation tag.
std::vector<uint8_t> ExifWithOrientation(int orientation) {
  return {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0,
          uint8_t(orientation), 0, 0, 0, 0, 0, 0, 0};
}

// A JPEG file with an APP1 EXIF segment holding `exif` put in after its SOI marker.
std::vector<uint8_t> WithExif(std::vector<uint8_t> jpeg, const std::vector<uint8_t>& exif) {
  std::vector<uint8_t> app1 = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
  app1.insert(app1.end(), exif.begin(), exif.end());
  const size_t length = app1.size() - 2;
  app1[2] = uint8_t(length >> 8);
  app1[3] = uint8_t(length);
  jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
  return jpeg;
}

// The upright pattern stored lying on its side: turned a quarter anticlockwise, which a
// quarter turn clockwise (EXIF orientation 6, HEIF irot 3) undoes.
std::string SidewaysSource(Files& f, const std::string& name) {
  return f.Source(name, [](int x, int y) { return Quadrants(kW - 1 - y, x); }, kH, kW);
}

// Where the width of every ispe box lies (after its type come version and flags, then
// width and height). heif-enc writes one for the image and one for an item beside it.
std::vector<size_t> IspeWidthsAt(const std::vector<uint8_t>& file) {
  static const uint8_t kIspe[4] = {'i', 's', 'p', 'e'};
  std::vector<size_t> offsets;
  for (auto at = file.begin(); (at = std::search(at, file.end(), kIspe, kIspe + 4)) != file.end(); ++at)
    if (at + 16 <= file.end()) offsets.push_back(size_t(at - file.begin()) + 8);
  return offsets;
}

void PutU32Be(std::vector<uint8_t>& file, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) file[at + size_t(i)] = uint8_t(value >> (24 - 8 * i));
}

// The quadrants picture decoded at a quarter of its size (16 x 12), its full size kept.
void ExpectQuadrantsAveragedBy4(const DecodedPhoto& photo) {
  EXPECT_EQ(photo.fullWidth, kW);
  EXPECT_EQ(photo.fullHeight, kH);
  EXPECT_EQ(photo.pixels.Width(), 16);
  EXPECT_EQ(photo.pixels.Height(), 12);
  EXPECT_TRUE(Near(photo.pixels.View().At(3, 3), Colour(Quadrants(0, 0)), 20));
  EXPECT_TRUE(Near(photo.pixels.View().At(12, 9), Colour(Quadrants(kW - 1, kH - 1)), 20));
}

// ImageMagick's picture of the test size, red on its right half and transparent on its
// left, written to `target` (a path, with a format prefix where its name does not tell).
bool HalfTransparentRed(const std::string& target) {
  return Tool("convert -size " + std::to_string(kW) + "x" + std::to_string(kH) +
              " xc:'rgba(200,0,0,1)' -region " + std::to_string(kW / 2) + "x" + std::to_string(kH) +
              "+0+0 -alpha transparent " + target);
}

}  // namespace

TEST(HeifPhotos, HeicAndAvifComeOutInTheSourceColours) {
  Files f;
  const std::string png = f / "q.png";
  ASSERT_TRUE(Tool("convert " + f.Source("q.ppm", Quadrants) + " PNG24:" + png));
  ASSERT_TRUE(Tool("heif-enc -q 90 " + png + " -o " + f / "q.heic"));
  ASSERT_TRUE(Tool("avifenc -s 8 " + png + " " + f / "avifenc.avif"));
  ASSERT_TRUE(Tool("avifenc -s 8 -d 10 -y 444 " + png + " " + f / "deep.avif"));
  for (const char* name : {"q.heic", "avifenc.avif", "deep.avif"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> file = f.Read(name);
    EXPECT_TRUE(LooksLikeHeif(file));
    ExpectPattern(Decode(file), Quadrants, 20);
  }
}

TEST(HeifPhotos, DecodedNoLargerThanItIsDrawnWithTheFullSizeKept) {
  Files f;
  ASSERT_TRUE(Tool("convert " + f.Source("q.ppm", Quadrants) + " PNG24:" + f / "q.png"));
  ASSERT_TRUE(Tool("heif-enc -q 90 " + f / "q.png" + " -o " + f / "q.heic"));
  // 64 × 48 averaged by 4: 16 × 12 covers 15 × 11.
  const DecodedPhoto photo =
      Decode(f.Read("q.heic"), kWhite, [](int, int) { return PixelSize{15, 11}; });
  ExpectQuadrantsAveragedBy4(photo);
}

TEST(HeifPhotos, ARotatedPhotoComesOutUprightAndIsTurnedOnlyOnce) {
  Files f;
  const std::string stored = SidewaysSource(f, "side.ppm");
  // A phone's photo: heif-enc takes the JPEG's EXIF orientation 6 into the HEIF
  // rotation (irot) and keeps the EXIF block, orientation and all, beside it. (heif-enc
  // finds the tag only in an IFD that ends the block, so the block stops after it.)
  ASSERT_TRUE(Tool("convert " + stored + " -quality 95 " + f / "plain.jpg"));
  std::vector<uint8_t> exif = ExifWithOrientation(6);
  exif.resize(22);
  testsupport::WriteBytes(f / "side.jpg", WithExif(f.Read("plain.jpg"), exif));
  ASSERT_TRUE(Tool("heif-enc -q 90 " + f / "side.jpg" + " -o " + f / "side.heic"));
  const std::vector<uint8_t> heic = f.Read("side.heic");
  static const char kIrot[] = "irot", kExif[] = "Exif";
  ASSERT_NE(std::search(heic.begin(), heic.end(), kIrot, kIrot + 4), heic.end());
  ASSERT_NE(std::search(heic.begin(), heic.end(), kExif, kExif + 4), heic.end());
  ExpectPattern(Decode(heic), Quadrants, 24);
  // AVIF with its rotation written directly: irot 3 turns three quarters anticlockwise.
  ASSERT_TRUE(Tool("convert " + stored + " PNG24:" + f / "side.png"));
  ASSERT_TRUE(Tool("avifenc -s 8 --irot 3 " + f / "side.png" + " " + f / "side.avif"));
  ExpectPattern(Decode(f.Read("side.avif")), Quadrants, 20);
  // Mirrored as well: imir 1 (avifenc's left-to-right) flips the turned picture's left
  // and right sides, so the stored one is the upright pattern flipped and then turned a
  // quarter anticlockwise.
  const std::string mirrored = f.Source(
      "mirrored.ppm", [](int x, int y) { return Quadrants(y, x); }, kH, kW);
  ASSERT_TRUE(Tool("convert " + mirrored + " PNG24:" + f / "mirrored.png"));
  ASSERT_TRUE(Tool("avifenc -s 8 --irot 3 --imir 1 " + f / "mirrored.png" + " " + f / "mirrored.avif"));
  ExpectPattern(Decode(f.Read("mirrored.avif")), Quadrants, 20);
}

TEST(HeifPhotos, AFileOfSeveralImagesShowsItsPrimaryImage) {
  Files f;
  ASSERT_TRUE(Tool("convert " + f.Source("q.ppm", Quadrants) + " PNG24:" + f / "q.png"));
  ASSERT_TRUE(Tool("convert " + f.Source("b.ppm", Blues) + " PNG24:" + f / "b.png"));
  // The first image heif-enc writes is the primary one; a thumbnail rides along too.
  ASSERT_TRUE(Tool("heif-enc -q 90 -t 32 " + f / "q.png" + " " + f / "b.png" + " -o " + f / "two.heic"));
  ExpectPattern(Decode(f.Read("two.heic")), Quadrants, 20);
}

TEST(HeifPhotos, TransparentPartsShowTheFrameColour) {
  Files f;
  ASSERT_TRUE(HalfTransparentRed("PNG32:" + f / "alpha.png"));
  ASSERT_TRUE(Tool("heif-enc -q 95 " + f / "alpha.png" + " -o " + f / "alpha.heic"));
  ASSERT_TRUE(Tool("avifenc -s 8 " + f / "alpha.png" + " " + f / "alpha.avif"));
  for (const char* name : {"alpha.heic", "alpha.avif"}) {
    SCOPED_TRACE(name);
    const DecodedPhoto photo = Decode(f.Read(name), 0x00336699);
    ASSERT_EQ(photo.pixels.Width(), kW);
    EXPECT_TRUE(Near(photo.pixels.View().At(5, 5), 0x00336699u, 8)) << std::hex << photo.pixels.View().At(5, 5);
    EXPECT_TRUE(Near(photo.pixels.View().At(kW - 5, 5), 0x000000C8u, 16))
        << std::hex << photo.pixels.View().At(kW - 5, 5);
  }
}

TEST(WebpPhotos, LossyAndLosslessComeOutInTheSourceColours) {
  Files f;
  const std::string source = f.Source("q.ppm", Quadrants);
  ASSERT_TRUE(Tool("cwebp -quiet -q 95 " + source + " -o " + f / "lossy.webp"));
  ASSERT_TRUE(Tool("cwebp -quiet -lossless " + source + " -o " + f / "lossless.webp"));
  ExpectPattern(Decode(f.Read("lossy.webp")), Quadrants, 16);
  ExpectPattern(Decode(f.Read("lossless.webp")), Quadrants, 0);
}

TEST(WebpPhotos, DecodedNoLargerThanItIsDrawnWithTheFullSizeKept) {
  Files f;
  ASSERT_TRUE(Tool("cwebp -quiet -q 95 " + f.Source("q.ppm", Quadrants) + " -o " + f / "q.webp"));
  const DecodedPhoto photo =
      Decode(f.Read("q.webp"), kWhite, [](int, int) { return PixelSize{16, 12}; });
  ExpectQuadrantsAveragedBy4(photo);
}

TEST(WebpPhotos, AnAnimationShowsItsFirstFrame) {
  Files f;
  const std::string first = f.Source("a.ppm", Quadrants), second = f.Source("b.ppm", Blues);
  ASSERT_TRUE(Tool("img2webp -lossless " + first + " -d 200 " + second + " -o " + f / "anim.webp"));
  ExpectPattern(Decode(f.Read("anim.webp")), Quadrants, 0);
}

TEST(WebpPhotos, TheExifOrientationTurnsThePhotoUpright) {
  Files f;
  // Stored lying on its side: the upright picture turned a quarter anticlockwise, which
  // orientation 6 (turn a quarter clockwise to view) undoes.
  const std::string stored = f.Source(
      "side.ppm", [](int x, int y) { return Quadrants(kW - 1 - y, x); }, kH, kW);
  testsupport::WriteBytes(f / "exif.bin", ExifWithOrientation(6));
  ASSERT_TRUE(Tool("cwebp -quiet -lossless " + stored + " -o " + f / "side.webp"));
  ASSERT_TRUE(Tool("webpmux -set exif " + f / "exif.bin" + " " + f / "side.webp" + " -o " +
                  f / "turned.webp"));
  ExpectPattern(Decode(f.Read("turned.webp")), Quadrants, 0);
}

TEST(WebpPhotos, TransparentPartsShowTheFrameColour) {
  Files f;
  // Left half transparent, right half opaque red.
  std::string header = "P7\nWIDTH " + std::to_string(kW) + "\nHEIGHT " + std::to_string(kH) +
                       "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  std::vector<uint8_t> pam(header.begin(), header.end());
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) pam.insert(pam.end(), {200, 0, 0, uint8_t(x < kW / 2 ? 0 : 255)});
  testsupport::WriteBytes(f / "alpha.pam", pam);
  ASSERT_TRUE(Tool("cwebp -quiet -lossless -exact " + f / "alpha.pam" + " -o " + f / "alpha.webp"));
  const DecodedPhoto photo = Decode(f.Read("alpha.webp"), 0x00336699);
  EXPECT_EQ(photo.pixels.View().At(5, 5), 0x00336699u);
  EXPECT_EQ(photo.pixels.View().At(kW - 5, 5), 0x000000C8u);
}

TEST(TiffPhotos, EveryLayoutComesOutInTheSourceColours) {
  Files f;
  const std::string source = f.Source("q.ppm", Quadrants);
  struct Layout {
    const char* name;
    std::string options;
    int tolerance;
  };
  const Layout layouts[] = {
      {"8-bit LZW", "-compress LZW", 0},
      {"16-bit Deflate", "-depth 16 -compress Zip", 1},
      {"palette", "-type Palette -compress RLE", 0},
      {"JPEG inside", "-compress JPEG -quality 95", 16},
      {"tiled", "-define tiff:tile-geometry=16x16", 0},
      {"CMYK", "-colorspace CMYK", 2},
      {"BigTIFF", "", 0},
  };
  for (const Layout& l : layouts) {
    SCOPED_TRACE(l.name);
    const std::string out =
        (std::string(l.name) == "BigTIFF" ? "TIFF64:" : "") + f / "layout.tif";
    ASSERT_TRUE(Tool("convert " + source + " " + l.options + " " + out));
    ExpectPattern(Decode(f.Read("layout.tif")), Quadrants, l.tolerance);
  }
}

TEST(TiffPhotos, AFaxScanAndAMultiPageFileShowTheirFirstPage) {
  Files f;
  const std::string blues = f.Source("b.ppm", Blues), quadrants = f.Source("q.ppm", Quadrants);
  ASSERT_TRUE(Tool("convert " + blues + " -monochrome -compress Group4 " + f / "fax.tif"));
  const DecodedPhoto fax = Decode(f.Read("fax.tif"));
  ASSERT_EQ(fax.pixels.Width(), kW);
  EXPECT_EQ(fax.pixels.View().At(5, 5), 0u);  // the dark blue went black
  EXPECT_EQ(fax.pixels.View().At(kW - 5, 5), 0x00FFFFFFu);
  ASSERT_TRUE(Tool("convert " + quadrants + " " + blues + " " + f / "pages.tif"));
  ExpectPattern(Decode(f.Read("pages.tif")), Quadrants, 0);
}

TEST(TiffPhotos, TheOrientationTagTurnsThePhotoUpright) {
  Files f;
  const std::string stored = f.Source(
      "side.ppm", [](int x, int y) { return Quadrants(kW - 1 - y, x); }, kH, kW);
  ASSERT_TRUE(Tool("convert " + stored + " " + f / "side.tif"));
  ASSERT_TRUE(Tool("tiffset -s 274 6 " + f / "side.tif"));
  ExpectPattern(Decode(f.Read("side.tif")), Quadrants, 0);
}

TEST(TiffPhotos, TransparentPartsShowTheFrameColour) {
  Files f;
  ASSERT_TRUE(HalfTransparentRed(f / "alpha.tif"));
  const DecodedPhoto photo = Decode(f.Read("alpha.tif"), 0x00336699);
  EXPECT_EQ(photo.pixels.View().At(5, 5), 0x00336699u);
  EXPECT_EQ(photo.pixels.View().At(kW - 5, 5), 0x000000C8u);
}

TEST(DamagedPhotos, CutShortFilesOfEveryOwnFormatAreRefusedCleanly) {
  Files f;
  const std::string source = f.Source("q.ppm", Quadrants);
  ASSERT_TRUE(Tool("cwebp -quiet -q 90 " + source + " -o " + f / "q.webp"));
  ASSERT_TRUE(Tool("convert " + source + " -compress LZW " + f / "q.tif"));
  ASSERT_TRUE(Tool("convert " + source + " PNG24:" + f / "q.png"));
  ASSERT_TRUE(Tool("heif-enc -q 90 " + f / "q.png" + " -o " + f / "q.heic"));
  ASSERT_TRUE(Tool("avifenc -s 8 " + f / "q.png" + " " + f / "q.avif"));
  for (const char* name : {"q.webp", "q.tif", "q.heic", "q.avif"}) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> file = f.Read(name);
    file.resize(file.size() / 2);
    DecodedPhoto photo;
    std::string error;
    EXPECT_EQ(DecodeOwnFormats(file, FullSize, photo, error), OwnDecode::Failed);
    EXPECT_FALSE(error.empty());
  }
}

TEST(DamagedPhotos, DeclaredGiantsAreRefusedBeforeAnyDecoderAllocates) {
  Files f;
  const std::string source = f.Source("q.ppm", Quadrants);
  ASSERT_TRUE(Tool("cwebp -quiet -lossless " + source + " -o " + f / "giant.webp"));
  ASSERT_TRUE(Tool("convert " + source + " -compress LZW " + f / "giant.tif"));
  // TIFF: 20000 × 20000 declared over 64 × 48 of data.
  ASSERT_TRUE(Tool("tiffset -s 256 20000 " + f / "giant.tif"));
  ASSERT_TRUE(Tool("tiffset -s 257 20000 " + f / "giant.tif"));
  // WebP lossless: the sides sit in the 14-bit fields after the VP8L signature byte.
  std::vector<uint8_t> webp = f.Read("giant.webp");
  ASSERT_EQ(webp[20], 0x2F);
  const uint32_t w = 16383, h = 16383;  // the format's largest
  const uint32_t bits = (w - 1) | (h - 1) << 14 | (webp[24] & 0xF0u) << 24;
  for (int i = 0; i < 4; ++i) webp[21 + i] = uint8_t(bits >> (8 * i));
  // HEIC and AVIF: 20000 × 20000 in the image's ispe box, over 64 × 48 of coded data.
  ASSERT_TRUE(Tool("convert " + source + " PNG24:" + f / "giant.png"));
  ASSERT_TRUE(Tool("heif-enc -q 50 " + f / "giant.png" + " -o " + f / "giant.heic"));
  ASSERT_TRUE(Tool("avifenc -s 10 " + f / "giant.png" + " " + f / "giant.avif"));
  std::vector<uint8_t> heic = f.Read("giant.heic"), avif = f.Read("giant.avif");
  for (std::vector<uint8_t>* file : {&heic, &avif}) {
    const std::vector<size_t> widths = IspeWidthsAt(*file);
    ASSERT_FALSE(widths.empty());
    for (size_t at : widths) {
      PutU32Be(*file, at, 20000);
      PutU32Be(*file, at + 4, 20000);
    }
  }
  for (const auto& [name, file, size] :
       {std::tuple{"TIFF", f.Read("giant.tif"), std::string("20000 x 20000")},
        std::tuple{"WebP", webp, std::string("16383 x 16383")},
        std::tuple{"HEIC", heic, std::string("20000 x 20000")},
        std::tuple{"AVIF", avif, std::string("20000 x 20000")}}) {
    SCOPED_TRACE(name);
    const testsupport::LimitedRun run = testsupport::RunUnderMemoryLimit(
        int64_t(64) << 20, [&, file = file, size = size] {
          DecodedPhoto photo;
          std::string error;
          return DecodeOwnFormats(file, FullSize, photo, error) == OwnDecode::Failed &&
                         error == "picture too large to decode (" + size + ")"
                     ? 0
                     : 1;
        });
    EXPECT_TRUE(run.returned && run.result == 0 && !run.overLimit)
        << "returned " << run.returned << " result " << run.result;
  }
}
