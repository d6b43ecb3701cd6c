// Which photo bitmap a texture of the scene shows. The builder writes preview photos to
// "<system folder>\preview\preview<i>.bmp"; an installed screen saver finds its photos
// in "<system folder>\<Title>\<Title><i>.bmp".
#pragma once
#include <string>
#include <string_view>

#include "common/trailer.h"
#include "runtime/core/random.h"

namespace prismora::runtime {

struct PhotoSource {
  std::string folder;  // ends in a backslash
  std::string stem;
};

PhotoSource PhotoSourceFor(std::string_view systemFolder, const trailer::Trailer& settings);
std::string PhotoPath(const PhotoSource& source, int index);

// One texture request: a photo drawn at random, and photo 0 to fall back on when the
// drawn one cannot be loaded.
struct TextureChoice {
  std::string path;
  std::string fallback;
};
TextureChoice ChooseTexture(std::string_view systemFolder, const trailer::Trailer& settings,
                            Random& random);

}  // namespace prismora::runtime
