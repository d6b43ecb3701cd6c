#include "builder/thumbnails/picture.h"

#include <olectl.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "builder/photos/heif.h"
#include "builder/photos/tiff.h"
#include "builder/photos/webp.h"
#include "builder/thumbnails/declared_size.h"
#include "builder/thumbnails/gif_frames.h"
#include "builder/thumbnails/thumbnail_geometry.h"
#include "platform/win32/wic_decoder.h"
#include "platform/win32/win32_seams.h"

namespace prismora::thumbnails {

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
IPicture* PictureFromPixels(const platform::WicImage& image) {
  HBITMAP bitmap = platform::MakeBitmap(image);
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
IPicture* PictureThroughImagingComponent(const std::vector<uint8_t>& bytes) {
  platform::WicImage image;
  std::string error;
  if (!platform::DecodeWithWic(bytes, image, error)) return nullptr;
  return PictureFromPixels(image);
}

// WebP, TIFF, HEIC and AVIF, which the builder reads itself (the platform's codecs read
// few TIFF layouts and, under some systems, no WebP or HEIF at all), at full size;
// transparent parts on white. Throws with the reader's reason.
IPicture* PictureThroughOwnReaders(std::span<const uint8_t> bytes) {
  photos::DecodedPhoto photo;
  std::string error;
  auto fullSize = [](int w, int h) { return photos::PixelSize{w, h}; };
  const bool decoded = photos::LooksLikeWebp(bytes)   ? photos::DecodeWebp(bytes, fullSize, photo, error)
                       : photos::LooksLikeHeif(bytes) ? photos::DecodeHeif(bytes, fullSize, photo, error)
                                                      : photos::DecodeTiff(bytes, photo, error);
  if (!decoded || photo.pixels.Empty())
    throw PictureError("Could not load image. " + (error.empty() ? "Invalid format" : error));
  platform::WicImage image;
  image.width = photo.pixels.Width();
  image.height = photo.pixels.Height();
  const photos::PixelView v = photo.pixels.View();
  image.bgr.assign(v.pixels, v.pixels + size_t(v.stride) * v.height);
  photo = {};
  IPicture* picture = PictureFromPixels(image);
  if (!picture) throw PictureError("Could not allocate memory for image");
  return picture;
}

}  // namespace

namespace {
platform::FileSystem* pictureFiles = nullptr;
}  // namespace

void SetPictureFileSystem(platform::FileSystem* files) { pictureFiles = files; }

bool ReadPictureFile(const std::string& name, std::vector<uint8_t>& out) {
  if (pictureFiles) return pictureFiles->ReadWholeFile(name, out);
  return platform::Win32FileSystem().ReadWholeFile(name, out);
}

TIPicture::TIPicture() = default;

TIPicture::~TIPicture() { ReleasePicture(); }

void TIPicture::ReleasePicture() {
  if (picture_) picture_->Release();
  picture_ = nullptr;
}

void TIPicture::Changed() const {
  if (OnChange) OnChange();
}

void TIPicture::Clear() {
  ReleasePicture();
  data_.clear();
  data_.shrink_to_fit();
  empty_ = true;
}

void TIPicture::LoadPicture() {
  ReleasePicture();
  frameLeft_ = frameTop_ = frameWidth_ = frameHeight_ = 0;
  screenWidth_ = screenHeight_ = 0;
  // The platform's decoders size their buffers by the header, whatever the file holds.
  if (!DeclaredSizeAffordable(data_)) throw PictureError("Could not allocate memory for image");
  if (photos::LooksLikeWebp(data_) || photos::LooksLikeTiff(data_) || photos::LooksLikeHeif(data_)) {
    picture_ = PictureThroughOwnReaders(data_);
    return;
  }

  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, data_.empty() ? 1 : data_.size());
  if (!block) throw PictureError("Could not allocate memory for image");
  void* bytes = GlobalLock(block);
  if (!bytes) {
    GlobalFree(block);
    throw PictureError("Could not allocate memory for image");
  }
  gif::FrameSelection selection = gif::SelectFrame(data_, frame_);
  frameLeft_ = selection.left;
  frameTop_ = selection.top;
  frameWidth_ = selection.width;
  frameHeight_ = selection.height;
  screenWidth_ = selection.screenWidth;
  screenHeight_ = selection.screenHeight;
  // The rewritten GIF is never longer than the original, so it fits the block.
  std::memcpy(bytes, selection.bytes.data(), selection.bytes.size());
  GlobalUnlock(block);

  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
    GlobalFree(block);
    throw PictureError("Could not create image stream");
  }
  if (!stream) throw PictureError("Empty image stream created");

  EnsureComStarted();
  void* picture = nullptr;
  HRESULT hr = OleLoadPicture(stream, LONG(data_.size()), FALSE, IID_IPicture, &picture);
  stream->Release();  // frees the block
  if (FAILED(hr) || hr != S_OK) {
    if (picture) static_cast<IPicture*>(picture)->Release();
    picture = PictureThroughImagingComponent(data_);
    if (!picture) throw PictureError("Could not load image. Invalid format");
  }
  if (!picture) throw PictureError("Could not load image");
  picture_ = static_cast<IPicture*>(picture);
}

void TIPicture::LoadFromFile(const std::string& fileName) noexcept {
  try {
    std::vector<uint8_t> bytes;
    if (!ReadPictureFile(fileName, bytes)) throw PictureError("Could not open file");
    data_ = std::move(bytes);
    empty_ = false;
    frame_ = 1;
    LoadPicture();
    Changed();
  } catch (...) {
    ReleasePicture();
    empty_ = true;
  }
}

void TIPicture::LoadFromStream(const std::vector<uint8_t>* stream) {
  if (stream) LoadFromBytes(*stream);
}

void TIPicture::LoadFromBytes(std::span<const uint8_t> bytes) {
  data_.assign(bytes.begin(), bytes.end());
  empty_ = false;
  frame_ = 1;
  LoadPicture();
  Changed();
}

void TIPicture::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  HRSRC found = FindResourceA(instance, name.c_str(), MAKEINTRESOURCEA(10));
  if (!found) return;
  HGLOBAL loaded = LoadResource(instance, found);
  const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
  if (!bytes) return;
  LoadFromBytes({bytes, SizeofResource(instance, found)});
}

void TIPicture::LoadFromResourceID(HINSTANCE instance, int id) {
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
  if (!found) throw PictureError("Resource " + std::to_string(id) + " not found");
  HGLOBAL loaded = LoadResource(instance, found);
  const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
  if (!bytes) throw PictureError("Resource " + std::to_string(id) + " not found");
  LoadFromBytes({bytes, SizeofResource(instance, found)});
}

void TIPicture::LoadFromURL(const std::string& url) {
  PictureUrl parsed = ParsePictureUrl(url);
  if (parsed.scheme == UrlScheme::None) return;
  url_ = url;
  if (parsed.rest.empty()) return;
  if (parsed.scheme == UrlScheme::Resource)
    LoadFromResourceName(GetModuleHandleA(nullptr), parsed.rest);
  else
    LoadFromFile(parsed.rest);
}

void TIPicture::ReadData(const std::vector<uint8_t>* stream) {
  if (!stream) return;
  data_ = *stream;
  empty_ = false;
  LoadPicture();
}

void TIPicture::WriteData(std::vector<uint8_t>* stream) const {
  if (stream) stream->insert(stream->end(), data_.begin(), data_.end());
}

void TIPicture::Assign(const TIPicture* source) {
  empty_ = true;
  ReleasePicture();
  if (!source) {
    data_.clear();
    Changed();
    return;
  }
  data_ = source->data_;
  empty_ = false;
  LoadPicture();
  Changed();
}

void TIPicture::SetFrame(int frame) {
  frame_ = frame;
  if (data_.empty()) return;
  LoadPicture();
  if (OnFrameChange) OnFrameChange();
}

namespace {
int HimetricWidth(IPicture* p) {
  OLE_XSIZE_HIMETRIC w = 0;
  p->get_Width(&w);
  return int(w);
}
int HimetricHeight(IPicture* p) {
  OLE_YSIZE_HIMETRIC h = 0;
  p->get_Height(&h);
  return int(h);
}
}  // namespace

int TIPicture::Width() const { return picture_ ? HimetricToPixels(HimetricWidth(picture_)) : 0; }
int TIPicture::Height() const { return picture_ ? HimetricToPixels(HimetricHeight(picture_)) : 0; }

int TIPicture::MaxWidth() const {
  if (!picture_) return 0;
  return screenWidth_ ? screenWidth_ : Width();
}

int TIPicture::MaxHeight() const {
  if (!picture_) return 0;
  return screenHeight_ ? screenHeight_ : Height();
}

bool TIPicture::IsGIFFile() const { return gif::IsGifFile(data_); }

int TIPicture::FrameCount() const { return gif::FrameCount(data_); }

int TIPicture::FrameTime(int n) {
  std::optional<gif::FrameTiming> t = gif::FrameTime(data_, n);
  if (!t) return -1;
  frameTransparent_ = t->transparent;
  frameDisposal_ = t->disposal;
  return t->delay;
}

void TIPicture::Draw(HDC dc, const RECT& rect) const {
  if (empty_ || !picture_) return;
  long w = HimetricWidth(picture_), h = HimetricHeight(picture_);
  RECT moved = rect;
  OffsetRect(&moved, frameLeft_, frameTop_);
  // The decoder's pictures are stored bottom-up: start at the bottom, negative height.
  picture_->Render(dc, moved.left, moved.bottom, moved.right - moved.left,
                   -(moved.bottom - moved.top), 0, 0, w, h, &moved);
}

void TIPicture::DrawExact(HDC dc, const RECT& rect) const {
  if (empty_ || !picture_) return;
  long w = HimetricWidth(picture_), h = HimetricHeight(picture_);
  RECT moved = rect;
  OffsetRect(&moved, frameLeft_, frameTop_);
  // HIMETRIC runs upwards: start the source at its top (h) and go down (-h).
  picture_->Render(dc, moved.left, moved.top, moved.right - moved.left, moved.bottom - moved.top,
                   0, h, w, -h, &moved);
}

}  // namespace prismora::thumbnails
