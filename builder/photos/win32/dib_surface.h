// A drawing surface: the window toolkit's 24-bit top-down DIB section, selected into a
// memory DC of its own. GDI can draw on it through Dc() and the platform-free photo code
// writes its pixels through Pixels() (same blue-green-red rows), so no copy sits between
// the two.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "builder/photos/photo_runs.h"
#include "builder/photos/pixels.h"
#include "platform/win32/wingui/surface.h"

namespace prismora::photos {

class DibSurface {
 public:
  DibSurface(int width, int height);  // white at first
  ~DibSurface();
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  bool Valid() const { return !pixels_.Empty(); }
  int Width() const { return pixels_.Width(); }
  int Height() const { return pixels_.Height(); }
  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return pixels_.Bitmap(); }
  // Finishes pending GDI drawing first, so the pixels are current.
  PixelView Pixels() const;

  // The canvas brush: the colour the window fills the surface with.
  uint32_t fillColor = 0;
  void FillWith(uint32_t color);
  // Copies the whole surface to (x, y) of `target`.
  void PaintTo(HDC target, int x, int y) const;

 private:
  wingui::Surface pixels_;
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// The main window's two surfaces as the photo runs see them; `drawn` lets the window
// repaint the control that shows the preview.
class DibFittingSurfaces final : public FittingSurfaces {
 public:
  DibFittingSurfaces(DibSurface& preview, DibSurface& forSave, std::function<void()> drawn = {})
      : preview_(preview), forSave_(forSave), drawn_(std::move(drawn)) {}
  PixelView Preview() override { return preview_.Pixels(); }
  PixelView ForSave() override { return forSave_.Pixels(); }
  void Drawn() override {
    if (drawn_) drawn_();
  }

 private:
  DibSurface& preview_;
  DibSurface& forSave_;
  std::function<void()> drawn_;
};

// Draws a picture into a rectangle of a DC (stretched, the DC's stretch mode already set).
using PictureDrawer = std::function<void(HDC dc, const RECT& target)>;

// A decoder for the formats only the window's picture loader reads: `load` reads the
// file's bytes and gives the picture's size (false when it cannot), `draw` renders what
// it loaded. The picture is rendered once at the size it is drawn at, with the plain
// colour-on-colour stretch.
OtherFormatDecoder DecoderFromPictureLoader(
    std::function<bool(std::span<const uint8_t> file, int& width, int& height,
                       std::string& error)> load,
    std::function<void(HDC dc, const RECT& target)> draw);

// Draws a whole bitmap stretched into the target rectangle.
PictureDrawer DrawBitmapStretched(HBITMAP bitmap);

}  // namespace prismora::photos
