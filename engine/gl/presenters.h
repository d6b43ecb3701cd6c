// The ways a finished picture reaches the screen (see presenter_choice.h). A presenter
// also owns the window whose DC carries the OpenGL context.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/gl/gl_context.h"
#include "engine/gl/presenter_choice.h"

namespace prismora::gl {

class Presenter {
 public:
  virtual ~Presenter() = default;
  virtual PresenterKind kind() const = 0;
  // The DC the OpenGL context is made on; valid for the presenter's life.
  virtual HDC contextDc() const = 0;
  // Shows the render target's picture. False once the window it serves is gone.
  virtual bool Present(const RenderTarget& target) = 0;
  // Client size of the window the picture is for (0 x 0 off screen).
  virtual SIZE windowSize() const = 0;
  // Only for pictures drawn into the back buffer of the context's window (no
  // framebuffer objects): makes that window at least `size`, moving the context to a
  // new window where one has to be made. False when it cannot.
  virtual bool FitSurface(SIZE size, GlContext& context) = 0;
};

bool RunningOnWine();
WindowFacts DescribeWindow(HWND window);
// Null with a reason in *error when the window for the kind could not be made.
std::unique_ptr<Presenter> MakePresenter(PresenterKind kind, HWND window, const FramebufferFunctions& fn,
                                         std::string* error);

}  // namespace prismora::gl
