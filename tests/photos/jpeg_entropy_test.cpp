// The photo decoder's own Huffman decoding against libjpeg's: the same pixels for every
// layout, scale, table kind and restart interval, the same grey ending for cut-off data,
// no harm from damaged data, and libjpeg's decoder left in place for the kinds it skips.
#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "builder/photos/jpeg_entropy.h"
#include "tests/support/jpeg_maker.h"

using prismora::photos::InstallFastEntropyDecoder;
namespace testjpeg = prismora::testjpeg;

namespace {

enum class Scans { Interleaved, OnePerComponent, Progressive };

struct Picture {
  int width = 300, height = 200;
  int components = 3;
  int lumaH = 2, lumaV = 2;  // sampling factors of Y; Cb and Cr are 1 x 1
  int quality = 90;
  bool optimize = false;      // tables fitted to the picture: other code lengths
  unsigned restart = 0;       // MCUs per restart interval
  Scans scans = Scans::Interleaved;
  std::string Name() const {
    char s[120];
    std::snprintf(s, sizeof s, "%dx%d c%d %dx%d q%d opt%d rst%u", width, height, components,
                  lumaH, lumaV, quality, int(optimize), restart);
    return s;
  }
};

// Smooth gradients under noise: long runs of zeros as well as large values, long codes
// as well as short ones.
std::vector<uint8_t> Encode(const Picture& p, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> pixels(size_t(p.width) * p.height * p.components);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      for (int c = 0; c < p.components; ++c) {
        const int smooth = (x * (c + 1) * 255 / std::max(1, p.width) + y * 128 / p.height) & 255;
        const int noise = int(random() % 97) - 48;
        pixels[(size_t(y) * p.width + x) * p.components + c] =
            uint8_t(std::clamp(smooth + (x / 37 % 2 ? noise : noise / 8), 0, 255));
      }
    }
  }
  return testjpeg::EncodeSamples(
      p.width, p.height, p.components, pixels, p.quality, [&p](jpeg_compress_struct& c) {
        if (p.components == 3) {
          c.comp_info[0].h_samp_factor = p.lumaH;
          c.comp_info[0].v_samp_factor = p.lumaV;
        }
        c.optimize_coding = p.optimize ? TRUE : FALSE;
        c.restart_interval = p.restart;
        static const jpeg_scan_info kOnePerComponent[3] = {
            {1, {0}, 0, 63, 0, 0}, {1, {1}, 0, 63, 0, 0}, {1, {2}, 0, 63, 0, 0}};
        if (p.scans == Scans::OnePerComponent) {
          c.scan_info = kOnePerComponent;
          c.num_scans = p.components;
        } else if (p.scans == Scans::Progressive) {
          jpeg_simple_progression(&c);
        }
      });
}

struct Decoded {
  std::vector<uint8_t> pixels;
  bool fast = false;
  bool failed = false;  // libjpeg gave up (a damaged marker, say)
  long warnings = 0;
};

struct JumpingErrors {
  jpeg_error_mgr manager;
  std::jmp_buf back;
};

void JumpBack(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JumpingErrors*>(cinfo->err)->back, 1);
}

void CountWarning(j_common_ptr cinfo, int level) {
  if (level < 0) ++cinfo->err->num_warnings;
}

Decoded Decode(const std::vector<uint8_t>& file, int eighths, bool fast) {
  Decoded d;
  jpeg_decompress_struct c;
  JumpingErrors errors;
  c.err = jpeg_std_error(&errors.manager);
  errors.manager.emit_message = CountWarning;
  errors.manager.error_exit = JumpBack;
  if (setjmp(errors.back)) {
    d.failed = true;
    jpeg_destroy_decompress(&c);
    return d;
  }
  jpeg_create_decompress(&c);
  jpeg_mem_src(&c, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&c, TRUE);
  c.scale_num = unsigned(eighths);
  c.scale_denom = 8;
  jpeg_start_decompress(&c);
  if (fast) d.fast = InstallFastEntropyDecoder(&c);
  const size_t stride = size_t(c.output_width) * c.output_components;
  d.pixels.resize(stride * c.output_height);
  while (c.output_scanline < c.output_height) {
    JSAMPROW row = &d.pixels[stride * c.output_scanline];
    jpeg_read_scanlines(&c, &row, 1);
  }
  jpeg_finish_decompress(&c);
  d.warnings = errors.manager.num_warnings;
  jpeg_destroy_decompress(&c);
  return d;
}

// With our Huffman decoding and with libjpeg's; ours must have taken over.
struct BothWays {
  Decoded ours, theirs;
};
BothWays DecodeBothWays(const std::vector<uint8_t>& file, int eighths) {
  BothWays both{Decode(file, eighths, true), Decode(file, eighths, false)};
  EXPECT_TRUE(both.ours.fast);
  return both;
}

// Where the entropy-coded data of the first scan starts: after the SOS segment.
size_t ScanStart(const std::vector<uint8_t>& file) {
  for (size_t i = 2; i + 3 < file.size(); ++i) {
    if (file[i] == 0xFF && file[i + 1] == 0xDA) return i + 2 + (file[i + 2] << 8 | file[i + 3]);
  }
  return file.size();
}

}  // namespace

TEST(FastJpegEntropy, DecodesEveryLayoutScaleAndTableKindExactlyAsLibjpeg) {
  struct Layout {
    int components, h, v;
  };
  const Layout layouts[] = {{1, 1, 1}, {3, 1, 1}, {3, 2, 1}, {3, 2, 2}, {3, 1, 2}};
  const int sizes[][2] = {{1, 1}, {77, 53}, {300, 200}};
  uint32_t seed = 1;
  for (const Layout& layout : layouts) {
    for (const auto& size : sizes) {
      for (int quality : {40, 100}) {
        for (bool optimize : {false, true}) {
          for (unsigned restart : {0u, 1u, 5u}) {
            Picture p;
            p.width = size[0], p.height = size[1];
            p.components = layout.components, p.lumaH = layout.h, p.lumaV = layout.v;
            p.quality = quality, p.optimize = optimize, p.restart = restart;
            const std::vector<uint8_t> file = Encode(p, seed++);
            for (int eighths : {1, 2, 3, 8}) {
              SCOPED_TRACE(p.Name() + " scale " + std::to_string(eighths) + "/8");
              const auto [ours, theirs] = DecodeBothWays(file, eighths);
              ASSERT_EQ(ours.pixels, theirs.pixels);
              EXPECT_EQ(ours.warnings, 0);
            }
          }
        }
      }
    }
  }
}

TEST(FastJpegEntropy, CutOffDataEndsAsLibjpegEndsIt) {
  for (unsigned restart : {0u, 4u}) {
    Picture p;
    p.restart = restart;
    const std::vector<uint8_t> file = Encode(p, 7);
    const size_t start = ScanStart(file);
    ASSERT_LT(start, file.size());
    for (int percent : {1, 30, 60, 97}) {
      SCOPED_TRACE("restart " + std::to_string(restart) + ", cut at " +
                   std::to_string(percent) + "%");
      std::vector<uint8_t> cut(file.begin(),
                               file.begin() + long(start + (file.size() - start) * percent / 100));
      for (int eighths : {2, 8}) {
        const auto [ours, theirs] = DecodeBothWays(cut, eighths);
        EXPECT_EQ(ours.pixels, theirs.pixels);
        EXPECT_GT(ours.warnings, 0);
      }
    }
  }
}

// Damage anywhere in the scan, false markers included. What comes out is garbage, or
// libjpeg gives up at a damaged marker segment; nothing may be read or written astray (the
// sanitizers of the native build watch that), and a picture that comes out is whole.
TEST(FastJpegEntropy, DamagedDataStillDecodesToAWholePicture) {
  std::mt19937 random(42);
  const uint8_t kMarkerish[] = {0x00, 0xD0, 0xD1, 0xD3, 0xD7, 0xD9, 0xC4, 0xDA, 0xFF};
  int decoded = 0, refused = 0;
  for (unsigned restart : {0u, 1u, 3u}) {
    Picture p;
    p.width = 160, p.height = 96;
    p.restart = restart;
    for (int round = 0; round < 60; ++round) {
      p.quality = round % 2 ? 100 : 60;
      std::vector<uint8_t> file = Encode(p, uint32_t(100 + round));
      const size_t start = ScanStart(file);
      const size_t whole = Decode(file, 2, false).pixels.size();
      for (int hit = 0, hits = 1 + round % 12; hit < hits; ++hit) {
        const size_t at = start + random() % (file.size() - start - 3);
        if (random() % 4 == 0) {
          file[at] = 0xFF;
          file[at + 1] = kMarkerish[random() % sizeof kMarkerish];
        } else {
          file[at] = uint8_t(random());
        }
      }
      if (round % 5 == 0) file.resize(start + (file.size() - start) * (1 + round % 3) / 4);
      SCOPED_TRACE("restart " + std::to_string(restart) + ", round " + std::to_string(round));
      for (int eighths : {1, 2, 8}) {
        const Decoded ours = Decode(file, eighths, true);
        if (ours.failed) {
          ++refused;
          continue;
        }
        ++decoded;
        EXPECT_TRUE(ours.fast);
        if (eighths == 2) {
          EXPECT_EQ(ours.pixels.size(), whole);
        }
      }
    }
  }
  EXPECT_GT(decoded, refused);  // most damage reaches the decoding, not a marker segment
}

TEST(FastJpegEntropy, LeavesProgressiveAndSeparateScansToLibjpeg) {
  for (Scans scans : {Scans::Progressive, Scans::OnePerComponent}) {
    Picture p;
    p.width = 123, p.height = 45;
    p.scans = scans;
    const std::vector<uint8_t> file = Encode(p, 3);
    const Decoded ours = Decode(file, 2, true);
    EXPECT_FALSE(ours.fast);
    EXPECT_EQ(ours.pixels, Decode(file, 2, false).pixels);
  }
}
