#include "builder/photos/fitting.h"

namespace prismora::photos {

PixelRect BorderFitRect(int width, int height, int side) {
  PixelRect r;
  if (width <= 0 || height <= 0) return {0, 0, side, side};
  const double s = side;
  if (width < height) {
    double ratio = double(width) / double(height);
    double w = s * ratio;
    r.left = int((s - w) * 0.5);
    r.right = int(r.left + w);
    r.top = 0;
    r.bottom = side;
  } else {
    double ratio = double(height) / double(width);
    double h = s * ratio;
    r.top = int((s - h) * 0.5);
    r.bottom = int(r.top + h);
    r.left = 0;
    r.right = side;
  }
  return r;
}

std::string ProgressLabel(int index, int count, const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return "Photo " + std::to_string(index + 1) + " of " + std::to_string(count) + ": " + name;
}

PixelRect FittedRect(int photoWidth, int photoHeight, int side, const FitChoice& choice) {
  if (!choice.border) return {0, 0, side, side};
  return BorderFitRect(photoWidth, photoHeight, side);
}

void DrawFitted(const PixelView& photo, int fullWidth, int fullHeight, const PixelView& square,
                const FitChoice& choice) {
  if (choice.border) Fill(square, choice.fillColor);
  StretchNearest(photo, square, FittedRect(fullWidth, fullHeight, square.width, choice));
}

}  // namespace prismora::photos
