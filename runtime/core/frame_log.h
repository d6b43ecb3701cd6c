// How long the screen saver's ticks take, for the benchmarks: with PRISMORA_FRAME_LOG set
// to a file name the runtime notes when its first frame was drawn and what every tick's
// work (photo change, animation, drawing, presenting) took, and writes them there when its
// window goes. Nothing is kept without the switch.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace prismora::runtime {

struct FrameLog {
  double firstFrameMs = -1;  // from the process's start to the end of the first tick
  std::vector<double> tickMs;

  // "first_frame_ms 412.0" then "tick_ms 6.250" per tick, one to a line.
  std::string Text() const;
  // Reads back what Text wrote; lines it does not know are passed over.
  static FrameLog Parse(std::string_view text);
};

struct FrameStats {
  std::size_t ticks = 0;
  double medianMs = 0, p99Ms = 0, worstMs = 0;
};
// The median and the 99th percentile (the nearest-rank value: 99 % of the ticks took no
// longer) of the tick times, and the longest; all 0 without ticks.
FrameStats Summarise(std::vector<double> tickMs);

}  // namespace prismora::runtime
