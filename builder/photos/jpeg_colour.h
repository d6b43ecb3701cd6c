// The colour of a JPEG as libjpeg hands it over. libjpeg converts greyscale, YCbCr and RGB
// files to blue-green-red itself, but print-workflow files (CMYK, and YCCK, which libjpeg
// can only turn into CMYK) come out as four ink values a pixel, which we turn into light.
#pragma once
#include <cstdint>
#include <string>

struct jpeg_decompress_struct;
struct jpeg_error_mgr;

namespace prismora::photos {

// Call after jpeg_read_header: sets the output colour space (blue-green-red, or CMYK for
// four-component files). True when the rows come out as CMYK and need CmykToBgr.
bool ChooseJpegOutput(jpeg_decompress_struct* cinfo);

// Whether the ink values are stored inverted (0 = full ink). Files with Adobe's APP14
// marker, which every CMYK and YCCK writer of the print world sets, store them so; a
// plain CMYK file without it stores 255 for full ink.
bool JpegInksInverted(const jpeg_decompress_struct* cinfo);

// One row of `width` CMYK pixels (4 bytes each) to blue-green-red (3 bytes each): each
// light channel is what its ink and the black leave of white, (1 - C) × (1 - K).
void CmykToBgr(const uint8_t* cmyk, uint8_t* bgr, int width, bool inverted);

// The error text for a JPEG libjpeg gave up on: for the kinds this libjpeg cannot read at
// all (12-bit samples, lossless and hierarchical coding) a sentence saying so; else
// libjpeg's own message.
std::string JpegFailureText(const jpeg_error_mgr& errors, const char* libjpegMessage);

}  // namespace prismora::photos
