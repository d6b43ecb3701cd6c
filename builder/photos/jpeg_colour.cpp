#include "builder/photos/jpeg_colour.h"

#include <cstdio>  // jpeglib.h needs FILE

#include <jpeglib.h>
#include <jerror.h>

namespace prismora::photos {

bool ChooseJpegOutput(jpeg_decompress_struct* cinfo) {
  const bool inks = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = inks ? JCS_CMYK : JCS_EXT_BGR;  // BGR: the pixel buffers' order
  return inks;
}

bool JpegInksInverted(const jpeg_decompress_struct* cinfo) {
  return cinfo->saw_Adobe_marker != 0;
}

void CmykToBgr(const uint8_t* cmyk, uint8_t* bgr, int width, bool inverted) {
  // With the values inverted, each one already is the light its ink leaves.
  const unsigned flip = inverted ? 0 : 255;
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    const unsigned k = cmyk[3] ^ flip;
    for (int c = 0; c < 3; ++c) {
      const unsigned v = (cmyk[c] ^ flip) * k;  // 0 .. 255²
      bgr[2 - c] = uint8_t((v + 127) / 255);    // C → red, M → green, Y → blue
    }
  }
}

std::string JpegFailureText(const jpeg_error_mgr& errors, const char* libjpegMessage) {
  switch (errors.msg_code) {
    case JERR_BAD_PRECISION:
      return "a " + std::to_string(errors.msg_parm.i[0]) +
             "-bit JPEG, which cannot be read (only 8-bit JPEG photos can)";
    case JERR_SOF_UNSUPPORTED:
      return "a lossless or hierarchical JPEG, which cannot be read";
    default:
      return libjpegMessage;
  }
}

}  // namespace prismora::photos
