// Command line of the offline renderer:
//   prismora_render SCENE.x PHOTO_FOLDER OUT.bmp [--block FILE] [--size WxH]
//                   [--time T] [--ticks N] [--seed S] [--bench N] [--starts N]
// --block   a 204-byte template block (camera, speed, clear and trail settings,
//           background); without it the camera stands at (0, 0, -200) on black
// --time    animation time to draw (with --ticks: where the clock starts)
// --ticks   run that many screen saver ticks (random motions, trails, erase-off) and
//           keep the last picture
// --bench   time that many ticks and as many floor frames; prints the medians
// --starts  start the screen saver that many times over, each from a freshly loaded
//           scene at a random animation start time (as the runtime picks it), and run
//           --ticks ticks (at least one) each; keeps the last start's picture
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace prismora::render {

struct RenderOptions {
  std::string scene, photoFolder, output;
  std::string block;
  int width = 800, height = 600;
  std::optional<float> time;
  int ticks = 0;
  unsigned seed = 1;
  int benchFrames = 0;
  int starts = 0;
};

struct ParsedOptions {
  RenderOptions options;
  std::string error;  // empty when the command line was understood
};

ParsedOptions ParseRenderOptions(const std::vector<std::string>& args);

// Median of the samples (the mean of the middle two for an even count); 0 when empty.
double Median(std::vector<double> samples);

}  // namespace prismora::render

namespace prismora::render {

// The .bmp files of a folder (any case of the extension), full paths sorted by name.
std::vector<std::string> ListBitmaps(const std::string& folder);

// Hands out the photos in turn, starting again after the last, so every photo lands on
// a material when there are at least as many materials as photos.
class PhotoCycle {
 public:
  explicit PhotoCycle(std::vector<std::string> photos) : photos_(std::move(photos)) {}
  std::vector<std::string> Next() {
    if (photos_.empty()) return {};
    return {photos_[next_++ % photos_.size()]};
  }

 private:
  std::vector<std::string> photos_;
  std::size_t next_ = 0;
};

}  // namespace prismora::render
