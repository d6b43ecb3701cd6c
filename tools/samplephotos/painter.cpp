#include "tools/samplephotos/painter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace prismora::samples {
namespace {

struct Rgb {
  float r, g, b;
};
Rgb Mix(Rgb a, Rgb b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }

void Put(photos::PixelImage& img, int x, int y, Rgb c) {
  uint8_t* p = img.View().Row(y) + 3 * x;
  p[0] = uint8_t(std::clamp(c.b, 0.0f, 255.0f));
  p[1] = uint8_t(std::clamp(c.g, 0.0f, 255.0f));
  p[2] = uint8_t(std::clamp(c.r, 0.0f, 255.0f));
}
Rgb Get(const photos::PixelImage& img, int x, int y) {
  const uint8_t* p = img.View().Row(y) + 3 * x;
  return {float(p[2]), float(p[1]), float(p[0])};
}

// Smooth value noise in [0, 1], and a few octaves of it.
float Hash(int x, int y, unsigned seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}
float Noise(float x, float y, unsigned seed) {
  int xi = int(std::floor(x)), yi = int(std::floor(y));
  float fx = x - float(xi), fy = y - float(yi);
  fx = fx * fx * (3 - 2 * fx);
  fy = fy * fy * (3 - 2 * fy);
  float a = Hash(xi, yi, seed), b = Hash(xi + 1, yi, seed);
  float c = Hash(xi, yi + 1, seed), d = Hash(xi + 1, yi + 1, seed);
  return a + (b - a) * fx + (c - a) * fy + (a - b - c + d) * fx * fy;
}
float Fractal(float x, float y, unsigned seed, int octaves = 5) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * Noise(x, y, seed + unsigned(i) * 31u);
    norm += amp;
    x *= 2.03f;
    y *= 2.03f;
    amp *= 0.5f;
  }
  return sum / norm;
}

// Film grain, so flat areas look photographed rather than drawn.
Rgb Grain(Rgb c, int x, int y, unsigned seed, float amount = 6) {
  float n = (Hash(x, y, seed ^ 0x9E37u) - 0.5f) * amount;
  return {c.r + n, c.g + n, c.b + n};
}

void Sunset(photos::PixelImage& img, unsigned seed) {
  const int w = img.Width(), h = img.Height();
  const float horizon = 0.58f * float(h), sunX = 0.62f * float(w), sunY = horizon - 0.09f * float(h);
  const float sunR = 0.06f * float(h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float fy = float(y), fx = float(x);
      Rgb c;
      if (fy < horizon) {
        float t = fy / horizon;
        c = Mix(Mix({40, 30, 90}, {200, 80, 110}, t * 1.3f), {255, 170, 70}, (t - 0.55f) * 2.2f);
        float cloud = Fractal(fx / float(w) * 5, fy / float(h) * 14, seed);
        c = Mix(c, Scale({255, 140, 120}, 0.8f + 0.3f * t), std::max(0.0f, cloud - 0.55f) * 2.5f);
        float d = std::hypot(fx - sunX, fy - sunY);
        c = Mix(c, {255, 235, 180}, 1.0f - (d - sunR) / (sunR * 0.15f));
        c = Mix(c, {255, 200, 120}, 0.5f * std::exp(-d / (sunR * 4)));
      } else {
        float t = (fy - horizon) / (float(h) - horizon);
        c = Mix({170, 90, 90}, {20, 25, 60}, t);
        float wave = Fractal(fx / float(w) * 40, fy / float(h) * 220, seed + 7, 3);
        float glitter = std::exp(-std::abs(fx - sunX) / (sunR * (1.2f + 4 * t))) * (wave > 0.55f);
        c = Mix(c, {255, 210, 150}, glitter * (1 - t * 0.7f));
        c = Scale(c, 0.85f + 0.3f * wave);
      }
      Put(img, x, y, Grain(c, x, y, seed));
    }
}

void Mountains(photos::PixelImage& img, unsigned seed) {
  const int w = img.Width(), h = img.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float fy = float(y) / float(h);
      Rgb c = Mix({90, 150, 220}, {200, 225, 245}, fy * 1.6f);
      Put(img, x, y, c);
    }
  // Ridges from far (pale) to near (dark green), each a fractal skyline.
  const Rgb ridge[4] = {{150, 170, 200}, {100, 125, 160}, {60, 95, 90}, {35, 70, 45}};
  for (int layer = 0; layer < 4; ++layer) {
    float base = 0.45f + 0.12f * float(layer);
    float amplitude = 0.34f - 0.06f * float(layer);  // far ranges stand tallest
    for (int x = 0; x < w; ++x) {
      float fx = float(x) / float(w);
      float f = Fractal(fx * (2.0f + float(layer)), float(layer) * 3.1f, seed + unsigned(layer));
      float top = base - amplitude * std::clamp((f - 0.3f) / 0.45f, 0.0f, 1.0f);
      int y0 = std::max(0, int(top * float(h)));
      for (int y = y0; y < h; ++y) {
        float shade = Fractal(fx * 30, float(y) / float(h) * 30, seed + 99u + unsigned(layer), 3);
        Rgb c = Scale(ridge[layer], 0.85f + 0.3f * shade);
        // Snow above a fixed altitude, so it caps the summits and follows the ridge.
        if (layer == 0 && float(y) < 0.27f * float(h) + 8 * shade) c = Mix(c, {245, 248, 255}, 0.85f);
        Put(img, x, y, Grain(c, x, y, seed));
      }
    }
  }
}

void Flowers(photos::PixelImage& img, unsigned seed) {
  const int w = img.Width(), h = img.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float n = Fractal(float(x) / float(w) * 8, float(y) / float(h) * 8, seed);
      Put(img, x, y, Grain(Mix({20, 70, 25}, {110, 170, 60}, n), x, y, seed, 10));
    }
  const Rgb petals[5] = {{235, 60, 90}, {250, 200, 40}, {240, 240, 245}, {170, 80, 210}, {250, 120, 40}};
  int count = std::max(12, w * h / 40000);
  for (int i = 0; i < count; ++i) {
    float cx = Hash(i, 1, seed) * float(w), cy = Hash(i, 2, seed) * float(h);
    float r = (0.02f + 0.05f * Hash(i, 3, seed)) * float(std::min(w, h)) * (0.4f + cy / float(h));
    Rgb col = petals[int(Hash(i, 4, seed) * 4.99f)];
    int x0 = std::max(0, int(cx - r)), x1 = std::min(w - 1, int(cx + r));
    int y0 = std::max(0, int(cy - r)), y1 = std::min(h - 1, int(cy + r));
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        float dx = float(x) - cx, dy = float(y) - cy, d = std::hypot(dx, dy) / r;
        float petal = 0.75f + 0.25f * std::cos(6 * std::atan2(dy, dx));
        if (d > petal) continue;
        Rgb c = d < 0.25f ? Rgb{120, 80, 20} : Scale(col, 0.75f + 0.35f * (1 - d));
        Put(img, x, y, Grain(Mix(Get(img, x, y), c, 0.9f), x, y, seed));
      }
  }
}

void CityNight(photos::PixelImage& img, unsigned seed) {
  const int w = img.Width(), h = img.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      Put(img, x, y, Grain(Mix({8, 12, 40}, {60, 40, 90}, float(y) / float(h)), x, y, seed, 4));
  int x = 0, i = 0;
  while (x < w) {
    int bw = int((0.04f + 0.07f * Hash(i, 7, seed)) * float(w));
    int top = int((0.25f + 0.45f * Hash(i, 8, seed)) * float(h));
    Rgb wall = Scale({25, 28, 45}, 0.7f + 0.6f * Hash(i, 9, seed));
    for (int y = top; y < h; ++y)
      for (int xx = x; xx < std::min(w, x + bw); ++xx) {
        int cx = (xx - x) % 12, cy = (y - top) % 16;
        bool window = cx > 3 && cx < 9 && cy > 4 && cy < 11 && xx - x > 2 && x + bw - xx > 2;
        Rgb c = wall;
        if (window && Hash((xx - x) / 12 + i * 97, (y - top) / 16, seed) > 0.45f)
          c = Mix({255, 210, 120}, {180, 220, 255}, Hash(i, (y - top) / 16, seed + 5));
        Put(img, xx, y, Grain(c, xx, y, seed, 5));
      }
    x += bw + int(Hash(i, 10, seed) * 6);
    ++i;
  }
}

void Bokeh(photos::PixelImage& img, unsigned seed) {
  const int w = img.Width(), h = img.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float t = float(x + y) / float(w + h);
      Put(img, x, y, Mix({30, 10, 50}, {10, 60, 70}, t));
    }
  for (int i = 0; i < 60; ++i) {
    float cx = Hash(i, 11, seed) * float(w), cy = Hash(i, 12, seed) * float(h);
    float r = (0.03f + 0.09f * Hash(i, 13, seed)) * float(std::min(w, h));
    Rgb col = Mix({255, 120, 180}, {120, 230, 255}, Hash(i, 14, seed));
    col = Mix(col, {255, 220, 120}, Hash(i, 15, seed) - 0.5f);
    for (int y = std::max(0, int(cy - r)); y < std::min(h, int(cy + r)); ++y)
      for (int x = std::max(0, int(cx - r)); x < std::min(w, int(cx + r)); ++x) {
        float d = std::hypot(float(x) - cx, float(y) - cy) / r;
        if (d > 1) continue;
        float a = 0.35f * (d > 0.9f ? 1.4f : 1.0f);
        Put(img, x, y, Mix(Get(img, x, y), col, a));
      }
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Put(img, x, y, Grain(Get(img, x, y), x, y, seed));
}

void Beach(photos::PixelImage& img, unsigned seed) {
  const int w = img.Width(), h = img.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float fx = float(x) / float(w), fy = float(y) / float(h);
      float shore = 0.62f + 0.06f * std::sin(fx * 7 + 1.3f) + 0.03f * Fractal(fx * 6, 0.5f, seed);
      Rgb c;
      if (fy < 0.4f) {
        c = Mix({60, 130, 210}, {170, 210, 240}, fy / 0.4f);
        float cloud = Fractal(fx * 4, fy * 9, seed + 3);
        c = Mix(c, {250, 250, 255}, (cloud - 0.5f) * 3);
      } else if (fy < shore) {
        float t = (fy - 0.4f) / (shore - 0.4f);
        c = Mix({20, 90, 150}, {40, 190, 190}, t);
        c = Mix(c, {240, 250, 250}, (Fractal(fx * 60, fy * 200, seed + 4, 3) - 0.7f) * 4);
      } else {
        c = Scale({225, 200, 150}, 0.85f + 0.25f * Fractal(fx * 80, fy * 80, seed + 5, 3));
        if (fy < shore + 0.015f) c = Mix(c, {250, 250, 245}, 0.7f);
      }
      Put(img, x, y, Grain(c, x, y, seed));
    }
}

void Aurora(photos::PixelImage& img, unsigned seed) {
  const int w = img.Width(), h = img.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float fx = float(x) / float(w), fy = float(y) / float(h);
      Rgb c = Mix({2, 5, 20}, {10, 30, 50}, fy);
      float band = 0.35f + 0.12f * std::sin(fx * 5 + 2 * Fractal(fx * 2, 0.3f, seed));
      float curtain = std::exp(-std::abs(fy - band) * 9) * Fractal(fx * 30, fy * 2, seed + 8, 3);
      c = Mix(c, Mix({40, 255, 150}, {180, 80, 255}, band - fy + 0.4f), curtain * 1.4f);
      if (Hash(x, y, seed + 12) > 0.9985f) c = {240, 240, 255};  // stars
      if (fy > 0.8f - 0.05f * Fractal(fx * 8, 1, seed + 9)) c = {5, 8, 12};  // treeline
      Put(img, x, y, Grain(c, x, y, seed, 4));
    }
}

}  // namespace

const std::vector<SamplePicture>& BuiltInSamples() {
  static const std::vector<SamplePicture> samples = {
      {"sunset-sea", 1600, 1200, Sunset},  {"alpine-ridges", 2048, 1365, Mountains},
      {"meadow", 1200, 1600, Flowers},     {"city-lights", 1920, 1080, CityNight},
      {"bokeh", 1000, 1000, Bokeh},        {"beach", 2400, 1000, Beach},
      {"aurora", 1280, 960, Aurora},       {"wildflowers", 900, 1350, Flowers},
  };
  return samples;
}

}  // namespace prismora::samples
