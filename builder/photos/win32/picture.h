// TIPicture: the bytes of one picture file, decoded by the platform's picture decoder
// (builder/photos/win32/platform_picture.h), its size, frames and drawing. A GIF frame
// other than the first is shown by rewriting the bytes before decoding.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "builder/photos/win32/platform_picture.h"
#include "platform/seams.h"

namespace prismora::photos {

// Reads a whole picture file (up to 1 GB); false when it cannot be read.
bool ReadPictureFile(const std::string& fileName, std::vector<uint8_t>& out);
// Where ReadPictureFile reads: the program's one file system (with its gate for other
// computers). Null: the platform's own, directly.
void SetPictureFileSystem(platform::FileSystem* files);

class TIPicture {
 public:
  TIPicture();
  ~TIPicture();
  TIPicture(const TIPicture&) = delete;
  TIPicture& operator=(const TIPicture&) = delete;

  // Loads and decodes a file; any failure leaves the picture empty, nothing is thrown.
  void LoadFromFile(const std::string& fileName) noexcept;
  // As LoadFromFile from bytes in memory, but errors reach the caller. A null stream
  // does nothing.
  void LoadFromStream(const std::vector<uint8_t>* stream);
  void LoadFromBytes(std::span<const uint8_t> bytes);
  // Raw-data resources (RT_RCDATA). The name variant does nothing for a missing
  // resource; the id variant throws PictureError.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  void LoadFromResourceID(HINSTANCE instance, int id);
  // "res://name" loads a resource of this program, "file://path" a file; any other
  // address does nothing.
  void LoadFromURL(const std::string& url);
  const std::string& URL() const { return url_; }

  // Streaming of the raw bytes: ReadData decodes without resetting Frame and without
  // OnChange; WriteData and SaveToStream append the bytes to a non-null target.
  void ReadData(const std::vector<uint8_t>* stream);
  void WriteData(std::vector<uint8_t>* stream) const;
  void SaveToStream(std::vector<uint8_t>* stream) const { WriteData(stream); }

  // Copies another picture's bytes and decodes them; null empties this one.
  void Assign(const TIPicture* source);

  int Frame() const { return frame_; }
  void SetFrame(int frame);  // decodes again when there are bytes

  bool Empty() const { return empty_; }
  bool Stretch = false;  // kept for the caller; drawing always fills the rectangle

  // Pixels at 96 per inch; 0 without a decoded picture.
  int Width() const;
  int Height() const;
  // The GIF logical screen when known, else Width / Height.
  int MaxWidth() const;
  int MaxHeight() const;

  bool IsGIFFile() const;
  int FrameCount() const;  // -1 when not a GIF
  // Delay of frame n (1-based) in hundredths of a second, -1 when there is none; keeps
  // that frame's transparency flag and disposal method.
  int FrameTime(int n);
  bool FrameTransparent() const { return frameTransparent_; }
  int FrameDisposal() const { return frameDisposal_; }
  int FrameLeft() const { return frameLeft_; }
  int FrameTop() const { return frameTop_; }
  int FrameWidth() const { return frameWidth_; }
  int FrameHeight() const { return frameHeight_; }

  // Renders the whole picture into `rect` (moved by the frame position), bottom-up
  // with a negative destination height. The decoder then places the picture one row
  // lower than the rectangle (its first row stays empty); DrawExact does not.
  void Draw(HDC dc, const RECT& rect) const;
  // Renders into exactly `rect`, turning the source over instead of the destination.
  void DrawExact(HDC dc, const RECT& rect) const;

  const std::vector<uint8_t>& Data() const { return data_; }
  // Drops bytes and decoded picture; the picture is empty afterwards.
  void Clear();

  std::function<void()> OnChange;
  std::function<void()> OnFrameChange;

 private:
  void LoadPicture();  // decodes data_ into picture_, throws PictureError
  void ReleasePicture();
  void Changed() const;

  IPicture* picture_ = nullptr;
  std::vector<uint8_t> data_;
  bool empty_ = true;
  std::string url_;
  int frame_ = 0;
  uint16_t frameLeft_ = 0, frameTop_ = 0, frameWidth_ = 0, frameHeight_ = 0;
  bool frameTransparent_ = false;
  int frameDisposal_ = 0;
  uint16_t screenWidth_ = 0, screenHeight_ = 0;
};

}  // namespace prismora::photos
