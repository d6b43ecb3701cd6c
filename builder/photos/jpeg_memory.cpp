#include "builder/photos/jpeg_memory.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include <jpeglib.h>

namespace prismora::photos {
namespace {

int64_t RoundUp(int64_t value, int64_t multiple) {
  return multiple <= 0 ? value : (value + multiple - 1) / multiple * multiple;
}

// Huffman and quantisation tables, our own entropy decoder's look-up tables, the source
// manager and the per-pass bookkeeping: well under this.
constexpr int64_t kFixedBytes = int64_t(1) << 20;

// libjpeg's own message numbers end well below this; ours is added to its table.
constexpr int kScanLimitMessage = 1000;
const char* const kScanLimitText[] = {"JPEG file has more than %d scans", nullptr};

void StopPastScanLimit(j_common_ptr common) {
  auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
  if (cinfo->input_scan_number <= kMaxJpegScans) return;
  cinfo->err->msg_code = kScanLimitMessage;
  cinfo->err->msg_parm.i[0] = kMaxJpegScans;
  (*cinfo->err->error_exit)(common);
}

}  // namespace

int64_t LibjpegDecodeBytes(jpeg_decompress_struct* cinfo) {
  jpeg_calc_output_dimensions(cinfo);
  int64_t bytes = kFixedBytes;
  // The whole-picture coefficient buffers, exactly as the coefficient controller asks
  // for them.
  if (jpeg_has_multiple_scans(cinfo)) {
    for (int ci = 0; ci < cinfo->num_components; ++ci) {
      const jpeg_component_info& c = cinfo->comp_info[ci];
      bytes += RoundUp(c.width_in_blocks, c.h_samp_factor) *
               RoundUp(c.height_in_blocks, c.v_samp_factor) * int64_t(sizeof(JBLOCK));
    }
  }
  // Sample rows between the inverse transform, the upsampling and the colour conversion:
  // a few rows of blocks of every component at full width. Counted generously, as
  // four block rows of the tallest sampling, which the main buffer with its context rows
  // and the upsampler's rows stay under.
  const int64_t blockRow = int64_t(cinfo->max_v_samp_factor) * DCTSIZE;
  const int64_t width = RoundUp(cinfo->image_width, int64_t(cinfo->max_h_samp_factor) * DCTSIZE);
  bytes += width * blockRow * 4 * cinfo->num_components;
  bytes += int64_t(cinfo->output_width) * cinfo->out_color_components * blockRow * 2;
  return bytes;
}

void CapLibjpegMemory(jpeg_decompress_struct* cinfo, int64_t bytes) {
  // `long` is 32 bits on Windows; every limit we set is far below that.
  cinfo->mem->max_memory_to_use = long(std::min<int64_t>(bytes, LONG_MAX));
}

}  // namespace prismora::photos

namespace prismora::photos {

void LimitLibjpegScans(jpeg_decompress_struct* cinfo) {
  // Lives in the image's pool, so jpeg_destroy_decompress frees it.
  auto* progress = static_cast<jpeg_progress_mgr*>(
      (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, sizeof(jpeg_progress_mgr)));
  *progress = {};
  progress->progress_monitor = StopPastScanLimit;
  cinfo->progress = progress;
  cinfo->err->addon_message_table = kScanLimitText;
  cinfo->err->first_addon_message = kScanLimitMessage;
  cinfo->err->last_addon_message = kScanLimitMessage;
}

bool StoppedAtScanLimit(const jpeg_decompress_struct* cinfo) {
  return cinfo->err->msg_code == kScanLimitMessage;
}

}  // namespace prismora::photos
