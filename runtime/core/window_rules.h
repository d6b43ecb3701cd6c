// Small rules of the screen saver window that do not need the window itself.
#pragma once

namespace prismora::runtime {

// A preview window wider than this behaves as a full-screen screen saver: the cursor is
// hidden and input closes it.
inline constexpr int kPreviewWidthLimit = 400;

inline bool BehavesAsChildPreview(bool startedAsChild, int windowWidth) {
  return startedAsChild && windowWidth <= kPreviewWidthLimit;
}

// Total mouse travel (horizontal plus vertical) that closes a full-screen run.
inline constexpr int kMouseTravelLimit = 4;

inline bool MouseTravelCloses(int startX, int startY, int x, int y) {
  int dx = x - startX, dy = y - startY;
  return (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) > kMouseTravelLimit;
}

}  // namespace prismora::runtime
