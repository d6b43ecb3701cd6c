// What libjpeg will allocate for one decode, known from the header alone. Sequential files
// are decoded a few block rows at a time; progressive and other multi-scan files keep
// every coefficient of the whole picture until the last scan (128 bytes per 8 × 8 block
// of each component, whatever the output scale), which is what makes a small progressive
// file declaring a huge size so expensive.
#pragma once
#include <cstdint>

struct jpeg_decompress_struct;

namespace prismora::photos {

// Call after jpeg_read_header and after setting the scale and output colour space; fills
// in the output dimensions (jpeg_calc_output_dimensions). The bytes libjpeg will take,
// not counting the caller's own output buffer.
int64_t LibjpegDecodeBytes(jpeg_decompress_struct* cinfo);

// Makes libjpeg refuse, with its own error and before allocating them, whole-picture
// buffers that would take it past `bytes` (it has no backing store to fall back on).
void CapLibjpegMemory(jpeg_decompress_struct* cinfo, int64_t bytes);

// A progressive file's scans each go over every coefficient of the whole picture, and
// a scan header takes a few bytes: a small file repeating one scan thousands of times
// keeps the decoder busy for minutes. Encoders write about ten scans; libjpeg is made to
// stop, through its error exit with a message naming the limit, after this many.
inline constexpr int kMaxJpegScans = 500;
void LimitLibjpegScans(jpeg_decompress_struct* cinfo);
// Whether the error libjpeg stopped with is that limit.
bool StoppedAtScanLimit(const jpeg_decompress_struct* cinfo);

}  // namespace prismora::photos
