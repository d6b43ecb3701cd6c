#include "builder/window/button_group.h"

namespace prismora::window {

ButtonGroupLook::ButtonGroupLook() {
  inner_.fill(BevelLook::None);
  outer_.fill(BevelLook::None);
  inner_[3] = BevelLook::Lowered;
}

void ButtonGroupLook::Select(std::size_t index) {
  inner_.fill(BevelLook::None);
  if (index < kCount) inner_[index] = BevelLook::Lowered;
}

void ButtonGroupLook::Hover(std::size_t index) {
  outer_.fill(BevelLook::None);
  if (index < kCount) outer_[index] = BevelLook::Raised;
}

void ButtonGroupLook::ClearHover() { outer_.fill(BevelLook::None); }

}  // namespace prismora::window
