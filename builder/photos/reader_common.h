// What the readers of the other photo formats (WebP, TIFF) share: the size a photo is
// decoded at, transparent pixels put onto a colour, and turning the result upright.
#pragma once
#include <cstdint>

#include "builder/photos/jpeg.h"

namespace prismora::photos {

// What a transparent part of a photo shows when nothing else is said: white.
inline constexpr uint32_t kWhite = 0x00FFFFFF;

// The smallest size, keeping the picture's proportions, that still covers `draw` in
// both directions; the picture's own size when that is smaller. Both sides as stored.
PixelSize CoveringSize(int width, int height, PixelSize draw);

// Straight (not premultiplied) blue-green-red-alpha pixels onto `background`
// (0x00BBGGRR), into a 3-byte row.
void FlattenBgra(const uint8_t* bgra, uint8_t* bgr, int width, uint32_t background);

// `stored` turned as `orientation` says into `out.pixels`, `out.fullWidth` ×
// `out.fullHeight` being the stored full size `fullWidth` × `fullHeight` turned too.
void PutUpright(PixelImage& stored, int orientation, int fullWidth, int fullHeight,
                DecodedPhoto& out);

}  // namespace prismora::photos
