// Which photo bitmap a texture of the scene shows. An installed screen saver finds its
// photos in "<system folder>\<Title>\<Title><i>.bmp", where its setup program had them
// made. The builder's preview file (PreviewFlag 1) lies in the builder's user folder with
// the preview photos beside it, in "<that folder>\preview\preview<i>.bmp": the builder
// runs as a standard user, who cannot write into the system folder.
#pragma once
#include <string>
#include <string_view>

#include "common/trailer.h"
#include "runtime/core/random.h"

namespace prismora::runtime {

struct PhotoFolders {
  std::string_view system;     // as the platform reports it
  std::string_view ownFolder;  // the folder of the running screen saver file
};

struct PhotoSource {
  std::string folder;  // ends in a backslash
  std::string stem;
};

PhotoSource PhotoSourceFor(PhotoFolders folders, const trailer::Trailer& settings);
std::string PhotoPath(const PhotoSource& source, int index);

// One texture request: a photo drawn at random, and photo 0 to fall back on when the
// drawn one cannot be loaded.
struct TextureChoice {
  std::string path;
  std::string fallback;
};
TextureChoice ChooseTexture(const PhotoSource& source, const trailer::Trailer& settings, Random& random);

// The folder part of a program path, without its separator ("" when there is none).
std::string_view FolderOfProgram(std::string_view programPath);

}  // namespace prismora::runtime
