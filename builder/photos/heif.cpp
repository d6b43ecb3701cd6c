#include "builder/photos/heif.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include <libheif/heif.h>

namespace prismora::photos {
namespace {

uint32_t U32Be(std::span<const uint8_t> d, size_t at) {
  return uint32_t(d[at]) << 24 | uint32_t(d[at + 1]) << 16 | uint32_t(d[at + 2]) << 8 | d[at + 3];
}

bool IsHeifBrand(std::span<const uint8_t> brand) {
  static constexpr std::array<const char*, 10> kBrands = {"heic", "heix", "hevc", "hevx", "heim",
                                                          "heis", "mif1", "msf1", "avif", "avis"};
  return std::any_of(kBrands.begin(), kBrands.end(),
                     [&](const char* b) { return std::memcmp(brand.data(), b, 4) == 0; });
}

// Owns what libheif hands out.
struct Decoding {
  heif_context* context = nullptr;
  heif_image_handle* handle = nullptr;
  heif_decoding_options* options = nullptr;
  heif_image* image = nullptr;
  ~Decoding() {
    heif_image_release(image);
    heif_decoding_options_free(options);
    heif_image_handle_release(handle);
    heif_context_free(context);
  }
};

std::string Reason(const char* what, const heif_error& e) {
  return std::string(what) + (e.message && *e.message ? std::string(" (") + e.message + ")" : "");
}

// What decoding costs besides our result: the decoder's own picture and libheif's copy
// of it (three planes at most, two bytes a sample above 8 bits, chroma counted at full
// resolution whatever the file's subsampling), libheif's interleaved colour copy, and
// room for the decoders' state.
int64_t LibheifBytes(int64_t pixels, int lumaBits, bool alpha) {
  const int64_t sample = lumaBits > 8 ? 2 : 1;
  const int64_t planes = pixels * sample * (3 + (alpha ? 1 : 0));
  return (int64_t(8) << 20) + planes * 2 + pixels * (alpha ? 4 : 3);
}

}  // namespace

bool LooksLikeHeif(std::span<const uint8_t> file) {
  if (file.size() < FtypBox::kCompatibleBrands) return false;
  if (std::memcmp(file.data() + FtypBox::kType, "ftyp", 4) != 0) return false;
  const uint64_t size = U32Be(file, FtypBox::kSize);
  if (size < FtypBox::kCompatibleBrands) return false;
  const size_t end = size_t(std::min<uint64_t>(size, file.size()));
  if (IsHeifBrand(file.subspan(FtypBox::kMajorBrand, 4))) return true;
  for (size_t at = FtypBox::kCompatibleBrands; at + 4 <= end; at += 4)
    if (IsHeifBrand(file.subspan(at, 4))) return true;
  return false;
}

bool DecodeHeif(std::span<const uint8_t> file, const DrawSizeFor& drawSize, DecodedPhoto& out,
                std::string& error, const MemoryGate& gate, uint32_t background) {
  if (!LooksLikeHeif(file)) {
    error = "not a HEIF file";
    return false;
  }
  Decoding d;
  d.context = heif_context_alloc();
  if (!d.context) {
    error = "Could not allocate memory for image";
    return false;
  }
  // libheif's own limit on the pixels of one image (its side squared), kept to ours.
  heif_context_set_maximum_image_size_limit(d.context, 30000);
  heif_error e = heif_context_read_from_memory_without_copy(d.context, file.data(), file.size(), nullptr);
  if (e.code != heif_error_Ok) {
    error = Reason("damaged or incomplete HEIF file", e);
    return false;
  }
  e = heif_context_get_primary_image_handle(d.context, &d.handle);
  if (e.code != heif_error_Ok) {
    error = Reason("damaged HEIF file", e);
    return false;
  }
  // The size once turned and cropped, which is what the file's boxes declare (ispe with
  // irot and clap): known before anything is decoded.
  const int width = heif_image_handle_get_width(d.handle);
  const int height = heif_image_handle_get_height(d.handle);
  const int ispeWidth = heif_image_handle_get_ispe_width(d.handle);
  const int ispeHeight = heif_image_handle_get_ispe_height(d.handle);
  if (width <= 0 || height <= 0 || ispeWidth <= 0 || ispeHeight <= 0) {
    error = "damaged HEIF file (no image size)";
    return false;
  }
  if (!PixelCountAllowed(width, height) || !PixelCountAllowed(ispeWidth, ispeHeight)) {
    error = TooLargeError(std::max(width, ispeWidth), std::max(height, ispeHeight));
    return false;
  }
  const bool alpha = heif_image_handle_has_alpha_channel(d.handle) != 0;
  const bool premultiplied = alpha && heif_image_handle_is_premultiplied_alpha(d.handle) != 0;
  const PixelSize draw = drawSize(width, height);
  const PixelSize cover = CoveringSize(width, height, draw);
  const int factor = std::max(1, std::min(width / std::max(1, cover.width), height / std::max(1, cover.height)));
  const int outWidth = (width + factor - 1) / factor, outHeight = (height + factor - 1) / factor;
  const int64_t pixels = std::max(int64_t(width) * height, int64_t(ispeWidth) * ispeHeight);
  const int64_t bytes = LibheifBytes(pixels, heif_image_handle_get_luma_bits_per_pixel(d.handle), alpha) +
                        int64_t(outWidth) * outHeight * 3 + int64_t(outWidth) * 4 * 8;
  if (!MayTake(gate, bytes)) {
    error = TooLargeError(width, height);
    return false;
  }

  d.options = heif_decoding_options_alloc();
  d.options->ignore_transformations = 0;
  d.options->convert_hdr_to_8bit = 1;
  e = heif_decode_image(d.handle, &d.image, heif_colorspace_RGB,
                        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, d.options);
  if (e.code != heif_error_Ok || !d.image) {
    error = Reason(e.code == heif_error_Unsupported_feature || e.code == heif_error_Unsupported_filetype
                       ? "a HEIF picture kind that cannot be read"
                       : "damaged or incomplete HEIF file",
                   e);
    return false;
  }
  int stride = 0;
  const uint8_t* plane = heif_image_get_plane_readonly(d.image, heif_channel_interleaved, &stride);
  const int w = heif_image_get_width(d.image, heif_channel_interleaved);
  const int h = heif_image_get_height(d.image, heif_channel_interleaved);
  if (!plane || w != width || h != height || stride < w * (alpha ? 4 : 3)) {
    error = "damaged HEIF file";
    return false;
  }

  // Each result pixel is the average of a factor × factor block (smaller at the right and
  // bottom edges), every source pixel first put onto the background.
  const int channels = alpha ? 4 : 3;
  const unsigned bg[3] = {background & 0xFF, background >> 8 & 0xFF, background >> 16 & 0xFF};
  out.pixels.Resize(outWidth, outHeight);
  const PixelView v = out.pixels.View();
  std::vector<uint64_t> sums(size_t(outWidth) * 3);
  for (int oy = 0; oy < outHeight; ++oy) {
    std::fill(sums.begin(), sums.end(), 0u);
    const int y0 = oy * factor, y1 = std::min(height, y0 + factor);
    for (int y = y0; y < y1; ++y) {
      const uint8_t* p = plane + size_t(y) * size_t(stride);
      // The block's sums move on every `factor` pixels (no division per pixel).
      uint64_t* s = sums.data();
      for (int x = 0, left = factor; x < width; ++x, p += channels) {
        if (!alpha) {
          s[0] += p[0], s[1] += p[1], s[2] += p[2];
        } else {
          const unsigned a = p[3];
          for (int c = 0; c < 3; ++c) {
            const unsigned under = (bg[c] * (255 - a) + 127) / 255;
            s[c] += premultiplied ? std::min(255u, p[c] + under) : (p[c] * a + bg[c] * (255 - a) + 127) / 255;
          }
        }
        if (--left == 0) s += 3, left = factor;
      }
    }
    uint8_t* row = v.Row(oy);
    for (int ox = 0; ox < outWidth; ++ox) {
      const int x0 = ox * factor, x1 = std::min(width, x0 + factor);
      const uint64_t n = uint64_t((x1 - x0) * (y1 - y0));
      const uint64_t* s = &sums[size_t(ox) * 3];
      // Red, green, blue in; blue, green, red out.
      for (int c = 0; c < 3; ++c) row[3 * ox + 2 - c] = uint8_t((s[c] + n / 2) / n);
    }
  }
  out.fullWidth = width;
  out.fullHeight = height;
  return true;
}

}  // namespace prismora::photos
