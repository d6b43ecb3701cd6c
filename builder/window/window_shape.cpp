#include "builder/window/window_shape.h"

#include "builder/window/form_layout.h"

namespace prismora::window {

ShapePiece PanelPiece(const wingui::Rect& r, int corner, const ShapeMetrics& m) {
  const int e = m.edge, y = m.VerticalOffset();
  return {r.left + e, r.top + y, r.left + r.width + 2 * e, r.top + r.height + y + e, corner};
}

std::vector<ShapePiece> MainWindowShape(wingui::Layout layout, const ShapeMetrics& m) {
  struct Part {
    int id, corner;
  };
  // The last bridge is not part of the outline: it would show the caption behind it.
  constexpr Part kPanels[] = {{PanelRight, 30}, {PanelTop, 20}, {PanelCenter, 20},
                              {PanelBottom, 20}, {PanelLeft, 20}, {PanelPlusRemoveEtc, 0}};
  constexpr Part kAfterMenu[] = {{PanelKnopki, 10},      {PanelPeremichka1, 0}, {PanelPeremichka2, 0},
                                 {PanelPeremichka3, 0}, {PanelPeremichka4, 0}, {PanelPeremichka5, 0}};
  std::vector<ShapePiece> pieces;
  auto add = [&](const Part& p) {
    if (const wingui::ControlRow* s = wingui::FindRow(layout, p.id))
      pieces.push_back(PanelPiece(s->rect, p.corner, m));
  };
  for (const Part& p : kPanels) add(p);
  // The strip with the window icon and the menu bar.
  pieces.push_back({0, 0, 150, m.VerticalOffset() + 3, 10});
  for (const Part& p : kAfterMenu) {
    add(p);
    // The first bridge reaches 2 pixels higher, into the menu strip.
    if (p.id == PanelPeremichka1 && !pieces.empty()) pieces.back().top -= 2;
  }
  return pieces;
}

}  // namespace prismora::window
