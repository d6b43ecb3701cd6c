// The look of the eight button panels: the inner bevel marks the page (or command) last
// chosen, the outer bevel the button under the mouse. Only one of each at a time.
#pragma once
#include <array>
#include <cstddef>

namespace prismora::window {

enum class BevelLook { None, Lowered, Raised };

class ButtonGroupLook {
 public:
  static constexpr std::size_t kCount = 8;
  // At start nothing is raised and the photos page button (index 3) is lowered.
  ButtonGroupLook();

  // A page was chosen through button `index`: only that one looks pressed.
  void Select(std::size_t index);
  // The mouse is over button `index`: only that one is raised.
  void Hover(std::size_t index);
  // The mouse is over anything else: nothing is raised.
  void ClearHover();

  BevelLook Inner(std::size_t index) const { return inner_.at(index); }
  BevelLook Outer(std::size_t index) const { return outer_.at(index); }

 private:
  std::array<BevelLook, kCount> inner_{}, outer_{};
};

}  // namespace prismora::window
