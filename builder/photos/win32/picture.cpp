#include "builder/photos/win32/picture.h"

#include <olectl.h>

#include <algorithm>
#include <optional>

#include "builder/photos/gif_frames.h"
#include "builder/photos/picture_geometry.h"
#include "platform/win32/win32_seams.h"

namespace prismora::photos {

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
  photos::CheckDeclaredSize(data_);
  if (photos::DecodedByOwnReaders(data_)) {
    picture_ = photos::DecodePicture(data_, data_);
    return;
  }
  gif::FrameSelection selection = gif::SelectFrame(data_, frame_);
  frameLeft_ = selection.left;
  frameTop_ = selection.top;
  frameWidth_ = selection.width;
  frameHeight_ = selection.height;
  screenWidth_ = selection.screenWidth;
  screenHeight_ = selection.screenHeight;
  picture_ = photos::DecodePicture(data_, selection.bytes);
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

}  // namespace prismora::photos
