#include "builder/photos/win32/platform_picture.h"

#include <olectl.h>

#include <cstring>

#include "builder/photos/declared_size.h"
#include "builder/photos/heif.h"
#include "builder/photos/tiff.h"
#include "builder/photos/webp.h"
#include "builder/photos/win32/wic_decoder.h"

namespace prismora::photos {
namespace {

// The picture decoder is a COM object; the thread must have COM started once.
void EnsureComStarted() {
  static thread_local bool started = false;
  if (!started) {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    started = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
  }
}

// Decoded pixels wrapped as a bitmap picture, so sizes and drawing work as for the
// decoder's own pictures.
IPicture* PictureFromPixels(const WicImage& image) {
  HBITMAP bitmap = MakeBitmap(image);
  if (!bitmap) return nullptr;
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = bitmap;
  void* picture = nullptr;
  if (FAILED(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, &picture)) || !picture) {
    DeleteObject(bitmap);  // the picture owns the bitmap only once it exists
    return nullptr;
  }
  return static_cast<IPicture*>(picture);
}

// PNG and the like, which the OLE decoder refuses: decoded by the imaging component.
// Null when no codec reads the bytes either.
IPicture* PictureThroughImagingComponent(std::span<const uint8_t> bytes) {
  WicImage image;
  std::string error;
  if (!DecodeWithWic(bytes, image, error)) return nullptr;
  return PictureFromPixels(image);
}

// WebP, TIFF, HEIC and AVIF, which the builder reads itself (the platform's codecs read
// few TIFF layouts and, under some systems, no WebP or HEIF at all), at full size;
// transparent parts on white. Throws with the reader's reason.
IPicture* PictureThroughOwnReaders(std::span<const uint8_t> bytes) {
  DecodedPhoto photo;
  std::string error;
  auto fullSize = [](int w, int h) { return PixelSize{w, h}; };
  const bool decoded = LooksLikeWebp(bytes)   ? DecodeWebp(bytes, fullSize, photo, error)
                       : LooksLikeHeif(bytes) ? DecodeHeif(bytes, fullSize, photo, error)
                                                      : DecodeTiff(bytes, photo, error);
  if (!decoded || photo.pixels.Empty())
    throw PictureError("Could not load image. " + (error.empty() ? "Invalid format" : error));
  WicImage image;
  image.width = photo.pixels.Width();
  image.height = photo.pixels.Height();
  const PixelView v = photo.pixels.View();
  image.bgr.assign(v.pixels, v.pixels + size_t(v.stride) * v.height);
  photo = {};
  IPicture* picture = PictureFromPixels(image);
  if (!picture) throw PictureError("Could not allocate memory for image");
  return picture;
}

// The OLE decoder reads from a stream over a moveable memory block.
IPicture* PictureThroughOleDecoder(std::span<const uint8_t> file, std::span<const uint8_t> bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, file.empty() ? 1 : file.size());
  if (!block) throw PictureError("Could not allocate memory for image");
  void* locked = GlobalLock(block);
  if (!locked) {
    GlobalFree(block);
    throw PictureError("Could not allocate memory for image");
  }
  std::memcpy(locked, bytes.data(), bytes.size());
  GlobalUnlock(block);

  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
    GlobalFree(block);
    throw PictureError("Could not create image stream");
  }
  if (!stream) throw PictureError("Empty image stream created");

  EnsureComStarted();
  void* picture = nullptr;
  HRESULT hr = OleLoadPicture(stream, LONG(file.size()), FALSE, IID_IPicture, &picture);
  stream->Release();  // frees the block
  if (FAILED(hr) || hr != S_OK) {
    if (picture) static_cast<IPicture*>(picture)->Release();
    picture = PictureThroughImagingComponent(file);
    if (!picture) throw PictureError("Could not load image. Invalid format");
  }
  if (!picture) throw PictureError("Could not load image");
  return static_cast<IPicture*>(picture);
}

}  // namespace

bool DecodedByOwnReaders(std::span<const uint8_t> file) {
  return LooksLikeWebp(file) || LooksLikeTiff(file) || LooksLikeHeif(file);
}

void CheckDeclaredSize(std::span<const uint8_t> file) {
  // The platform's decoders size their buffers by the header, whatever the file holds.
  if (!photos::DeclaredSizeAffordable(file)) throw PictureError("Could not allocate memory for image");
}

IPicture* DecodePicture(std::span<const uint8_t> file, std::span<const uint8_t> platformBytes) {
  if (DecodedByOwnReaders(file)) return PictureThroughOwnReaders(file);
  return PictureThroughOleDecoder(file, platformBytes);
}

}  // namespace prismora::photos
