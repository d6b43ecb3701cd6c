#include "builder/photos/picture_geometry.h"

#include <cctype>

namespace prismora::photos {

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t n = int64_t(a) * b, d = c;
  if (d < 0) {
    n = -n;
    d = -d;
  }
  int64_t r = n < 0 ? (n - d / 2) / d : (n + d / 2) / d;
  if (r > 2147483647LL || r < -2147483647LL) return -1;
  return int32_t(r);
}

int32_t HimetricToPixels(int32_t himetric) {
  return MulDivRound(himetric, kPixelsPerInch, kHimetricPerInch);
}

int32_t PixelsToHimetric(int32_t pixels) {
  return MulDivRound(pixels, kHimetricPerInch, kPixelsPerInch);
}

Size FitPicture(Size picture, Size area) {
  if (area.width <= 0 || area.height <= 0 || picture.width <= 0 || picture.height <= 0)
    return {};
  double rx = double(picture.width) / area.width;
  double ry = double(picture.height) / area.height;
  if (rx <= 1.0 && ry <= 1.0) return picture;  // never enlarged
  if (rx > ry) return {area.width, int(picture.height / rx)};
  return {int(picture.width / ry), area.height};
}

Rect PlacePicture(Rect area, Size picture) {
  Size s = FitPicture(picture, {area.width(), area.height()});
  int left = area.left + (area.width() - s.width) / 2;
  int top = area.top + (area.height() - s.height) / 2;
  return {left, top, left + s.width, top + s.height};
}

namespace {
std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
  return u;
}
}  // namespace

PictureUrl ParsePictureUrl(std::string_view url) {
  std::string upper = Upper(url);
  if (upper.rfind("RES://", 0) == 0) return {UrlScheme::Resource, std::string(url.substr(6))};
  if (upper.rfind("FILE://", 0) == 0) return {UrlScheme::File, std::string(url.substr(7))};
  return {};
}

}  // namespace prismora::photos
