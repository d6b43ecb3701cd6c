// The screen saver's one pseudo-random sequence. Every random choice (which photo goes on
// which face, the start time, kicks of drifting and spinning parts) draws from it in
// program order, so a run is reproducible from its seed.
#pragma once
#include <cstdint>

namespace prismora::runtime {

class Random {
 public:
  explicit Random(uint32_t seed = 0) : state_(seed) {}
  void Seed(uint32_t seed) { state_ = seed; }
  // 0..32767: bits 16 to 30 of the advanced state.
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return int((state_ >> 16) & 0x7FFF);
  }
  uint32_t state() const { return state_; }

 private:
  uint32_t state_;
};

}  // namespace prismora::runtime
