// The outline of the main window: the union of rounded pieces around the decor panels,
// in window coordinates. The caption bar and frame are cut away except a strip at the
// top left that keeps the window icon and the menu bar reachable.
#pragma once
#include <vector>

#include "platform/win32/wingui/layout_table.h"

namespace prismora::window {

// One rounded rectangle of the region: corners from (left, top) to (right, bottom),
// the corner ellipse `corner` by `corner` (0: square corners).
struct ShapePiece {
  int left = 0, top = 0, right = 0, bottom = 0, corner = 0;
  bool operator==(const ShapePiece&) const = default;
};

// `edge` is the 3D edge height (SM_CYEDGE); the vertical offset from client to window
// coordinates is taken as the caption button width plus the menu button width plus
// three edges, which matches the caption and menu heights on the systems the window
// was designed on.
struct ShapeMetrics {
  int edge = 2;
  int captionButton = 18;  // SM_CXSIZE
  int menuButton = 18;     // SM_CXMENUSIZE
  int VerticalOffset() const { return captionButton + menuButton + 3 * edge; }
};

// The piece around a panel at `r` (client coordinates).
ShapePiece PanelPiece(const wingui::Rect& r, int corner, const ShapeMetrics& m);

// Every piece of the window's region, for the main window's layout.
std::vector<ShapePiece> MainWindowShape(wingui::Layout layout, const ShapeMetrics& m);

}  // namespace prismora::window
