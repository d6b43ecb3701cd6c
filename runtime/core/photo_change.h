// Changing photos while the saver runs: every few seconds one texture of the scene takes
// the next photo of the deck. So that no photo visibly pops into another, the texture
// chosen is one whose faces are all turned away from the camera (or behind it); the
// scenes turn, so such a texture comes round within moments. Only when none has come
// round for two more intervals is the least visible one changed all the same, so a
// scene that always shows every texture still goes through the whole set.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/scene/camera.h"
#include "engine/scene/frame.h"
#include "engine/scene/material.h"
#include "runtime/core/photo_deck.h"
#include "runtime/core/random.h"

namespace prismora::runtime {

// How much of one texture the camera could see: its triangles, and those of them that
// face the camera and reach into its view.
struct Facing {
  std::size_t seen = 0;
  std::size_t total = 0;
};

// For each of `materials`, over every mesh below `root` placed as the frames place it, for
// a picture of `width` x `height` pixels. Faces are one-sided and clockwise seen from the
// front, as the device draws them. A face that reaches into the view is counted whether
// or not a nearer one hides it.
std::vector<Facing> CountFacing(const engine::Frame& root, const engine::Camera& camera,
                                std::span<engine::Material* const> materials, int width, int height);
// The same into `out`, whose storage is kept: the screen saver counts on every tick.
void CountFacing(const engine::Frame& root, const engine::Camera& camera,
                 std::span<engine::Material* const> materials, int width, int height, std::vector<Facing>& out);

struct PhotoSlot {
  int photo = 0;
  uint32_t shownSinceMs = 0;
  // The photo has been in sight (some face of it) for at least one interval in all since
  // it went up. One that has not is not changed while one that has can be: otherwise a
  // texture that is rarely in sight would take photo after photo and none of them would
  // be seen for more than a glimpse.
  bool seen = false;
  uint32_t inSightMs = 0;
};

// The slot to change, among the slots whose photo has been seen (all of them when none
// has): one with no face in sight now, the one that has shown its photo longest. With
// `anyway`, when none is out of sight: the one with the smallest share in sight, longest
// shown first. Nothing when there is no slot, or none out of sight and not `anyway`.
std::optional<std::size_t> ChooseSlotToChange(std::span<const PhotoSlot> slots,
                                              std::span<const Facing> facing, uint32_t nowMs,
                                              bool anyway);

struct PhotoChange {
  std::size_t slot = 0;
  int photo = 0;
};

// The schedule and the deck for one run. Inactive (photos stay as chosen at start, the
// way savers without the setting always ran) when the interval is 0; with no more photos
// than slots it only deals the first photos, so each slot starts with its own.
class PhotoChanger {
 public:
  PhotoChanger(int32_t intervalSeconds, int photoCount, std::size_t slotCount, Random& random);

  // The deck is used at all (interval set); first photos come from it.
  bool dealing() const { return intervalMs_ > 0; }
  // Photos change over time (interval set and more photos than slots).
  bool changing() const { return deck_ && deck_->count() > int(slotCount_); }

  // The photo for the next slot at set-up, in slot order (only while dealing()).
  int DealFirst();
  // Starts the clock: the first change is due one interval later.
  void Start(uint32_t nowMs);
  // Whether a change is due; the caller then counts the facing and calls Change.
  bool Due(uint32_t nowMs) const;
  // The photo the next change will put up, drawn from the deck now so that it can be
  // read ahead of the change (while changing()). Asking again gives the same photo until
  // a change has put it up.
  int Upcoming();
  // Notes which slots are in sight now (every tick while changing()).
  void Observe(uint32_t nowMs, std::span<const Facing> facing);
  // The change to make now, or nothing while no slot is turned away (asked again on a
  // later tick). Observes `facing` first and records the change: the next change is due
  // one interval after this one.
  std::optional<PhotoChange> Change(uint32_t nowMs, std::span<const Facing> facing);

  const std::vector<PhotoSlot>& slots() const { return slots_; }

 private:
  uint32_t intervalMs_ = 0;
  std::size_t slotCount_ = 0;
  std::optional<PhotoDeck> deck_;  // none with the interval 0: no draw is taken
  std::vector<PhotoSlot> slots_;
  std::vector<int> onScreen_;
  std::optional<int> upcoming_;
  uint32_t dueMs_ = 0;
  uint32_t observedMs_ = 0;
};

}  // namespace prismora::runtime
