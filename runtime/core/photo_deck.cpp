#include "runtime/core/photo_deck.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace prismora::runtime {

PhotoDeck::PhotoDeck(int count, Random& random) : cards_(std::size_t(std::max(count, 1))), random_(random) {
  std::iota(cards_.begin(), cards_.end(), 0);
  Shuffle();
}

// A draw of 30 bits: one draw alone gives only 0..32767, too few for large sets.
std::size_t PhotoDeck::Draw(std::size_t below) {
  uint32_t r = uint32_t(random_.Next()) << 15 | uint32_t(random_.Next());
  return std::size_t(r % below);
}

void PhotoDeck::Shuffle() {
  for (std::size_t i = cards_.size(); i > 1; --i) std::swap(cards_[i - 1], cards_[Draw(i)]);
  position_ = 0;
}

int PhotoDeck::Next(std::span<const int> onScreen) {
  auto showing = [&](int photo) { return std::find(onScreen.begin(), onScreen.end(), photo) != onScreen.end(); };
  for (int rounds = 0; rounds < 2; ++rounds) {
    if (position_ == cards_.size()) Shuffle();
    for (std::size_t i = position_; i < cards_.size(); ++i) {
      if (showing(cards_[i])) continue;
      // Brought forward; the passed-over photos keep their places in the round.
      std::rotate(cards_.begin() + std::ptrdiff_t(position_), cards_.begin() + std::ptrdiff_t(i),
                  cards_.begin() + std::ptrdiff_t(i) + 1);
      return cards_[position_++];
    }
    // Everything left in this round is showing: end it and look in a fresh one.
    position_ = cards_.size();
  }
  // Every photo is showing (no more photos than textures): any will do.
  if (position_ == cards_.size()) Shuffle();
  return cards_[position_++];
}

}  // namespace prismora::runtime
