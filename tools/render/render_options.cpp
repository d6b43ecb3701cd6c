#include "tools/render/render_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

namespace prismora::render {
namespace {

template <typename T>
bool ParseNumber(const std::string& text, T& out) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && p == end;
}

bool ParseFloat(const std::string& text, float& out) {
  // from_chars for float is missing from some of the toolchains we build with.
  try {
    std::size_t used = 0;
    out = std::stof(text, &used);
    return used == text.size() && std::isfinite(out);
  } catch (...) {
    return false;
  }
}

bool ParseSize(const std::string& text, int& w, int& h) {
  const std::size_t x = text.find('x');
  if (x == std::string::npos) return false;
  if (!ParseNumber(text.substr(0, x), w) || !ParseNumber(text.substr(x + 1), h)) return false;
  // The upper bound keeps one picture's pixels well inside what a 32-bit process can hold.
  return w >= 1 && h >= 1 && w <= 8192 && h <= 8192;
}

}  // namespace

ParsedOptions ParseRenderOptions(const std::vector<std::string>& args) {
  ParsedOptions r;
  RenderOptions& o = r.options;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      positional.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) {
      r.error = a + " needs a value";
      return r;
    }
    const std::string& v = args[++i];
    bool ok = true;
    if (a == "--block") {
      o.block = v;
    } else if (a == "--size") {
      ok = ParseSize(v, o.width, o.height);
    } else if (a == "--time") {
      float t = 0;
      ok = ParseFloat(v, t);
      if (ok) o.time = t;
    } else if (a == "--ticks") {
      ok = ParseNumber(v, o.ticks) && o.ticks >= 0;
    } else if (a == "--seed") {
      ok = ParseNumber(v, o.seed);
    } else if (a == "--starts") {
      ok = ParseNumber(v, o.starts) && o.starts > 0;
    } else if (a == "--bench") {
      ok = ParseNumber(v, o.benchFrames) && o.benchFrames > 0;
    } else {
      r.error = "unknown option " + a;
      return r;
    }
    if (!ok) {
      r.error = "bad value for " + a + ": " + v;
      return r;
    }
  }
  if (positional.size() != 3) {
    r.error = "expected SCENE.x PHOTO_FOLDER OUT.bmp";
    return r;
  }
  o.scene = positional[0];
  o.photoFolder = positional[1];
  o.output = positional[2];
  return r;
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

std::vector<std::string> ListBitmaps(const std::string& folder) {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".bmp") out.push_back(entry.path().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace prismora::render
