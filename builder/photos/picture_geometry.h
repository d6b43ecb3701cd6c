// Sizes and rectangles of pictures: what the decoder reports, how a picture is fitted
// into an area and placed in it, and the addresses the picture wrapper reads. Free of the
// platform so the rules can be checked exactly.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace prismora::photos {

// a * b / c rounded to nearest, halves away from zero, as the platform's MulDiv does;
// -1 when c is 0 or the result does not fit in 32 bits.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

// The decoder reports sizes in HIMETRIC (hundredths of a millimetre); the wrapper shows
// them at 96 pixels per inch.
inline constexpr int32_t kPixelsPerInch = 96;
inline constexpr int32_t kHimetricPerInch = 2540;
int32_t HimetricToPixels(int32_t himetric);
int32_t PixelsToHimetric(int32_t pixels);

struct Size {
  int width = 0, height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// The size a picture of `picture` pixels is drawn at in an area: never enlarged, else
// shrunk keeping its aspect (truncating). Zero when the area is empty.
Size FitPicture(Size picture, Size area);

// The picture's rectangle: fitted, then centred in the area (halves truncated).
Rect PlacePicture(Rect area, Size picture);

// Addresses the picture wrapper understands: "res://name" and "file://path", scheme in
// any letter case; the rest keeps its case.
enum class UrlScheme { None, Resource, File };
struct PictureUrl {
  UrlScheme scheme = UrlScheme::None;
  std::string rest;
};
PictureUrl ParsePictureUrl(std::string_view url);

}  // namespace prismora::photos
