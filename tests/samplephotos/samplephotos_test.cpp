#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "tools/samplephotos/painter.h"

using namespace prismora;

namespace {
// Coarse colour buckets (3 bits a channel) that cover a real share of the picture.
int ColourfulBuckets(const photos::PixelImage& img) {
  std::vector<int> counts(512, 0);
  auto v = img.View();
  for (int y = 0; y < v.height; y += 4)
    for (int x = 0; x < v.width; x += 4) {
      const uint8_t* p = v.Row(y) + 3 * x;
      ++counts[(p[0] >> 5) << 6 | (p[1] >> 5) << 3 | (p[2] >> 5)];
    }
  int samples = ((v.height + 3) / 4) * ((v.width + 3) / 4), buckets = 0;
  for (int c : counts) buckets += c * 200 > samples;  // at least 0.5 %
  return buckets;
}
}  // namespace

TEST(SamplePhotos, VariedSizesAndShapes) {
  std::set<std::pair<int, int>> sizes;
  bool portrait = false, square = false, wide = false;
  for (const auto& s : samples::BuiltInSamples()) {
    sizes.insert({s.width, s.height});
    portrait |= s.height > s.width;
    square |= s.height == s.width;
    wide |= s.width >= 2 * s.height;
  }
  EXPECT_EQ(sizes.size(), samples::BuiltInSamples().size());
  EXPECT_TRUE(portrait && square && wide);
}

TEST(SamplePhotos, PicturesAreColourfulDeterministicAndDistinct) {
  std::set<std::vector<uint8_t>> thumbs;
  for (const auto& s : samples::BuiltInSamples()) {
    photos::PixelImage a(s.width / 4, s.height / 4), b(s.width / 4, s.height / 4);
    s.paint(a, 7);
    s.paint(b, 7);
    auto va = a.View(), vb = b.View();
    ASSERT_EQ(0, std::memcmp(va.pixels, vb.pixels, size_t(va.stride) * va.height)) << s.name;
    EXPECT_GE(ColourfulBuckets(a), 6) << s.name << " looks flat";
    thumbs.insert(std::vector<uint8_t>(va.pixels, va.pixels + va.stride * va.height));
  }
  EXPECT_EQ(thumbs.size(), samples::BuiltInSamples().size());
}
