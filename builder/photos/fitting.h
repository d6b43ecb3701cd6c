// Fitting one photo into a square texture: the two methods of the ResizeMethod setting,
// the border rectangle and the builder's one random colour sequence.
#pragma once
#include <cstdint>
#include <string>

#include "builder/photos/pixels.h"

namespace prismora::photos {

inline constexpr int kTextureSide = 512;  // the working canvas, "ImageForSave"
inline constexpr int kPreviewSide = 256;  // the visible preview, "ImagePreview"

// The centred, aspect-keeping rectangle a width × height picture takes on a square of
// `side` pixels under "Use border". Every step truncates toward zero, so a 1000 × 667
// photo lands on rows 85 to 426 of a 512 square.
PixelRect BorderFitRect(int width, int height, int side);

// The builder's random colour sequence: one state for the whole program run, seeded
// with 1 and never reseeded, so every run draws the same colours in the same order.
// Results are 0 to 32767 used directly as 0x00BBGGRR: red any value, green at most 127,
// never any blue.
class RandomColors {
 public:
  uint32_t NextRandomColor() {
    state_ = state_ * 22695477u + 1u;
    return (state_ >> 16) & 0x7FFFu;
  }

 private:
  uint32_t state_ = 1;
};

// The progress window's text for the photo at `index` (from 0) of `count`, counted from 1
// for the reader and naming the photo's file: "Photo 1 of 5: IMG_0001.JPG". With thousands
// of photos a bare count says little about where the run is.
std::string ProgressLabel(int index, int count, const std::string& path);

// How one photo goes onto a square.
struct FitChoice {
  bool border = false;     // "Use border"; otherwise the photo is stretched over all of it
  uint32_t fillColor = 0;  // the border colour, only with `border`
};

// Draws `photo` fitted onto the whole of `square` (its width is the side). The border
// rectangle comes from the picture's own size, `fullWidth` × `fullHeight`: a photo decoded
// at a reduced scale has rounded sides, and the rectangle must not move with them.
void DrawFitted(const PixelView& photo, int fullWidth, int fullHeight, const PixelView& square,
                const FitChoice& choice);

// The rectangle `photo` covers on a square of `side` pixels with this choice.
PixelRect FittedRect(int photoWidth, int photoHeight, int side, const FitChoice& choice);

}  // namespace prismora::photos
