// How much memory decoding one photo may take. The builder is a 32-bit program with at
// most 2 GB of address space, and a photo file of a few hundred bytes may declare any size
// up to 65500 × 65500: every decoder works out what the declared size will cost before it
// allocates any of it, and a photo that would cost too much gets its ordinary error.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace prismora::photos {

// One photo's decoding (the decoder's own buffers and the pixels it hands back) never
// takes more than this. A 12-megapixel camera photo needs about 3 MB at the scale the
// textures use; a progressive 80-megapixel one still fits.
inline constexpr int64_t kPhotoMemoryLimit = int64_t(256) << 20;

// Pictures of this many pixels or more are refused whatever they would cost: decoding
// them would keep the builder busy for seconds even at the smallest scale.
inline constexpr int64_t kMaxPhotoPixels = int64_t(30000) * 30000;

inline bool PixelCountAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width * height < kMaxPhotoPixels;
}

// Asked once a decoder knows what a photo will cost and before it allocates any of it;
// false refuses the photo. A run on several threads uses it to share one budget.
using MemoryGate = std::function<bool(int64_t bytes)>;

// The gate's answer; without a gate, whether the bytes are within one photo's limit.
inline bool MayTake(const MemoryGate& gate, int64_t bytes) {
  return gate ? gate(bytes) : bytes <= kPhotoMemoryLimit;
}

// The error text of a photo refused for its size.
inline std::string TooLargeError(int64_t width, int64_t height) {
  return "picture too large to decode (" + std::to_string(width) + " x " +
         std::to_string(height) + ")";
}

}  // namespace prismora::photos
