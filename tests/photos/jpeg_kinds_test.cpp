// The JPEG kinds beyond the camera's YCbCr: print-workflow CMYK and YCCK (plain and in
// Adobe's inverted form), arithmetic coding, the kinds this libjpeg cannot read, and a
// file with a second picture appended. Both decoders: the photo run's and the strip's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "builder/photos/jpeg.h"
#include "builder/photos/jpeg_thumbnail.h"
#include "builder/photos/photo_runs.h"
#include "tests/support/fake_seams.h"
#include "tests/support/jpeg_maker.h"
#include "tests/support/native_tools.h"

using namespace prismora;
using namespace prismora::photos;

namespace {

constexpr int kSide = 64;

// Four quadrants of distinct colours, so a swapped channel or a wrong ink rule shows.
testjpeg::Rgb Quadrant(int x, int y) {
  static const testjpeg::Rgb colours[4] = {
      {200, 40, 30}, {40, 170, 60}, {50, 60, 210}, {230, 200, 90}};
  return colours[(y < kSide / 2 ? 0 : 2) + (x < kSide / 2 ? 0 : 1)];
}

std::vector<uint8_t> QuadrantRgb() {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const testjpeg::Rgb c = Quadrant(x, y);
      rgb.insert(rgb.end(), {c.r, c.g, c.b});
    }
  return rgb;
}

// Ink amounts of a colour (0 no ink .. 255 full ink), black taking the common part;
// `inverted` stores them as Adobe's writers do, 255 for no ink.
std::vector<uint8_t> QuadrantInks(bool inverted) {
  std::vector<uint8_t> inks;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const testjpeg::Rgb c = Quadrant(x, y);
      const double light[3] = {c.r / 255.0, c.g / 255.0, c.b / 255.0};
      const double k = 1 - std::max({light[0], light[1], light[2]});
      for (double l : light) {
        const double ink = (1 - l - k) / (1 - k);
        inks.push_back(uint8_t(std::lround((inverted ? 1 - ink : ink) * 255)));
      }
      inks.push_back(uint8_t(std::lround((inverted ? 1 - k : k) * 255)));
    }
  return inks;
}

std::vector<uint8_t> InkJpeg(J_COLOR_SPACE stored, bool adobeMarker) {
  return testjpeg::EncodeSamples(kSide, kSide, 4, QuadrantInks(adobeMarker), 95,
                                 [&](jpeg_compress_struct& c) {
                                   c.in_color_space = JCS_CMYK;
                                   jpeg_set_colorspace(&c, stored);
                                   c.write_Adobe_marker = adobeMarker;
                                 });
}

uint32_t Expected(int x, int y) {
  const testjpeg::Rgb c = Quadrant(x, y);
  return uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

PixelSize FullSize(int w, int h) { return {w, h}; }

// The centre of every quadrant in both decoders' output matches the source.
void ExpectQuadrants(const std::vector<uint8_t>& file, const std::string& what) {
  SCOPED_TRACE(what);
  DecodedPhoto photo;
  std::string error;
  ASSERT_TRUE(DecodeJpeg(file, FullSize, photo, error)) << error;
  ASSERT_EQ(photo.pixels.Width(), kSide);
  ASSERT_EQ(photo.pixels.Height(), kSide);
  const auto thumb = photos::DecodeJpegThumbnail(file, {kSide, kSide});
  ASSERT_TRUE(thumb);
  ASSERT_EQ(thumb->image.width, kSide);
  for (int qy : {kSide / 4, 3 * kSide / 4})
    for (int qx : {kSide / 4, 3 * kSide / 4}) {
      EXPECT_TRUE(Near(photo.pixels.View().At(qx, qy), Expected(qx, qy), 12))
          << std::hex << photo.pixels.View().At(qx, qy) << " at " << std::dec << qx << "," << qy;
      const uint8_t* p = &thumb->image.pixels[(size_t(qy) * kSide + qx) * 3];
      const uint32_t t = uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
      EXPECT_TRUE(Near(t, Expected(qx, qy), 12)) << "thumbnail " << std::hex << t;
    }
}

// The first frame header's offset, or 0.
size_t FrameHeader(const std::vector<uint8_t>& jpeg) {
  for (size_t at = 2; at + 9 < jpeg.size();) {
    if (jpeg[at + 1] >= 0xC0 && jpeg[at + 1] <= 0xC2) return at;
    at += 2 + (size_t(jpeg[at + 2]) << 8 | jpeg[at + 3]);
  }
  return 0;
}

}  // namespace

TEST(PrintJpegs, ImageMagicksCmykComesOutInTheSourceColours) {
  testsupport::ScratchFolder folder;
  testsupport::WritePpm(folder / "source.ppm", kSide, kSide, QuadrantRgb());
  ASSERT_TRUE(testsupport::Run("convert " + folder / "source.ppm" +
                               " -colorspace CMYK -quality 95 " + folder / "cmyk.jpg"));
  const std::vector<uint8_t> file = testsupport::ReadBytes(folder / "cmyk.jpg");
  ExpectQuadrants(file, "ImageMagick CMYK");
}

TEST(PrintJpegs, PlainInvertedAndYcckInksAllComeOutInTheSourceColours) {
  ExpectQuadrants(InkJpeg(JCS_CMYK, /*adobeMarker=*/false), "plain CMYK");
  ExpectQuadrants(InkJpeg(JCS_CMYK, /*adobeMarker=*/true), "Adobe CMYK, inverted");
  ExpectQuadrants(InkJpeg(JCS_YCCK, /*adobeMarker=*/true), "Adobe YCCK, inverted");
}

TEST(JpegKinds, ArithmeticCodedAndProgressiveArithmeticDecode) {
  const std::vector<uint8_t> rgb = QuadrantRgb();
  ExpectQuadrants(testjpeg::EncodeSamples(kSide, kSide, 3, rgb, 95,
                                          [](jpeg_compress_struct& c) { c.arith_code = TRUE; }),
                  "arithmetic");
  ExpectQuadrants(testjpeg::EncodeSamples(kSide, kSide, 3, rgb, 95,
                                          [](jpeg_compress_struct& c) {
                                            c.arith_code = TRUE;
                                            jpeg_simple_progression(&c);
                                          }),
                  "progressive arithmetic");
}

TEST(JpegKinds, TwelveBitAndLosslessAreRefusedSayingWhyAndNamingTheFile) {
  const std::vector<uint8_t> plain = testjpeg::SolidJpeg(32, 32, {10, 20, 30});
  const size_t sof = FrameHeader(plain);
  ASSERT_NE(sof, 0u);
  std::vector<uint8_t> twelveBit = plain, lossless = plain;
  twelveBit[sof + 4] = 12;     // sample precision
  lossless[sof + 1] = 0xC3;    // lossless frame
  DecodedPhoto photo;
  std::string error;
  EXPECT_FALSE(DecodeJpeg(twelveBit, FullSize, photo, error));
  EXPECT_EQ(error, "a 12-bit JPEG, which cannot be read (only 8-bit JPEG photos can)");
  EXPECT_FALSE(DecodeJpeg(lossless, FullSize, photo, error));
  EXPECT_EQ(error, "a lossless or hierarchical JPEG, which cannot be read");

  // The photo run's error box names the photo.
  testsupport::FakeFiles files;
  files.files["C:\\scans\\deep.jpg"] = twelveBit;
  PhotoDecoder decode = MakePhotoDecoder(files, nullptr);
  EXPECT_FALSE(decode("C:\\scans\\deep.jpg", FullSize, photo, error));
  EXPECT_NE(error.find("12-bit JPEG"), std::string::npos) << error;
  struct Surfaces : FittingSurfaces {
    PixelImage preview{256, 256}, save{512, 512};
    PixelView Preview() override { return preview.View(); }
    PixelView ForSave() override { return save.View(); }
    void Drawn() override {}
  } surfaces;
  project::ProjectSettings settings;
  settings.Photos = {"C:\\scans\\deep.jpg"};
  RandomColors random;
  PhotoJob job{settings, random, surfaces, decode, {}, 1};
  const RunResult result = DrawFittedPhoto(job, 0);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "C:\\scans\\deep.jpg: " + std::string("a 12-bit JPEG, which cannot be "
                                                               "read (only 8-bit JPEG photos can)"));
}

TEST(JpegKinds, APictureAppendedAfterTheFirstIsIgnored) {
  // As in a multi-picture file or one with a gain map: the second JPEG follows the
  // first's end marker.
  std::vector<uint8_t> file = testjpeg::SolidJpeg(40, 30, {220, 20, 20});
  const std::vector<uint8_t> second = testjpeg::SolidJpeg(80, 60, {20, 20, 220});
  file.insert(file.end(), second.begin(), second.end());
  DecodedPhoto photo;
  std::string error;
  ASSERT_TRUE(DecodeJpeg(file, FullSize, photo, error)) << error;
  EXPECT_EQ(photo.fullWidth, 40);
  EXPECT_EQ(photo.fullHeight, 30);
  EXPECT_TRUE(Near(photo.pixels.View().At(20, 15), 0x001414DC, 12));
  const auto thumb = photos::DecodeJpegThumbnail(file, {40, 30});
  ASSERT_TRUE(thumb);
  EXPECT_EQ(thumb->fullSize.width, 40);
  EXPECT_GT(thumb->image.pixels[2], 180);  // red, stored blue first
  EXPECT_LT(thumb->image.pixels[0], 60);
}
