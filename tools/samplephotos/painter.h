// Procedural, photo-like pictures for the demo project: skies, seas, mountains,
// flowers, city lights. Deterministic for a given seed, so every demo run shows the same
// photos.
#pragma once
#include <string>
#include <vector>

#include "builder/photos/pixels.h"

namespace prismora::samples {

struct SamplePicture {
  std::string name;
  int width, height;
  void (*paint)(photos::PixelImage& image, unsigned seed);
};

// The built-in set: different motifs, sizes and aspect ratios (landscape, portrait,
// square, panorama).
const std::vector<SamplePicture>& BuiltInSamples();

}  // namespace prismora::samples
