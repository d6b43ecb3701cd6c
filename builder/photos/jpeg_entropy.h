// Huffman decoding of sequential JPEG scans, put in the place of libjpeg's own once
// decompression has started. libjpeg still reads the markers, scales, transforms and
// converts the colours; this part only turns the scan's bits into coefficient blocks.
//
// Why: decoding a camera photo at the reduced scale spends most of its time on the
// Huffman codes, since every coefficient must be read even when the scaled transform
// uses few of them. libjpeg looks a coefficient up in two steps (the code, then its value
// bits); here one table look-up yields the run of zeros and the value of up to two short
// coefficients at once, about a third less time for a noisy 12-megapixel photo. libjpeg
// also takes its slow path for every scan with restart markers, which many cameras write.
#pragma once

struct jpeg_decompress_struct;

namespace prismora::photos {

// Call after jpeg_start_decompress and before the first scanline. Takes over scans that
// are sequential, Huffman-coded, 8-bit and hold every component (nearly every photo);
// returns false and leaves libjpeg's decoder in place for anything else. The decoder
// lives in the image's memory pool, so jpeg_finish/destroy_decompress free it.
bool InstallFastEntropyDecoder(jpeg_decompress_struct* cinfo);

}  // namespace prismora::photos
