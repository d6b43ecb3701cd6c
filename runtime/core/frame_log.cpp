#include "runtime/core/frame_log.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace prismora::runtime {

std::string FrameLog::Text() const {
  std::string out;
  char line[64];
  std::snprintf(line, sizeof line, "first_frame_ms %.1f\n", firstFrameMs);
  out += line;
  for (double ms : tickMs) {
    std::snprintf(line, sizeof line, "tick_ms %.3f\n", ms);
    out += line;
  }
  return out;
}

FrameLog FrameLog::Parse(std::string_view text) {
  FrameLog log;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string line(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t blank = line.find(' ');
    if (blank == std::string::npos) continue;
    const std::string name = line.substr(0, blank);
    char* stop = nullptr;
    const double value = std::strtod(line.c_str() + blank + 1, &stop);
    if (stop == line.c_str() + blank + 1 || !std::isfinite(value)) continue;
    if (name == "first_frame_ms") log.firstFrameMs = value;
    if (name == "tick_ms") log.tickMs.push_back(value);
  }
  return log;
}

FrameStats Summarise(std::vector<double> tickMs) {
  FrameStats s;
  s.ticks = tickMs.size();
  if (tickMs.empty()) return s;
  std::sort(tickMs.begin(), tickMs.end());
  const std::size_t n = tickMs.size();
  s.medianMs = n % 2 ? tickMs[n / 2] : (tickMs[n / 2 - 1] + tickMs[n / 2]) / 2;
  // Nearest rank: the smallest value with at least 99 % of the ticks at or below it.
  const std::size_t rank = std::size_t(std::ceil(0.99 * double(n)));
  s.p99Ms = tickMs[std::max<std::size_t>(rank, 1) - 1];
  s.worstMs = tickMs.back();
  return s;
}

}  // namespace prismora::runtime
