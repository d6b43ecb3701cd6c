// The builder's photo decoder: JPEG, WebP, TIFF and bitmap files by our own readers,
// every other picture kind (GIF, icons, metafiles, PNG, ...) through the picture wrapper,
// drawn into exactly the size the fitting asks for.
#pragma once
#include "builder/photos/photo_runs.h"
#include "platform/seams.h"

namespace prismora::photos {

PhotoDecoder MakePlatformPhotoDecoder(platform::FileSystem& files);

}  // namespace prismora::photos
