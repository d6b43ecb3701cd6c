#include "builder/photos/jpeg_thumbnail.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE

#include <jpeglib.h>

#include <memory>

#include "builder/photos/jpeg_colour.h"
#include "builder/photos/jpeg_entropy.h"
#include "builder/photos/jpeg_memory.h"
#include "builder/photos/jpeg_orientation.h"
#include "builder/photos/photo_memory.h"

namespace prismora::photos {

int JpegScaleDenominator(Size full, Size target) {
  for (int d : {8, 4, 2}) {
    int w = (full.width + d - 1) / d, h = (full.height + d - 1) / d;  // libjpeg rounds up
    if (w >= target.width && h >= target.height) return d;
  }
  return 1;
}

BgrImage ScaleDown(const BgrImage& src, Size target) {
  BgrImage dst;
  if (target.width <= 0 || target.height <= 0 || src.width <= 0 || src.height <= 0) return dst;
  dst.width = target.width;
  dst.height = target.height;
  dst.pixels.assign(std::size_t(dst.width) * dst.height * 3, 0);
  for (int y = 0; y < dst.height; ++y) {
    int y0 = int(int64_t(y) * src.height / dst.height);
    int y1 = std::max(y0 + 1, int(int64_t(y + 1) * src.height / dst.height));
    for (int x = 0; x < dst.width; ++x) {
      int x0 = int(int64_t(x) * src.width / dst.width);
      int x1 = std::max(x0 + 1, int(int64_t(x + 1) * src.width / dst.width));
      uint32_t sum[3] = {0, 0, 0};
      for (int sy = y0; sy < y1 && sy < src.height; ++sy) {
        const uint8_t* p = &src.pixels[(std::size_t(sy) * src.width + x0) * 3];
        for (int sx = x0; sx < x1 && sx < src.width; ++sx, p += 3) {
          sum[0] += p[0];
          sum[1] += p[1];
          sum[2] += p[2];
        }
      }
      uint32_t n = uint32_t(std::min(y1, src.height) - y0) * uint32_t(std::min(x1, src.width) - x0);
      uint8_t* d = &dst.pixels[(std::size_t(y) * dst.width + x) * 3];
      for (int c = 0; c < 3; ++c) d[c] = uint8_t((sum[c] + n / 2) / n);
    }
  }
  return dst;
}

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back
// to the decoding function, which then gives up on this file.
struct ErrorJump {
  jpeg_error_mgr manager;
  std::jmp_buf back;
};

void JumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->back, 1); }
void Quiet(j_common_ptr, int) {}

// Everything the decoding changes lives here, outside the registers a longjmp restores.
struct Decoding {
  jpeg_decompress_struct info;
  ErrorJump error;
  BgrImage scaled;  // as the file stores the photo
  Size full;        // upright
  int orientation = 1;
  bool started = false;
  bool tooLarge = false;
};

bool Decode(std::span<const uint8_t> data, Size area, Decoding* d) {
  d->info.err = jpeg_std_error(&d->error.manager);
  d->error.manager.error_exit = JumpBack;
  d->error.manager.emit_message = Quiet;
  if (setjmp(d->error.back)) {
    d->tooLarge = photos::StoppedAtScanLimit(&d->info);
    jpeg_destroy_decompress(&d->info);
    return false;
  }
  jpeg_create_decompress(&d->info);
  jpeg_mem_src(&d->info, data.data(), static_cast<unsigned long>(data.size()));
  if (jpeg_read_header(&d->info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&d->info);
    return false;
  }
  const Size stored{int(d->info.image_width), int(d->info.image_height)};
  if (!photos::PixelCountAllowed(stored.width, stored.height)) {
    d->tooLarge = true;
    jpeg_destroy_decompress(&d->info);
    return false;
  }
  const bool swapped = photos::SwapsSides(d->orientation);
  d->full = swapped ? Size{stored.height, stored.width} : stored;
  Size target = FitPicture(d->full, area);
  if (swapped) target = {target.height, target.width};
  const bool inks = photos::ChooseJpegOutput(&d->info);  // blue first, as DIBs keep it
  d->info.scale_num = 1;
  d->info.scale_denom = unsigned(JpegScaleDenominator(stored, target));
  d->info.dct_method = JDCT_ISLOW;
  // What the thumbnail will take before any of it is taken: libjpeg's buffers, the
  // scaled picture and, for a turned photo, its upright copy.
  const int64_t libjpegBytes = photos::LibjpegDecodeBytes(&d->info);
  const int64_t scaledBytes = int64_t(d->info.output_width) * d->info.output_height * 3;
  const int64_t inkRowBytes = inks ? int64_t(d->info.output_width) * 4 : 0;
  if (!photos::MayTake({}, libjpegBytes + inkRowBytes +
                               scaledBytes * (d->orientation == 1 ? 1 : 2))) {
    d->tooLarge = true;
    jpeg_destroy_decompress(&d->info);
    return false;
  }
  photos::CapLibjpegMemory(&d->info, libjpegBytes + inkRowBytes);
  photos::LimitLibjpegScans(&d->info);
  jpeg_start_decompress(&d->info);
  photos::InstallFastEntropyDecoder(&d->info);
  d->started = true;
  d->scaled.width = int(d->info.output_width);
  d->scaled.height = int(d->info.output_height);
  d->scaled.pixels.resize(std::size_t(d->scaled.width) * d->scaled.height * 3);
  // Ink rows go through one row of libjpeg's own memory, freed with the decompressor.
  JSAMPARRAY inkRow =
      inks ? (*d->info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d->info), JPOOL_IMAGE,
                                          d->info.output_width * 4, 1)
           : nullptr;
  const bool inverted = photos::JpegInksInverted(&d->info);
  while (d->info.output_scanline < d->info.output_height) {
    JSAMPROW row = &d->scaled.pixels[std::size_t(d->info.output_scanline) * d->scaled.width * 3];
    if (!inks) {
      jpeg_read_scanlines(&d->info, &row, 1);
      continue;
    }
    jpeg_read_scanlines(&d->info, inkRow, 1);
    photos::CmykToBgr(inkRow[0], row, d->scaled.width, inverted);
  }
  jpeg_finish_decompress(&d->info);
  jpeg_destroy_decompress(&d->info);
  return true;
}

}  // namespace

std::optional<DecodedThumbnail> DecodeJpegThumbnail(std::span<const uint8_t> data, Size area,
                                                    JpegRefusal* refusal) {
  if (refusal) *refusal = JpegRefusal::NotForLibjpeg;
  if (!LooksLikeJpeg(data)) return std::nullopt;
  auto d = std::make_unique<Decoding>();
  d->orientation = photos::JpegOrientation(data);
  if (!Decode(data, area, d.get())) {
    if (refusal && d->tooLarge) *refusal = JpegRefusal::TooLarge;
    return std::nullopt;
  }
  if (refusal) *refusal = JpegRefusal::None;
  DecodedThumbnail out;
  out.fullSize = d->full;
  const Size target = FitPicture(d->full, area);
  if (d->orientation == 1) {
    out.image = ScaleDown(d->scaled, target);
    return out;
  }
  BgrImage upright;
  const bool swapped = photos::SwapsSides(d->orientation);
  upright.width = swapped ? d->scaled.height : d->scaled.width;
  upright.height = swapped ? d->scaled.width : d->scaled.height;
  upright.pixels.resize(d->scaled.pixels.size());
  auto view = [](BgrImage& image) {
    return photos::PixelView{image.pixels.data(), image.width, image.height,
                             std::ptrdiff_t(image.width) * 3};
  };
  photos::TurnUpright(view(d->scaled), d->orientation, view(upright));
  out.image = ScaleDown(upright, target);
  return out;
}

}  // namespace prismora::photos
