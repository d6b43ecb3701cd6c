#include "builder/photos/tiff.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include <tiffio.h>

namespace prismora::photos {
namespace {

// The file's bytes as libtiff's client I/O reads them, and the first error it reports.
struct MemoryFile {
  std::span<const uint8_t> bytes;
  uint64_t at = 0;
  std::string error;
};

tmsize_t ReadBytes(thandle_t h, void* buffer, tmsize_t size) {
  auto* f = static_cast<MemoryFile*>(h);
  if (size <= 0 || f->at >= f->bytes.size()) return 0;
  const uint64_t n = std::min<uint64_t>(uint64_t(size), f->bytes.size() - f->at);
  std::memcpy(buffer, f->bytes.data() + f->at, size_t(n));
  f->at += n;
  return tmsize_t(n);
}
tmsize_t WriteBytes(thandle_t, void*, tmsize_t) { return 0; }
toff_t Seek(thandle_t h, toff_t offset, int whence) {
  auto* f = static_cast<MemoryFile*>(h);
  const uint64_t base = whence == SEEK_CUR ? f->at : whence == SEEK_END ? f->bytes.size() : 0;
  if (offset > UINT64_MAX - base) return toff_t(-1);
  f->at = base + offset;  // past the end reads nothing
  return f->at;
}
int Close(thandle_t) { return 0; }
toff_t Size(thandle_t h) { return static_cast<MemoryFile*>(h)->bytes.size(); }
// The bytes are already in memory: libtiff reads strips and tiles straight from them
// (it never writes to a file opened for reading). Its copying path also refuses
// uncompressed tiles whose size is no multiple of 1 KB, which the mapped path reads.
int MapBytes(thandle_t h, void** base, toff_t* size) {
  auto* f = static_cast<MemoryFile*>(h);
  *base = const_cast<uint8_t*>(f->bytes.data());
  *size = f->bytes.size();
  return 1;
}
void Unmap(thandle_t, void*, toff_t) {}

int KeepFirstError(TIFF*, void* user, const char*, const char* format, va_list args) {
  auto* f = static_cast<MemoryFile*>(user);
  if (f->error.empty()) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, args);
    f->error = text;
  }
  return 1;  // handled: libtiff's own handler (standard error) stays quiet
}
int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct Opened {
  TIFF* tiff = nullptr;
  TIFFRGBAImage image{};
  bool begun = false;
  ~Opened() {
    if (begun) TIFFRGBAImageEnd(&image);
    if (tiff) TIFFClose(tiff);
  }
};

std::string Damaged(const MemoryFile& f) {
  return f.error.empty() ? "damaged TIFF file" : "damaged TIFF file (" + f.error + ")";
}

}  // namespace

bool LooksLikeTiff(std::span<const uint8_t> file) {
  if (file.size() < 8) return false;
  if (file[0] == 'I' && file[1] == 'I') return (file[2] == 42 || file[2] == 43) && file[3] == 0;
  if (file[0] == 'M' && file[1] == 'M') return file[2] == 0 && (file[3] == 42 || file[3] == 43);
  return false;
}

bool DecodeTiff(std::span<const uint8_t> file, DecodedPhoto& out, std::string& error,
                const MemoryGate& gate, uint32_t background) {
  if (!LooksLikeTiff(file)) {
    error = "not a TIFF file";
    return false;
  }
  MemoryFile f{file, 0, {}};
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  // No single buffer of libtiff's own (strip offsets, a strip, a tile) beyond one
  // photo's budget, whatever a damaged directory declares.
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(kPhotoMemoryLimit));
  TIFFOpenOptionsSetErrorHandlerExtR(options, KeepFirstError, &f);
  TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, &f);
  Opened o;
  // The first directory is the first page.
  o.tiff = TIFFClientOpenExt("photo", "r", &f, ReadBytes, WriteBytes, Seek, Close, Size, MapBytes,
                             Unmap, options);
  TIFFOpenOptionsFree(options);
  if (!o.tiff) {
    error = Damaged(f);
    return false;
  }
  uint32_t width = 0, height = 0;
  uint16_t orientation = ORIENTATION_TOPLEFT;
  TIFFGetField(o.tiff, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(o.tiff, TIFFTAG_IMAGELENGTH, &height);
  TIFFGetFieldDefaulted(o.tiff, TIFFTAG_ORIENTATION, &orientation);
  if (!PixelCountAllowed(width, height)) {
    error = width && height ? TooLargeError(width, height) : Damaged(f);
    return false;
  }
  // The 32-bit picture libtiff fills, our copy, its upright copy, and one strip or tile
  // of the file's own samples at a time.
  const int64_t pixels = int64_t(width) * height;
  const int64_t chunk = TIFFIsTiled(o.tiff) ? int64_t(TIFFTileSize64(o.tiff))
                                            : int64_t(TIFFStripSize64(o.tiff));
  const int64_t bytes = (int64_t(1) << 20) + pixels * 4 + pixels * 3 * (orientation == 1 ? 1 : 2) +
                        chunk * 2;
  if (!MayTake(gate, bytes)) {
    error = TooLargeError(width, height);
    return false;
  }
  char why[1024] = {};
  if (!TIFFRGBAImageOK(o.tiff, why) || !(o.begun = TIFFRGBAImageBegin(&o.image, o.tiff, 0, why))) {
    error = std::string("a TIFF layout that cannot be read (") + why + ")";
    return false;
  }
  // Rows as the file stores them, top first; the Orientation tag is applied below with
  // the rule JPEG photos use (libtiff would only mirror, never turn).
  o.image.orientation = ORIENTATION_TOPLEFT;
  o.image.req_orientation = ORIENTATION_TOPLEFT;
  std::vector<uint32_t> raster(static_cast<size_t>(pixels));
  if (!TIFFRGBAImageGet(&o.image, raster.data(), width, height)) {
    error = Damaged(f);
    return false;
  }
  PixelImage stored(static_cast<int>(width), static_cast<int>(height));
  const PixelView v = stored.View();
  const unsigned bg[3] = {background >> 16 & 0xFF, background >> 8 & 0xFF, background & 0xFF};
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t* in = &raster[size_t(y) * width];
    uint8_t* p = v.Row(int(y));
    for (uint32_t x = 0; x < width; ++x, p += 3) {
      // libtiff hands over colour already multiplied by its alpha.
      const uint32_t c = in[x];
      const unsigned a = TIFFGetA(c);
      const unsigned light[3] = {TIFFGetB(c), TIFFGetG(c), TIFFGetR(c)};
      for (int k = 0; k < 3; ++k) p[k] = uint8_t(std::min(255u, light[k] + (bg[k] * (255 - a) + 127) / 255));
    }
  }
  raster = {};
  PutUpright(stored, orientation >= 1 && orientation <= 8 ? orientation : 1, int(width),
             int(height), out);
  return true;
}

}  // namespace prismora::photos
