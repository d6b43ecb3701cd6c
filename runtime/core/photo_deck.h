// The order in which a saver with more photos than its scene has textures goes through
// them: a shuffled deck. Every photo comes once per round, a new round is shuffled anew,
// and the run's random sequence (seeded per run) makes every run's order its own.
#pragma once
#include <cstddef>
#include <span>
#include <vector>

#include "runtime/core/random.h"

namespace prismora::runtime {

class PhotoDeck {
 public:
  // `count` photos, indices 0..count-1; a count below one holds photo 0 alone.
  PhotoDeck(int count, Random& random);

  // The next photo of the round. Photos in `onScreen` are passed over while the round has
  // others, so a new round never puts up a photo that is showing already; they stay in
  // the round and come later.
  int Next(std::span<const int> onScreen = {});

  int count() const { return int(cards_.size()); }
  // Photos already dealt in the current round.
  std::size_t dealt() const { return position_; }

 private:
  void Shuffle();
  std::size_t Draw(std::size_t below);

  std::vector<int> cards_;
  std::size_t position_ = 0;
  Random& random_;
};

}  // namespace prismora::runtime
