// Layout as data: one row per control with its kind, parent, rectangle, text and look.
// Platform-free so a window's whole layout can be checked without Windows.
#pragma once
#include <cstdint>
#include <span>

namespace prismora::wingui {

enum class Kind : uint8_t {
  Panel,     // a plain surface with optional bevels; parent of other controls
  Image,     // shows a picture; reports clicks and mouse moves to the top window
  Label,     // static text
  Button,    // push button
  CheckBox,
  ComboBox,  // drop-down list
  Edit,      // single-line text
  Memo,      // multi-line text
  GroupBox,  // frame with a caption; its contents are placed by the group's parent
  Custom,    // created by the window itself (e.g. a list from another component)
};

// Looks and behaviours a row can ask for.
enum Flag : uint32_t {
  kHidden = 1u << 0,
  kBlueText = 1u << 1,
  kAutoSize = 1u << 2,     // a label that sizes itself to its text
  kHandCursor = 1u << 3,
  kStretch = 1u << 4,      // an image drawn to the control's size
  kDecor = 1u << 5,        // a panel in the window-frame colour
  kInnerLowered = 1u << 6, // a panel's inner bevel, lowered
  kInnerRaised = 1u << 7,
  kOuterRaised = 1u << 8,
  kOuterLowered = 1u << 9,
  kTabStop = 1u << 10,
  kCentered = 1u << 11,    // centred text
  kBold = 1u << 12,
  kDefaultButton = 1u << 13,
  kNoBorder = 1u << 14,
};

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const Rect&) const = default;
};

// One control. `rect` is in client coordinates of the whole window (not of the
// parent), so a table reads like the screen; the builder of the layout turns it into
// coordinates relative to the real parent window.
struct ControlRow {
  int id = 0;
  Kind kind = Kind::Panel;
  int parent = 0;  // 0: the window itself
  Rect rect;
  const char* text = "";
  uint32_t flags = 0;
  const char* hint = nullptr;
  int picture = 0;  // resource id of a picture, 0 for none
};

using Layout = std::span<const ControlRow>;

// A menu as data: depth 0 is a bar entry, depth 1 an item of the last bar entry.
struct MenuRow {
  int depth = 1;
  const char* caption = nullptr;  // null: a separator
  int id = 0;
  int picture = 0;  // resource id of a 16 × 16 picture shown beside the item, 0 for none
};

// The row with this id, or null.
inline const ControlRow* FindRow(Layout layout, int id) {
  for (const ControlRow& s : layout)
    if (s.id == id) return &s;
  return nullptr;
}

// The hint shown over a control: its own, or else its nearest parent's, as the window
// toolkit resolves hints; null when no row up the chain has one.
inline const char* EffectiveHint(Layout layout, const ControlRow& row) {
  for (const ControlRow* r = &row; r; r = r->parent ? FindRow(layout, r->parent) : nullptr)
    if (r->hint) return r->hint;
  return nullptr;
}

}  // namespace prismora::wingui
