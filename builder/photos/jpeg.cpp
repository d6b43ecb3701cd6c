#include "builder/photos/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <jpeglib.h>

#include "builder/photos/jpeg_colour.h"
#include "builder/photos/jpeg_entropy.h"
#include "builder/photos/jpeg_memory.h"
#include "builder/photos/jpeg_orientation.h"
#include "builder/photos/photo_memory.h"

namespace prismora::photos {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return; it jumps back
// to the call that started the work, with the library's own message kept.
struct JumpingErrors {
  jpeg_error_mgr mgr;
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
};

void JumpBack(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<JumpingErrors*>(cinfo->err);
  char libjpegMessage[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, libjpegMessage);
  std::snprintf(errors->message, sizeof errors->message, "%s",
                JpegFailureText(errors->mgr, libjpegMessage).c_str());
  std::longjmp(errors->back, 1);
}

void Quiet(j_common_ptr, int) {}  // warnings (a slightly damaged file) are not failures

void InitErrors(JumpingErrors& e) {
  jpeg_std_error(&e.mgr);
  e.mgr.error_exit = JumpBack;
  e.mgr.emit_message = Quiet;
  e.message[0] = 0;
}

int ScaledSide(int side, int eighths) { return int((int64_t(side) * eighths + 7) / 8); }

// Everything here is plain data or pointers, so jumping back out of libjpeg skips no
// destructor; `stored` is sized before any scanline is read. The picture goes into
// `stored` as the file holds it; `out` gets its upright size.
bool DecodeInto(std::span<const uint8_t> file, const DrawSizeFor& drawSize, int orientation,
                const MemoryGate& gate, PixelImage& stored, DecodedPhoto& out,
                JumpingErrors& errors) {
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = &errors.mgr;
  if (setjmp(errors.back)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&cinfo, TRUE);
  const int width = int(cinfo.image_width), height = int(cinfo.image_height);
  auto refuse = [&] {
    std::snprintf(errors.message, sizeof errors.message, "%s",
                  TooLargeError(width, height).c_str());
    jpeg_destroy_decompress(&cinfo);
    return false;
  };
  if (!PixelCountAllowed(width, height)) return refuse();
  const bool swapped = SwapsSides(orientation);
  out.fullWidth = swapped ? height : width;
  out.fullHeight = swapped ? width : height;
  PixelSize draw = drawSize(out.fullWidth, out.fullHeight);
  if (swapped) std::swap(draw.width, draw.height);
  cinfo.scale_num = unsigned(JpegScaleEighths(width, height, draw));
  cinfo.scale_denom = 8;
  const bool inks = ChooseJpegOutput(&cinfo);
  // The fitting samples the decoded pixels without smoothing anyway; the merged colour
  // upsampling is cheaper and looks the same after it.
  cinfo.do_fancy_upsampling = FALSE;
  // Everything this photo will take, before any of it is taken: libjpeg's buffers, the
  // decoded pixels and, for a turned photo, their upright copy.
  const int64_t libjpegBytes = LibjpegDecodeBytes(&cinfo);
  const int64_t pixelBytes = int64_t(cinfo.output_width) * cinfo.output_height * 3;
  // Ink rows come out one at a time into a row of libjpeg's own memory, freed with it.
  const int64_t inkRowBytes = inks ? int64_t(cinfo.output_width) * 4 : 0;
  // The gate and the pixel buffer may throw (an allocation that fails); libjpeg's own
  // memory is given back before the exception goes on. No libjpeg call runs inside these
  // blocks, so no error jump leaves them.
  bool granted = false;
  try {
    granted = MayTake(gate, libjpegBytes + inkRowBytes + pixelBytes * (orientation == 1 ? 1 : 2));
  } catch (...) {
    jpeg_destroy_decompress(&cinfo);
    throw;
  }
  if (!granted) return refuse();
  CapLibjpegMemory(&cinfo, libjpegBytes + inkRowBytes);
  LimitLibjpegScans(&cinfo);
  jpeg_start_decompress(&cinfo);
  InstallFastEntropyDecoder(&cinfo);  // libjpeg's own stays for the rare other kinds
  try {
    stored.Resize(int(cinfo.output_width), int(cinfo.output_height));
  } catch (...) {
    jpeg_destroy_decompress(&cinfo);
    throw;
  }
  PixelView v = stored.View();
  JSAMPARRAY inkRow = inks ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                         JPOOL_IMAGE, cinfo.output_width * 4, 1)
                           : nullptr;
  const bool inverted = JpegInksInverted(&cinfo);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = v.Row(int(cinfo.output_scanline));
    if (!inks) {
      jpeg_read_scanlines(&cinfo, &row, 1);
      continue;
    }
    jpeg_read_scanlines(&cinfo, inkRow, 1);
    CmykToBgr(inkRow[0], row, v.width, inverted);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

struct EncodedBytes {
  unsigned char* data = nullptr;
  unsigned long size = 0;
  ~EncodedBytes() { std::free(data); }
};

bool EncodeInto(const PixelView& image, int quality, EncodedBytes& bytes, JumpingErrors& errors) {
  jpeg_compress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = &errors.mgr;
  if (setjmp(errors.back)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &bytes.data, &bytes.size);
  cinfo.image_width = JDIMENSION(image.width);
  cinfo.image_height = JDIMENSION(image.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);  // sequential, YCbCr, Huffman
  jpeg_set_quality(&cinfo, quality, TRUE);  // TRUE: baseline-compatible tables
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = image.Row(int(cinfo.next_scanline));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

int JpegScaleEighths(int width, int height, PixelSize draw) {
  for (int n = 1; n < 8; ++n) {
    if (ScaledSide(width, n) >= draw.width && ScaledSide(height, n) >= draw.height) return n;
  }
  return 8;
}

bool DecodeJpeg(std::span<const uint8_t> file, const DrawSizeFor& drawSize, DecodedPhoto& out,
                std::string& error, const MemoryGate& gate) {
  if (!LooksLikeJpeg(file)) {
    error = "not a JPEG file";
    return false;
  }
  JumpingErrors errors;
  InitErrors(errors);
  const int orientation = JpegOrientation(file);
  if (orientation == 1) {
    if (DecodeInto(file, drawSize, orientation, gate, out.pixels, out, errors)) return true;
  } else {
    PixelImage stored;
    if (DecodeInto(file, drawSize, orientation, gate, stored, out, errors)) {
      if (SwapsSides(orientation)) {
        out.pixels.Resize(stored.Height(), stored.Width());
      } else {
        out.pixels.Resize(stored.Width(), stored.Height());
      }
      TurnUpright(stored.View(), orientation, out.pixels.View());
      return true;
    }
  }
  error = errors.message;
  return false;
}

bool EncodeJpeg(const PixelView& image, int quality, std::vector<uint8_t>& out,
                std::string& error) {
  JumpingErrors errors;
  InitErrors(errors);
  EncodedBytes bytes;
  if (!EncodeInto(image, quality, bytes, errors)) {
    error = errors.message;
    return false;
  }
  out.assign(bytes.data, bytes.data + bytes.size);
  return true;
}

}  // namespace prismora::photos
