// Draws the builder's pictures: button tiles, page and action buttons, help and
// magnifier images, the title buttons, the logo, the program icon and the two default
// wizard pictures. Everything is drawn from shapes with 4 × 4 supersampling, so edges
// are smooth at the exact size each control shows.
//
//   cmake --build build/native --target artgen && build/native/tools/artgen/artgen builder/window/art
//
// Output: 32-bit bitmaps with straight alpha (the program blends them onto the colour
// behind each control), a multi-size icon, and two 16-colour bitmaps.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/bytes.h"

namespace {

struct Rgba {
  float r = 0, g = 0, b = 0, a = 0;
};
Rgba Hex(uint32_t rgb, float a = 1) {
  return {float((rgb >> 16) & 255) / 255, float((rgb >> 8) & 255) / 255, float(rgb & 255) / 255, a};
}
Rgba Mix(Rgba x, Rgba y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

// ---- shapes as signed distances (negative inside), in pixel units ------------------
using Sdf = std::function<float(float x, float y)>;

Sdf RoundRect(float x0, float y0, float x1, float y1, float r) {
  return [=](float x, float y) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
    float dx = std::fabs(x - cx) - hx, dy = std::fabs(y - cy) - hy;
    float ox = std::max(dx, 0.f), oy = std::max(dy, 0.f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(dx, dy), 0.f) - r;
  };
}
Sdf Circle(float cx, float cy, float r) {
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}
Sdf Ring(float cx, float cy, float r, float w) {
  return [=](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - r) - w / 2; };
}
Sdf Capsule(float ax, float ay, float bx, float by, float w) {
  return [=](float x, float y) {
    float px = x - ax, py = y - ay, vx = bx - ax, vy = by - ay;
    float t = std::clamp((px * vx + py * vy) / (vx * vx + vy * vy), 0.f, 1.f);
    return std::hypot(px - vx * t, py - vy * t) - w / 2;
  };
}
// A convex polygon, corners in order.
Sdf Polygon(std::vector<std::pair<float, float>> p) {
  return [=](float x, float y) {
    float d = -1e9f;
    bool clockwise = false;
    {
      float area = 0;
      for (size_t i = 0; i < p.size(); ++i) {
        auto [ax, ay] = p[i];
        auto [bx, by] = p[(i + 1) % p.size()];
        area += ax * by - bx * ay;
      }
      clockwise = area < 0;
    }
    for (size_t i = 0; i < p.size(); ++i) {
      auto [ax, ay] = p[i];
      auto [bx, by] = p[(i + 1) % p.size()];
      float nx = by - ay, ny = -(bx - ax), l = std::hypot(nx, ny);
      if (clockwise) nx = -nx, ny = -ny;
      d = std::max(d, ((x - ax) * nx + (y - ay) * ny) / l);
    }
    return d;
  };
}
Sdf Union(Sdf a, Sdf b) { return [=](float x, float y) { return std::min(a(x, y), b(x, y)); }; }
Sdf Minus(Sdf a, Sdf b) { return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); }; }
Sdf Intersect(Sdf a, Sdf b) { return [=](float x, float y) { return std::max(a(x, y), b(x, y)); }; }
Sdf Shift(Sdf a, float dx, float dy) { return [=](float x, float y) { return a(x - dx, y - dy); }; }

// ---- the canvas ------------------------------------------------------------------
struct Canvas {
  int w, h;
  std::vector<Rgba> px;
  Canvas(int w_, int h_) : w(w_), h(h_), px(size_t(w_ * h_)) {}

  // Paints `paint(x, y)` wherever `shape` covers, with 4 × 4 samples per pixel.
  void Draw(const Sdf& shape, const std::function<Rgba(float, float)>& paint) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy)
          for (int sx = 0; sx < 4; ++sx)
            if (shape(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) <= 0) ++hits;
        if (!hits) continue;
        Rgba c = paint(x + 0.5f, y + 0.5f);
        float a = c.a * hits / 16.f;
        Rgba& d = px[size_t(y * w + x)];
        float outA = a + d.a * (1 - a);
        if (outA <= 0) continue;
        d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
        d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
        d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
        d.a = outA;
      }
  }
  void Fill(const Sdf& shape, Rgba c) {
    Draw(shape, [c](float, float) { return c; });
  }
  void Vertical(const Sdf& shape, float y0, float y1, Rgba top, Rgba bottom) {
    Draw(shape, [=](float, float y) { return Mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.f, 1.f)); });
  }
};

// ---- files -------------------------------------------------------------------------
using prismora::bytes::appendU16;
using prismora::bytes::appendU32;
uint8_t Byte(float v) { return uint8_t(std::lround(std::clamp(v, 0.f, 1.f) * 255)); }

void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// A bottom-up 32-bit bitmap with straight alpha.
std::vector<uint8_t> Bmp32(const Canvas& c, bool fileHeader) {
  std::vector<uint8_t> b;
  const uint32_t imageSize = uint32_t(c.w * c.h * 4);
  if (fileHeader) {
    b.push_back('B');
    b.push_back('M');
    appendU32(b, 14 + 40 + imageSize);
    appendU32(b, 0);
    appendU32(b, 14 + 40);
  }
  appendU32(b, 40);
  appendU32(b, uint32_t(c.w));
  appendU32(b, uint32_t(fileHeader ? c.h : c.h * 2));  // icons count the mask too
  appendU16(b, 1);
  appendU16(b, 32);
  appendU32(b, 0);
  appendU32(b, imageSize);
  appendU32(b, 2835);
  appendU32(b, 2835);
  appendU32(b, 0);
  appendU32(b, 0);
  for (int y = c.h - 1; y >= 0; --y)
    for (int x = 0; x < c.w; ++x) {
      const Rgba& p = c.px[size_t(y * c.w + x)];
      b.push_back(Byte(p.b));
      b.push_back(Byte(p.g));
      b.push_back(Byte(p.r));
      b.push_back(Byte(p.a));
    }
  return b;
}

void SaveIcon(const std::string& path, const std::vector<Canvas>& sizes) {
  std::vector<std::vector<uint8_t>> images;
  for (const Canvas& c : sizes) {
    std::vector<uint8_t> img = Bmp32(c, false);
    const int maskRow = ((c.w + 31) / 32) * 4;
    for (int y = c.h - 1; y >= 0; --y) {
      std::vector<uint8_t> row(size_t(maskRow), 0);
      for (int x = 0; x < c.w; ++x)
        if (c.px[size_t(y * c.w + x)].a < 0.5f) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
      img.insert(img.end(), row.begin(), row.end());
    }
    images.push_back(std::move(img));
  }
  std::vector<uint8_t> b;
  appendU16(b, 0);
  appendU16(b, 1);
  appendU16(b, uint16_t(sizes.size()));
  uint32_t offset = uint32_t(6 + 16 * sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i) {
    b.push_back(uint8_t(sizes[i].w));
    b.push_back(uint8_t(sizes[i].h));
    b.push_back(0);
    b.push_back(0);
    appendU16(b, 1);
    appendU16(b, 32);
    appendU32(b, uint32_t(images[i].size()));
    appendU32(b, offset);
    offset += uint32_t(images[i].size());
  }
  for (auto& img : images) b.insert(b.end(), img.begin(), img.end());
  Save(path, b);
}

// A 16-colour bitmap: each pixel (composited on white) takes the nearest palette colour
// after a 4 × 4 ordered dither, which keeps gradients smooth with few colours.
void SaveBmp4(const std::string& path, const Canvas& c, const std::vector<uint32_t>& palette) {
  static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  const int rowBytes = ((c.w * 4 + 31) / 32) * 4;
  std::vector<uint8_t> b;
  b.push_back('B');
  b.push_back('M');
  const uint32_t dataOffset = 14 + 40 + 16 * 4, imageSize = uint32_t(rowBytes * c.h);
  appendU32(b, dataOffset + imageSize);
  appendU32(b, 0);
  appendU32(b, dataOffset);
  appendU32(b, 40);
  appendU32(b, uint32_t(c.w));
  appendU32(b, uint32_t(c.h));
  appendU16(b, 1);
  appendU16(b, 4);
  appendU32(b, 0);
  appendU32(b, imageSize);
  appendU32(b, 2835);
  appendU32(b, 2835);
  appendU32(b, 16);
  appendU32(b, 16);
  for (uint32_t p : palette) {
    b.push_back(uint8_t(p));
    b.push_back(uint8_t(p >> 8));
    b.push_back(uint8_t(p >> 16));
    b.push_back(0);
  }
  for (int y = c.h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(size_t(rowBytes), 0);
    for (int x = 0; x < c.w; ++x) {
      const Rgba& p = c.px[size_t(y * c.w + x)];
      const float t = (bayer[y % 4][x % 4] + 0.5f) / 16 - 0.5f;
      const float r = p.r * p.a + (1 - p.a) + t * 0.12f, g = p.g * p.a + (1 - p.a) + t * 0.12f,
                  bl = p.b * p.a + (1 - p.a) + t * 0.12f;
      int best = 0;
      float bestD = 1e9f;
      for (int i = 0; i < 16; ++i) {
        Rgba q = Hex(palette[size_t(i)]);
        float d = (q.r - r) * (q.r - r) * 0.3f + (q.g - g) * (q.g - g) * 0.59f + (q.b - bl) * (q.b - bl) * 0.11f;
        if (d < bestD) bestD = d, best = i;
      }
      row[size_t(x / 2)] |= uint8_t(x % 2 ? best : best << 4);
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  Save(path, b);
}

// ---- the house style ---------------------------------------------------------------
const Rgba kTileTop = Hex(0x4F8FE6), kTileBottom = Hex(0x1D4FA8), kTileEdge = Hex(0x163B7E);
const Rgba kWhite = Hex(0xFFFFFF), kShadow = Hex(0x0B2350, 0.35f);
const Rgba kGreen = Hex(0x2FB14C), kRed = Hex(0xD9413A), kAmber = Hex(0xF4B400);

// A rounded tile with a soft top light; every button picture starts with one.
void Tile(Canvas& c, float inset, Rgba top = kTileTop, Rgba bottom = kTileBottom, Rgba edge = kTileEdge) {
  const float r = c.w * 0.22f;
  c.Fill(RoundRect(inset, inset, c.w - inset, c.h - inset, r), edge);
  c.Vertical(RoundRect(inset + 1, inset + 1, c.w - inset - 1, c.h - inset - 1, r - 1), inset, c.h - inset, top, bottom);
  // Gloss over the upper half.
  c.Vertical(Intersect(RoundRect(inset + 2, inset + 2, c.w - inset - 2, c.h - inset - 2, r - 2),
                       [&](float, float y) { return y - c.h * 0.48f; }),
             inset, c.h * 0.5f, Hex(0xFFFFFF, 0.38f), Hex(0xFFFFFF, 0.06f));
}

// A white glyph with a soft shadow below it.
void Glyph(Canvas& c, const Sdf& shape, Rgba color = kWhite) {
  c.Fill(Shift(shape, 0, 1.2f * c.w / 56), kShadow);
  c.Fill(shape, color);
}

// A photo: white frame, sky, hills and a sun.
void Photo(Canvas& c, float x0, float y0, float x1, float y1) {
  const float fw = (x1 - x0) * 0.08f;
  c.Fill(Shift(RoundRect(x0, y0, x1, y1, 1.5f), 0, 1), kShadow);
  c.Fill(RoundRect(x0, y0, x1, y1, 1.5f), kWhite);
  const float ix0 = x0 + fw, iy0 = y0 + fw, ix1 = x1 - fw, iy1 = y1 - fw;
  Sdf inner = RoundRect(ix0, iy0, ix1, iy1, 0.5f);
  c.Vertical(inner, iy0, iy1, Hex(0x7CC4F8), Hex(0xCFEAFD));
  c.Fill(Intersect(inner, Circle(ix0 + (ix1 - ix0) * 0.72f, iy0 + (iy1 - iy0) * 0.3f, (iy1 - iy0) * 0.14f)), kAmber);
  c.Fill(Intersect(inner, Polygon({{ix0 - 2, iy1 + 2}, {ix0 + (ix1 - ix0) * 0.38f, iy0 + (iy1 - iy0) * 0.42f},
                                   {ix0 + (ix1 - ix0) * 0.78f, iy1 + 2}})),
         Hex(0x3E9B4F));
  c.Fill(Intersect(inner, Polygon({{ix0 + (ix1 - ix0) * 0.4f, iy1 + 2}, {ix0 + (ix1 - ix0) * 0.7f, iy0 + (iy1 - iy0) * 0.58f},
                                   {ix1 + 2, iy1 + 2}})),
         Hex(0x2D7D3E));
}

// A round badge with a symbol, at the lower right of a button.
void Badge(Canvas& c, Rgba color, const Sdf& symbol, float cx, float cy, float r) {
  c.Fill(Circle(cx, cy + 1, r + 1), kShadow);
  c.Fill(Circle(cx, cy, r + 1), kWhite);
  c.Vertical(Circle(cx, cy, r), cy - r, cy + r, Mix(color, kWhite, 0.25f), color);
  c.Fill(symbol, kWhite);
}

Canvas PhotoButton(int kind) {  // 0 add, 1 remove, 2 remove all
  Canvas c(45, 45);
  Tile(c, 0.5f);
  Photo(c, 8, 9, 33, 29);
  const float cx = 31, cy = 31, r = 9;
  Sdf symbol;
  if (kind == 0) symbol = Union(Capsule(cx - 5, cy, cx + 5, cy, 2.6f), Capsule(cx, cy - 5, cx, cy + 5, 2.6f));
  if (kind == 1) symbol = Capsule(cx - 5, cy, cx + 5, cy, 2.6f);
  if (kind == 2) symbol = Union(Capsule(cx - 4, cy - 4, cx + 4, cy + 4, 2.6f), Capsule(cx - 4, cy + 4, cx + 4, cy - 4, 2.6f));
  Badge(c, kind == 0 ? kGreen : kRed, symbol, cx, cy, r);
  return c;
}

Canvas PagePhotos() {
  Canvas c(56, 56);
  Tile(c, 0.5f);
  Photo(c, 9, 10, 35, 31);
  Photo(c, 18, 20, 47, 44);
  return c;
}

Canvas PageInstall() {
  Canvas c(56, 56);
  Tile(c, 0.5f);
  // A box with a down arrow going in: the setup program.
  Sdf box = Polygon({{12, 27}, {44, 27}, {41, 46}, {15, 46}});
  Glyph(c, box);
  c.Vertical(Polygon({{14, 29}, {42, 29}, {40, 44}, {16, 44}}), 29, 44, Hex(0xE9F2FF), Hex(0xC6DAF7));
  c.Fill(RoundRect(10, 24, 46, 29, 1.5f), kWhite);
  Sdf arrow = Union(Capsule(28, 8, 28, 22, 5), Polygon({{19, 19}, {37, 19}, {28, 30}}));
  Glyph(c, arrow, kAmber);
  return c;
}

Canvas PageInfo() {
  Canvas c(56, 56);
  Tile(c, 0.5f);
  // A sheet with text lines, and a pen.
  Glyph(c, RoundRect(13, 9, 39, 46, 2));
  for (int i = 0; i < 5; ++i) c.Fill(Capsule(18, 16 + i * 6.2f, i == 4 ? 27 : 34, 16 + i * 6.2f, 2), Hex(0x2F67C4, 0.85f));
  Sdf pen = Union(Capsule(46, 17, 31, 42, 5.5f), Polygon({{29, 39}, {34, 43}, {28, 47}}));
  c.Fill(Shift(pen, 0, 1.2f), kShadow);
  c.Fill(Capsule(46, 17, 31, 42, 5.5f), kAmber);
  c.Fill(Capsule(46, 17, 44, 20.5f, 5.5f), kRed);
  c.Fill(Polygon({{28.6f, 39.6f}, {33.6f, 42.7f}, {28, 47}}), Hex(0xF3D9A4));
  c.Fill(Circle(28.7f, 45.8f, 1.1f), Hex(0x333333));
  return c;
}

Canvas Preview() {
  Canvas c(56, 56);
  Tile(c, 0.5f);
  // A screen with a play sign.
  Glyph(c, RoundRect(9, 11, 47, 38, 2.5f));
  c.Vertical(RoundRect(12, 14, 44, 35, 1), 14, 35, Hex(0x243B66), Hex(0x0E1A33));
  c.Fill(Polygon({{24, 18.5f}, {35, 24.5f}, {24, 30.5f}}), kWhite);
  Glyph(c, Union(Capsule(28, 38, 28, 43, 4), RoundRect(19, 42, 37, 46, 2)));
  return c;
}

Canvas Build() {
  Canvas c(56, 56);
  Tile(c, 0.5f);
  // A gear: the build.
  const float cx = 28, cy = 28;
  Sdf gear = [=](float x, float y) {
    float a = std::atan2(y - cy, x - cx), r = std::hypot(x - cx, y - cy);
    float tooth = std::cos(a * 8) > 0.15f ? 17.f : 13.f;
    return r - tooth;
  };
  Sdf smooth = Intersect(gear, Circle(cx, cy, 17));
  Glyph(c, Minus(Union(smooth, Circle(cx, cy, 13.5f)), Circle(cx, cy, 6)));
  c.Fill(Ring(cx, cy, 6, 1.2f), Hex(0x1D4FA8, 0.5f));
  return c;
}

Canvas Help() {
  Canvas c(32, 32);
  c.Fill(Circle(16, 16.6f, 15), kShadow);
  c.Fill(Circle(16, 16, 15), kWhite);
  c.Vertical(Circle(16, 16, 13.8f), 2, 30, kTileTop, kTileBottom);
  c.Vertical(Intersect(Circle(16, 16, 12.6f), [](float, float y) { return y - 15; }), 3, 15, Hex(0xFFFFFF, 0.4f),
             Hex(0xFFFFFF, 0.05f));
  // The question mark: a hook open at the lower left, a stem and a dot.
  Sdf arc = Intersect(Ring(16, 12, 4.4f, 3.2f), [](float x, float y) { return (y > 12 && x < 16) ? 1.f : -1.f; });
  Sdf mark = Union(arc, Capsule(16, 16.4f, 16, 19, 3.2f));
  c.Fill(Union(mark, Circle(16, 23.6f, 1.9f)), kWhite);
  return c;
}

Canvas Lupa() {
  Canvas c(24, 24);
  c.Fill(Shift(Union(Ring(10, 10, 6.5f, 2.8f), Capsule(15, 15, 21, 21, 4.2f)), 0, 0.8f), kShadow);
  c.Fill(Circle(10, 10, 5.2f), Hex(0xDCEEFF, 0.9f));
  c.Fill(Intersect(Circle(10, 10, 5.2f), Circle(8, 8, 3.4f)), Hex(0xFFFFFF, 0.9f));
  c.Fill(Ring(10, 10, 6.5f, 2.8f), kTileBottom);
  c.Fill(Capsule(15.2f, 15.2f, 21, 21, 4.4f), Hex(0x5C3A1E));
  c.Fill(Capsule(15.2f, 15.2f, 16.6f, 16.6f, 4.4f), Hex(0x9AA6B8));
  return c;
}

// The title buttons sit on the window face; each is a small rounded key.
Canvas TitleButton(int kind, int w) {  // 0 minimize, 1 inactive, 2 close
  Canvas c(w, 29);
  Rgba top = kind == 2 ? Hex(0xEE6B5F) : kTileTop, bottom = kind == 2 ? Hex(0xB3261E) : kTileBottom;
  Rgba edge = kind == 2 ? Hex(0x8A1C16) : kTileEdge;
  if (kind == 1) top = Hex(0xA9B8CF), bottom = Hex(0x7D8CA6), edge = Hex(0x66748C);
  const float x0 = 1.5f, x1 = w - 1.5f, y0 = 4, y1 = 25;
  c.Fill(RoundRect(x0, y0, x1, y1, 5), edge);
  c.Vertical(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 4), y0, y1, top, bottom);
  c.Vertical(Intersect(RoundRect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, 3), [](float, float y) { return y - 14; }), y0, 14,
             Hex(0xFFFFFF, 0.4f), Hex(0xFFFFFF, 0.08f));
  const float cx = w / 2.f, cy = 14.5f;
  if (kind == 0) c.Fill(Capsule(cx - 4.5f, cy + 4, cx + 4.5f, cy + 4, 2.4f), kWhite);
  if (kind == 1) c.Fill(RoundRect(cx - 4, cy - 4, cx + 4, cy + 4, 1), Hex(0xFFFFFF, 0.55f));
  if (kind == 2)
    c.Fill(Union(Capsule(cx - 4, cy - 4, cx + 4, cy + 4, 2.4f), Capsule(cx - 4, cy + 4, cx + 4, cy - 4, 2.4f)), kWhite);
  return c;
}

// The prism with a beam going in and the spectrum coming out.
void Prism(Canvas& c, float cx, float cy, float s, bool beam = true) {
  const float h = s * 0.9f;
  std::vector<std::pair<float, float>> tri = {{cx, cy - h / 2}, {cx + s / 2, cy + h / 2}, {cx - s / 2, cy + h / 2}};
  static const uint32_t kSpectrum[] = {0xE53935, 0xFB8C00, 0xFDD835, 0x43A047, 0x1E88E5, 0x8E24AA};
  if (beam) {
    c.Fill(Capsule(cx - s * 1.6f, cy + h * 0.35f, cx - s * 0.22f, cy, s * 0.07f), Hex(0xFFFFFF, 0.95f));
    for (int i = 0; i < 6; ++i) {
      const float y0 = cy - s * 0.02f + i * s * 0.035f;
      const float y1 = cy + h * 0.05f + i * s * 0.16f;
      c.Fill(Polygon({{cx + s * 0.2f, y0}, {cx + s * 1.75f, y1 - s * 0.06f}, {cx + s * 1.75f, y1 + s * 0.06f},
                      {cx + s * 0.2f, y0 + s * 0.035f}}),
             Hex(kSpectrum[i], 0.92f));
    }
  }
  c.Fill(Shift(Polygon(tri), 0, s * 0.04f), kShadow);
  c.Draw(Polygon(tri), [=](float x, float y) {
    float t = std::clamp((x - (cx - s / 2)) / s * 0.6f + (y - (cy - h / 2)) / h * 0.4f, 0.f, 1.f);
    return Mix(Hex(0xF2F8FF, 0.96f), Hex(0x9FC3F0, 0.96f), t);
  });
  c.Fill(Polygon({{cx, cy - h / 2 + s * 0.12f}, {cx + s * 0.12f, cy + h / 2 - s * 0.08f}, {cx - s * 0.05f, cy + h / 2 - s * 0.08f}}),
         Hex(0xFFFFFF, 0.55f));
}

Canvas Logo() {
  Canvas c(170, 74);
  c.Vertical(RoundRect(0.5f, 0.5f, 169.5f, 73.5f, 10), 0, 74, Hex(0x1F3F7A), Hex(0x0C1A36));
  for (int i = 0; i < 40; ++i) {  // a few stars
    float x = float((i * 73) % 167 + 2), y = float((i * 37) % 70 + 2);
    c.Fill(Circle(x, y, 0.6f + (i % 3) * 0.25f), Hex(0xFFFFFF, 0.25f + (i % 4) * 0.1f));
  }
  Prism(c, 66, 38, 40);
  return c;
}

Canvas AppIcon(int size) {
  Canvas c(size, size);
  const float k = size / 32.f;
  c.Fill(RoundRect(0.5f, 0.5f, size - 0.5f, size - 0.5f, 6 * k), kTileEdge);
  c.Vertical(RoundRect(1.5f, 1.5f, size - 1.5f, size - 1.5f, 5 * k), 0, float(size), Hex(0x2B5FB8), Hex(0x0D2452));
  Prism(c, 13 * k, 17 * k, 15 * k);
  return c;
}

// The default wizard pictures: deep blue with the prism, photos drifting in its light.
const std::vector<uint32_t> kWizardPalette = {0x000000, 0xFFFFFF, 0x0C1A36, 0x1F3F7A, 0x2B5FB8, 0x4F8FE6,
                                              0x9FC3F0, 0xDCEEFF, 0xE53935, 0xFB8C00, 0xFDD835, 0x43A047,
                                              0x8E24AA, 0x3E9B4F, 0x7CC4F8, 0x5C6B84};

Canvas WizardImage() {
  Canvas c(164, 314);
  c.Vertical(RoundRect(-20, -20, 184, 334, 0), 0, 314, Hex(0x2B5FB8), Hex(0x0C1A36));
  for (int i = 0; i < 60; ++i) {
    float x = float((i * 71) % 160 + 2), y = float((i * 53) % 300 + 6);
    c.Fill(Circle(x, y, 0.7f), Hex(0xFFFFFF, 0.5f));
  }
  Photo(c, 20, 40, 74, 82);
  Photo(c, 88, 70, 146, 114);
  Photo(c, 30, 226, 92, 274);
  Prism(c, 62, 170, 52);
  return c;
}

Canvas WizardSmallImage() {
  Canvas c(55, 55);
  c.Fill(RoundRect(-5, -5, 60, 60, 0), kWhite);
  c.Fill(RoundRect(3.5f, 3.5f, 51.5f, 51.5f, 9), kTileEdge);
  c.Vertical(RoundRect(4.5f, 4.5f, 50.5f, 50.5f, 8), 4, 51, Hex(0x2B5FB8), Hex(0x0C1A36));
  Prism(c, 21, 29, 20);
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : ".";
  auto bmp = [&](const char* name, const Canvas& c) { Save(dir + "/" + name, Bmp32(c, true)); };
  bmp("add.bmp", PhotoButton(0));
  bmp("remove.bmp", PhotoButton(1));
  bmp("remove_all.bmp", PhotoButton(2));
  bmp("page_photos.bmp", PagePhotos());
  bmp("page_install.bmp", PageInstall());
  bmp("page_info.bmp", PageInfo());
  bmp("preview.bmp", Preview());
  bmp("build.bmp", Build());
  bmp("help.bmp", Help());
  bmp("lupa.bmp", Lupa());
  bmp("title_minimize.bmp", TitleButton(0, 25));
  bmp("title_decor.bmp", TitleButton(1, 25));
  bmp("title_close.bmp", TitleButton(2, 27));
  bmp("logo.bmp", Logo());
  // Menu pictures: the button pictures drawn small.
  auto small = [&](const char* name, const std::function<Canvas()>& make, int from) {
    Canvas big = make();
    Canvas s(16, 16);
    const float k = float(from) / 16;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        Rgba acc{};
        float wsum = 0;
        for (int sy = 0; sy < int(k); ++sy)
          for (int sx = 0; sx < int(k); ++sx) {
            const Rgba& p = big.px[size_t(int(y * k + sy) * big.w + int(x * k + sx))];
            acc.r += p.r * p.a, acc.g += p.g * p.a, acc.b += p.b * p.a, acc.a += p.a;
            wsum += 1;
          }
        Rgba& d = s.px[size_t(y * 16 + x)];
        d.a = acc.a / wsum;
        if (acc.a > 0) d.r = acc.r / acc.a, d.g = acc.g / acc.a, d.b = acc.b / acc.a;
      }
    bmp(name, s);
  };
  small("menu_add.bmp", [] { return PhotoButton(0); }, 45);
  small("menu_remove.bmp", [] { return PhotoButton(1); }, 45);
  small("menu_remove_all.bmp", [] { return PhotoButton(2); }, 45);
  small("menu_preview.bmp", Preview, 56);
  small("menu_build.bmp", Build, 56);
  SaveIcon(dir + "/fotoprism.ico", {AppIcon(48), AppIcon(32), AppIcon(16)});
  SaveBmp4(dir + "/WizModernImage.bmp", WizardImage(), kWizardPalette);
  SaveBmp4(dir + "/WizModernSmallImage.bmp", WizardSmallImage(), kWizardPalette);
  return 0;
}
