// The two conversion runs over the photo list: the photo bitmaps for the previews
// (PrepareTextures) and the installer's JPEG files (ExportPhotoJpegs), and the fitting of
// one photo onto both drawing surfaces that they share (DrawFittedPhoto). The window
// supplies its surfaces, its progress window and its picture decoder through the
// interfaces below; nothing here touches a window.
#pragma once
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "builder/photos/fitting.h"
#include "builder/photos/jpeg.h"
#include "builder/photos/pixels.h"
#include "builder/photos/reader_common.h"
#include "builder/project/settings.h"
#include "platform/seams.h"

namespace prismora::photos {

// The two drawing surfaces: the visible 256 × 256 preview and the hidden 512 × 512
// canvas every texture is made on.
struct FittingSurfaces {
  virtual ~FittingSurfaces() = default;
  virtual PixelView Preview() = 0;
  virtual PixelView ForSave() = 0;
  // Both surfaces hold a new picture (the preview control repaints).
  virtual void Drawn() = 0;
};

// The progress window of both runs.
struct ProgressUi {
  virtual ~ProgressUi() = default;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void SetRange(int minimum, int maximum) = 0;
  virtual void SetPosition(int position) = 0;
  // Sets the text and repaints it at once.
  virtual void SetLabel(const std::string& text) = 0;
};

// Decodes a file of another format from its bytes, already read.
using OtherFormatDecoder = std::function<bool(std::span<const uint8_t> file,
                                              const DrawSizeFor& drawSize, DecodedPhoto& out,
                                              std::string& error)>;

// What any thread can decode on its own: JPEG (libjpeg, scaled), WebP (libwebp, scaled),
// TIFF (libtiff), HEIC and AVIF (libheif) and uncompressed bitmaps, by their content. `OtherFormat` leaves the file
// to the window's picture loader; a photo of our formats that fails (refused for its
// size, damaged) is `Failed`, since that loader would try it at full size or crash on it.
// Transparent parts are put onto `background` (0x00BBGGRR).
enum class OwnDecode { Decoded, Failed, OtherFormat };
OwnDecode DecodeOwnFormats(std::span<const uint8_t> file, const DrawSizeFor& drawSize,
                           DecodedPhoto& out, std::string& error, const MemoryGate& gate = {},
                           uint32_t background = kWhite);

// Decodes the photo file at `path`: our own formats here, any other by the window's
// picture loader (which may be empty: then such files are refused). Called as a function
// of the path; for the window's thread only, since it keeps one file buffer from one
// photo to the next and the loader draws with the window's toolkit.
class PhotoDecoder {
 public:
  PhotoDecoder() = default;
  PhotoDecoder(platform::FileSystem& files, OtherFormatDecoder otherFormats);
  explicit operator bool() const { return files_ != nullptr; }

  bool operator()(const std::string& path, const DrawSizeFor& drawSize, DecodedPhoto& out,
                  std::string& error, uint32_t background = kWhite) const;
  // The same for a file already read.
  bool DecodeBytes(std::span<const uint8_t> file, const DrawSizeFor& drawSize,
                   DecodedPhoto& out, std::string& error, uint32_t background = kWhite) const;
  // Where the photo files are read from.
  platform::FileSystem& Files() const { return *files_; }

 private:
  platform::FileSystem* files_ = nullptr;
  OtherFormatDecoder otherFormats_;
  std::shared_ptr<std::vector<uint8_t>> buffer_;
};

PhotoDecoder MakePhotoDecoder(platform::FileSystem& files, OtherFormatDecoder otherFormats);

// Buffers one run reuses for every photo, so a long photo list does not allocate (and
// fault in) megabytes of fresh memory per photo.
struct PhotoScratch {
  DecodedPhoto photo;
  std::vector<uint8_t> encoded;
};

// What a photo run needs of the project and the window.
struct PhotoJob {
  const project::ProjectSettings& settings;  // photos, ResizeMethod, BorderColor, RandomColor
  RandomColors& random;                      // the program's one sequence
  FittingSurfaces& surfaces;
  const PhotoDecoder& decode;
  PhotoScratch scratch{};
  // Threads that decode, fit and encode photos: 0 for one per processor core, 1 for
  // everything on the calling thread. Never more than there are photos.
  int threads = 0;
  // Passed to the workers (FittingPlan::onMemoryGranted); empty in the product.
  std::function<void(int index, int64_t bytes)> onWorkerMemory{};
};

struct RunSeams {
  platform::FileSystem& files;
  platform::MessagePump& pump;
  ProgressUi& progress;
};

struct RunResult {
  bool ok = true;
  int failedIndex = -1;  // the photo the run stopped at
  std::string error;     // for the error box
};

// Worker threads for a run: `requested` (0: one per core of `cores`), never more than
// there are photos, and in a 32-bit process (`pointerBytes` 4) at most
// kMaxThreads32Bit, since every worker's buffers come out of 2 to 4 GB of address space.
inline constexpr int kMaxThreads32Bit = 4;
int RunThreads(int requested, int photos, unsigned cores, size_t pointerBytes = sizeof(void*));

// Loads photo `index` and draws it fitted onto both surfaces. Under "Use border" with
// Random Color on, draws one colour for it from the sequence (the same on both surfaces).
RunResult DrawFittedPhoto(PhotoJob& job, int index);

// The size a photo is drawn at on the 512 canvas, the larger of the two surfaces.
PixelSize TextureDrawSize(const project::ProjectSettings& settings, int width, int height);
PixelSize TextureDrawSize(bool border, int width, int height);

// Writes «folder»«stem»«i».bmp (512 × 512, 24 bits) for every photo. The caller creates
// the folder. On failure the progress window is hidden and the files written so far stay;
// it is hidden too when an exception (an allocation failing on this thread) ends the run.
RunResult PrepareTextures(PhotoJob& job, RunSeams seams, const std::string& folder,
                          const std::string& stem);

// Writes «folder»«Title»«i».jpg (512 × 512, quality 90) for every photo; same failure rule.
RunResult ExportPhotoJpegs(PhotoJob& job, RunSeams seams, const std::string& builderFolder);

}  // namespace prismora::photos
