// Photos that declare sizes they cannot afford: crafted JPEG and bitmap headers through
// both JPEG decoders, each decode in a child process whose memory is limited, so a
// decoder that allocates what the header asks for ends the child, not the test machine.
#include <gtest/gtest.h>

#include "builder/photos/bmp.h"
#include "builder/photos/jpeg.h"
#include "builder/photos/jpeg_memory.h"
#include "builder/photos/jpeg_thumbnail.h"
#include "builder/photos/photo_runs.h"
#include "tests/support/jpeg_maker.h"
#include "tests/support/memory_limit.h"

using namespace prismora;
using namespace prismora::photos;
using testjpeg::DeclaringSize;
using testsupport::LimitedRun;
using testsupport::RunUnderMemoryLimit;
using photos::DecodeJpegThumbnail;
using photos::JpegRefusal;

namespace {

constexpr int64_t kMB = 1 << 20;

PixelSize Texture(int, int) { return {512, 512}; }

// What DecodeJpeg counts for the file, asked through a gate that then refuses it.
int64_t CountedBytes(const std::vector<uint8_t>& file) {
  int64_t counted = -1;
  DecodedPhoto photo;
  std::string error;
  DecodeJpeg(file, Texture, photo, error, [&](int64_t bytes) {
    counted = bytes;
    return false;
  });
  return counted;
}

// Exit codes of the decoding children: 0 when the decoder did what the test expects.
enum : int { kAsExpected = 0, kPhotoWrong = 1, kThumbnailWrong = 2 };

// Both decoders refuse the file as too large, naming its size.
int BothRefuse(const std::vector<uint8_t>& file, const std::string& size) {
  DecodedPhoto photo;
  std::string error;
  if (DecodeJpeg(file, Texture, photo, error) ||
      error != "picture too large to decode (" + size + ")")
    return kPhotoWrong;
  JpegRefusal why = JpegRefusal::None;
  if (DecodeJpegThumbnail(file, {120, 90}, &why) || why != JpegRefusal::TooLarge)
    return kThumbnailWrong;
  return kAsExpected;
}

// Both decoders decode the file.
int BothDecode(const std::vector<uint8_t>& file) {
  DecodedPhoto photo;
  std::string error;
  if (!DecodeJpeg(file, Texture, photo, error) || photo.pixels.Empty()) return kPhotoWrong;
  photo = {};
  if (!DecodeJpegThumbnail(file, {120, 90})) return kThumbnailWrong;
  return kAsExpected;
}

// A small progressive grey picture whose last scan is repeated `times` times before its
// end marker: a few bytes a scan, each one more pass over every coefficient.
std::vector<uint8_t> RepeatingLastScan(int times) {
  const int side = 64;
  std::vector<uint8_t> samples(size_t(side) * side);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = uint8_t(i * 7);
  std::vector<uint8_t> file = testjpeg::EncodeSamples(side, side, 1, samples, 80,
                                                      [](jpeg_compress_struct& c) { jpeg_simple_progression(&c); });
  // Markers are the only 0xFF 0xDA pairs: the scans' data stuffs every 0xFF with a zero.
  size_t lastScan = 0;
  for (size_t i = 0; i + 1 < file.size(); ++i)
    if (file[i] == 0xFF && file[i + 1] == 0xDA) lastScan = i;
  const size_t end = file.size() - 2;  // the end-of-image marker
  const std::vector<uint8_t> scan(file.begin() + long(lastScan), file.begin() + long(end));
  std::vector<uint8_t> out(file.begin(), file.begin() + long(end));
  for (int i = 0; i < times; ++i) out.insert(out.end(), scan.begin(), scan.end());
  out.push_back(0xFF);
  out.push_back(0xD9);
  return out;
}

std::string Describe(const LimitedRun& run) {
  return "returned " + std::to_string(run.returned) + ", over the limit " +
         std::to_string(run.overLimit) + ", code " + std::to_string(run.result) + ", peak " +
         std::to_string(run.peakBytes / kMB) + " MB";
}

}  // namespace

TEST(CraftedJpegs, RefusedByBothDecodersBeforeTheyAllocate) {
  struct Case {
    int width, height;
    bool progressive, colour;
  };
  // Too many pixels at all; 30000 x 30000 is the first square refused; and sizes
  // refused only for what they cost: a progressive file keeps 128 bytes per block of
  // every component (4:2:0 colour: 3 bytes a pixel, grey: 2) whatever the scale.
  for (Case c : {Case{65500, 65500, true, true}, Case{65500, 65500, false, true},
                 Case{30000, 30000, true, true}, Case{30000, 30000, false, false},
                 Case{12000, 12000, true, true}, Case{16000, 9000, true, false}}) {
    const std::vector<uint8_t> file = DeclaringSize(c.width, c.height, c.progressive, c.colour);
    ASSERT_FALSE(file.empty());
    const std::string size = std::to_string(c.width) + " x " + std::to_string(c.height);
    LimitedRun run = RunUnderMemoryLimit(16 * kMB, [&] { return BothRefuse(file, size); });
    EXPECT_TRUE(run.returned && run.result == kAsExpected)
        << size << (c.progressive ? " progressive: " : " sequential: ") << Describe(run);
  }
}

TEST(CraftedJpegs, ThePixelRuleRefusesThirtyThousandSquaredAndNoLess) {
  // The memory question is asked only of pictures the pixel rule lets through.
  bool asked = false;
  DecodedPhoto photo;
  std::string error;
  auto gate = [&](int64_t) { return asked = true, false; };
  EXPECT_FALSE(DecodeJpeg(DeclaringSize(30000, 30000, false), Texture, photo, error, gate));
  EXPECT_FALSE(asked);
  EXPECT_FALSE(DecodeJpeg(DeclaringSize(30000, 29999, false), Texture, photo, error, gate));
  EXPECT_TRUE(asked);
}

TEST(CraftedJpegs, AcceptedOnesTakeNoMoreThanWasCounted) {
  // Sequential and progressive, one of them turned by its EXIF tag (which takes a second
  // buffer): the decode stays within what the gate was asked for.
  for (const std::vector<uint8_t>& file :
       {DeclaringSize(8000, 6000, false), DeclaringSize(4000, 3000, true),
        testjpeg::WithOrientation(DeclaringSize(3000, 2000, true), 6)}) {
    const int64_t counted = CountedBytes(file);
    ASSERT_GT(counted, 0);
    LimitedRun run = RunUnderMemoryLimit(counted, [&] {
      DecodedPhoto photo;
      std::string error;
      return DecodeJpeg(file, Texture, photo, error) ? kAsExpected : kPhotoWrong;
    });
    EXPECT_TRUE(run.returned && run.result == kAsExpected)
        << "counted " << counted / kMB << " MB: " << Describe(run);
  }
}

TEST(CraftedJpegs, TheCostliestAcceptedPhotoStaysWithinTheLimit) {
  // The largest progressive square one photo may cost, decoded by both decoders under
  // the limit plus a little for the test itself.
  int side = 4000;
  while (CountedBytes(DeclaringSize(side + 250, side + 250, true)) <= kPhotoMemoryLimit) side += 250;
  const std::vector<uint8_t> file = DeclaringSize(side, side, true);
  LimitedRun run = RunUnderMemoryLimit(kPhotoMemoryLimit + 4 * kMB, [&] { return BothDecode(file); });
  EXPECT_TRUE(run.returned && run.result == kAsExpected) << side << ": " << Describe(run);
  EXPECT_GT(run.peakBytes, kPhotoMemoryLimit / 2);  // it really was that expensive
}

TEST(CraftedBitmaps, ADeclaredGigapixelIsRefusedForItsSizeNotItsLength) {
  PixelImage small(4, 4);
  std::vector<uint8_t> file = EncodeBmp24(small.View());
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + size_t(i)] = uint8_t(v >> (8 * i));
  };
  put32(BmpLayout::kWidth, 30000);
  put32(BmpLayout::kHeight, uint32_t(-30000));  // top-down rows
  LimitedRun run = RunUnderMemoryLimit(16 * kMB, [&] {
    PixelImage out;
    std::string error;
    if (DecodeBmp(file, out, error) || error != "picture too large to decode (30000 x 30000)")
      return kPhotoWrong;
    // The photo runs do not hand it to the window's loader either, which would try.
    DecodedPhoto photo;
    return DecodeOwnFormats(file, Texture, photo, error) == OwnDecode::Failed ? kAsExpected
                                                                              : kPhotoWrong;
  });
  EXPECT_TRUE(run.returned && run.result == kAsExpected) << Describe(run);
}

TEST(CraftedJpegs, AProgressiveFileRepeatingAScanIsRefusedAtTheScanLimitByBothDecoders) {
  // Its own half dozen scans and as many again as the limit leaves: still a photo.
  EXPECT_EQ(BothDecode(RepeatingLastScan(kMaxJpegScans - 20)), kAsExpected);
  const std::vector<uint8_t> bomb = RepeatingLastScan(kMaxJpegScans);
  DecodedPhoto photo;
  std::string error;
  EXPECT_FALSE(DecodeJpeg(bomb, Texture, photo, error));
  EXPECT_EQ(error, "JPEG file has more than " + std::to_string(kMaxJpegScans) + " scans");
  // No other decoder may try it either: the platform's would go through every scan.
  JpegRefusal why = JpegRefusal::None;
  EXPECT_FALSE(DecodeJpegThumbnail(bomb, {120, 90}, &why));
  EXPECT_EQ(why, JpegRefusal::TooLarge);
}
