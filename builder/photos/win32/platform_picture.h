// The platform's picture decoder behind the picture wrapper: one picture file's bytes
// decoded into an OLE picture. JPEG, GIF, bitmap, icon and metafile go to the OLE
// decoder (OleLoadPicture); what it refuses (PNG and the like) to the imaging component
// (wic_decoder.h); WebP, TIFF, HEIC and AVIF never reach either, the builder's own
// readers decode them at full size. Nothing is allocated for a picture whose declared
// size the memory rule refuses (declared_size.h).
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace prismora::photos {

// Raised by decoding with one of the decoder messages (see platform_picture.cpp).
class PictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Whether the file goes to the builder's own readers rather than the platform's.
bool DecodedByOwnReaders(std::span<const uint8_t> file);

// Decodes `file`, which the declared-size rule allowed: by the own readers when
// DecodedByOwnReaders, else `platformBytes` (the file itself, or a GIF rewritten to show
// one frame, never longer) by the OLE decoder, then the whole file by the imaging
// component. The caller owns the picture; throws PictureError, never returns null.
IPicture* DecodePicture(std::span<const uint8_t> file, std::span<const uint8_t> platformBytes);

// Throws PictureError when the declared size would cost more than one photo may.
void CheckDeclaredSize(std::span<const uint8_t> file);

}  // namespace prismora::photos
