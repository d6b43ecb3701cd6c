// Which way up a camera photo is meant to be seen. Cameras and phones store the sensor's
// picture as it was taken and note in the EXIF block how the camera was held (the
// Orientation tag, 1..8); a portrait photo from a phone is usually stored lying on its
// side. Photos are turned upright when decoded, for the strip, the preview and the
// screen saver alike.
#pragma once
#include <cstdint>
#include <span>

#include "builder/photos/pixels.h"

namespace prismora::photos {

// The Orientation tag of a JPEG file's EXIF block: 1 (as stored) when there is none or it
// cannot be read. 2..8: mirrored and/or turned by a quarter, half or three quarters.
int JpegOrientation(std::span<const uint8_t> file);

// The same tag in an EXIF block other formats carry as a chunk of their own (WebP),
// with or without the "Exif\0\0" header that JPEG puts before it.
int ExifOrientation(std::span<const uint8_t> exif);

// Orientations 5..8 swap width and height.
inline bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

// Copies `stored` to `upright` turned as `orientation` says. `upright` must measure
// stored.height x stored.width when SwapsSides, else stored.width x stored.height.
void TurnUpright(const PixelView& stored, int orientation, const PixelView& upright);

}  // namespace prismora::photos
