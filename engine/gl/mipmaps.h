// The smaller copies of a photo texture that trilinear filtering blends between, made
// on the processor so both drawing roads get them: Windows' own OpenGL 1.1 (back
// buffers) has no way to make them itself. Platform-free.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/gl/bmp.h"

namespace prismora::image {

// Each level half the one above (sides rounded down, never below 1), every pixel the
// average of the 2 x 2 pixels it covers (an odd last row or column is averaged into the
// level's last pixel); from the level below `base` down to 1 x 1. None for an empty
// picture or a 1 x 1 one.
std::vector<Image> MipLevels(const Image& base);

// A photo texture read and reduced ahead of its upload, off the drawing thread: the
// base picture and its MipLevels.
struct MippedPicture {
  Image base;
  std::vector<Image> levels;
  std::string file;   // the candidate that was read
  std::string error;  // why none was, when none was
  bool ok() const { return error.empty(); }
};
// The first of `candidates` that reads as a bitmap, with its levels.
MippedPicture ReadMipped(const std::vector<std::string>& candidates);

// Whether the space-separated extension list names `extension` exactly (a name that only
// begins with it does not count).
bool HasExtension(std::string_view extensions, std::string_view extension);

// Whether anisotropic filtering is worth turning on for the renderer that names itself so
// (GL_RENDERER): not for the software renderers, where it costs several times the whole
// frame (measured: llvmpipe draws the 16 cubes at 800 x 600 in 5 ms without it and 47 ms
// with it), while mipmaps alone already keep small photos from shimmering.
bool AnisotropyWorthIt(std::string_view renderer);

}  // namespace prismora::image
