// The photo run's two drawing surfaces as plain pixel images, for tests that fit photos
// without a window; counts how often a finished photo was shown.
#pragma once
#include "builder/photos/fitting.h"
#include "builder/photos/photo_runs.h"
#include "builder/photos/pixels.h"

namespace prismora::testsupport {

struct MemorySurfaces : photos::FittingSurfaces {
  photos::PixelImage preview{photos::kPreviewSide, photos::kPreviewSide};
  photos::PixelImage forSave{photos::kTextureSide, photos::kTextureSide};
  int drawn = 0;
  photos::PixelView Preview() override { return preview.View(); }
  photos::PixelView ForSave() override { return forSave.View(); }
  void Drawn() override { ++drawn; }
};

}  // namespace prismora::testsupport
