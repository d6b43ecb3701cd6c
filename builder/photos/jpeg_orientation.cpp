#include "builder/photos/jpeg_orientation.h"

#include <algorithm>

namespace prismora::photos {
namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
constexpr uint8_t kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};

// The TIFF structure inside the EXIF block, in its own byte order; every read checked.
struct TiffReader {
  std::span<const uint8_t> bytes;
  bool littleEndian = false;

  bool Has(size_t at, size_t n) const { return at <= bytes.size() && n <= bytes.size() - at; }
  uint16_t U16(size_t at) const {
    return littleEndian ? uint16_t(bytes[at] | bytes[at + 1] << 8)
                        : uint16_t(bytes[at] << 8 | bytes[at + 1]);
  }
  uint32_t U32(size_t at) const {
    const uint32_t a = U16(at), b = U16(at + 2);
    return littleEndian ? (b << 16 | a) : (a << 16 | b);
  }
};

// Header: "II" or "MM", 42, the offset of the first directory. Directory: a count, then
// 12-byte entries (tag, type, count, value or offset). A SHORT value sits in the first
// two bytes of the value field.
int OrientationInTiff(std::span<const uint8_t> tiff) {
  TiffReader r{tiff};
  if (!r.Has(0, 8)) return 1;
  if (tiff[0] == 'I' && tiff[1] == 'I') {
    r.littleEndian = true;
  } else if (tiff[0] != 'M' || tiff[1] != 'M') {
    return 1;
  }
  if (r.U16(2) != 42) return 1;
  const size_t directory = r.U32(4);
  if (!r.Has(directory, 2)) return 1;
  const int entries = r.U16(directory);
  for (int i = 0; i < entries; ++i) {
    const size_t entry = directory + 2 + size_t(i) * 12;
    if (!r.Has(entry, 12)) return 1;
    if (r.U16(entry) != kOrientationTag) continue;
    if (r.U16(entry + 2) != kShortType || r.U32(entry + 4) != 1) return 1;
    const int value = r.U16(entry + 8);
    return value >= 1 && value <= 8 ? value : 1;
  }
  return 1;
}

// Where a pixel of the upright picture comes from in the stored one:
// column = c0 + cx * x + cy * y, row = r0 + rx * x + ry * y, with c0 and r0 counted
// from the far edge (width - 1, height - 1) when the flag says so.
struct Turn {
  bool colFromEnd;
  int cx, cy;
  bool rowFromEnd;
  int rx, ry;
};
constexpr Turn kTurns[9] = {
    {false, 1, 0, false, 0, 1},   // (unused)
    {false, 1, 0, false, 0, 1},   // 1: as stored
    {true, -1, 0, false, 0, 1},   // 2: mirrored left to right
    {true, -1, 0, true, 0, -1},   // 3: half a turn
    {false, 1, 0, true, 0, -1},   // 4: mirrored top to bottom
    {false, 0, 1, false, 1, 0},   // 5: mirrored along the main diagonal
    {false, 0, 1, true, -1, 0},   // 6: a quarter turn clockwise
    {true, 0, -1, true, -1, 0},   // 7: mirrored along the other diagonal
    {true, 0, -1, false, 1, 0},   // 8: a quarter turn anticlockwise
};

}  // namespace

int JpegOrientation(std::span<const uint8_t> file) {
  if (file.size() < 4 || file[0] != 0xFF || file[1] != 0xD8) return 1;
  size_t at = 2;
  while (at + 4 <= file.size()) {
    if (file[at] != 0xFF) return 1;  // not a marker where one must be
    const uint8_t marker = file[at + 1];
    if (marker == 0xFF) {  // fill byte before a marker
      ++at;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return 1;  // the picture data: nothing before it
    const size_t length = size_t(file[at + 2]) << 8 | file[at + 3];
    if (length < 2 || length > file.size() - at - 2) return 1;
    const std::span<const uint8_t> payload = file.subspan(at + 4, length - 2);
    // APP1 also carries other blocks (XMP); only the EXIF one counts.
    if (marker == 0xE1 && payload.size() >= sizeof kExifHeader &&
        std::equal(kExifHeader, kExifHeader + sizeof kExifHeader, payload.begin())) {
      return OrientationInTiff(payload.subspan(sizeof kExifHeader));
    }
    at += 2 + length;
  }
  return 1;
}

int ExifOrientation(std::span<const uint8_t> exif) {
  if (exif.size() >= sizeof kExifHeader &&
      std::equal(kExifHeader, kExifHeader + sizeof kExifHeader, exif.begin()))
    exif = exif.subspan(sizeof kExifHeader);
  return OrientationInTiff(exif);
}

void TurnUpright(const PixelView& stored, int orientation, const PixelView& upright) {
  const Turn& t = kTurns[orientation >= 1 && orientation <= 8 ? orientation : 1];
  const std::ptrdiff_t col0 = t.colFromEnd ? stored.width - 1 : 0;
  const std::ptrdiff_t row0 = t.rowFromEnd ? stored.height - 1 : 0;
  const std::ptrdiff_t stepX = t.rx * stored.stride + t.cx * 3;
  const std::ptrdiff_t stepY = t.ry * stored.stride + t.cy * 3;
  const uint8_t* origin = stored.pixels + row0 * stored.stride + col0 * 3;
  for (int y = 0; y < upright.height; ++y) {
    const uint8_t* in = origin + y * stepY;
    uint8_t* out = upright.pixels + y * upright.stride;
    for (int x = 0; x < upright.width; ++x, in += stepX, out += 3) {
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
    }
  }
}

}  // namespace prismora::photos
