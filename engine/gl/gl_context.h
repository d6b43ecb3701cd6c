// An OpenGL rendering context on a window's device context, and the buffers every
// picture is drawn into before a presenter shows it: a framebuffer object where the
// driver has them, else the back buffer of the context's window.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/gl/gl_functions.h"

namespace prismora::gl {

class GlContext {
 public:
  GlContext() = default;
  ~GlContext();
  GlContext(const GlContext&) = delete;
  GlContext& operator=(const GlContext&) = delete;

  // Gives the window's DC a double-buffered RGBA pixel format (kept if it has one) and
  // makes a context on it current. The DC must stay valid for the context's life.
  bool Create(HDC dc, std::string* error);
  bool MakeCurrent() const;
  // Carries the context over to another window's DC, which gets the same pixel format:
  // for a hidden helper window replaced by a larger one (its objects all stay).
  bool MoveTo(HDC dc);
  HDC dc() const { return dc_; }

 private:
  HDC dc_ = nullptr;
  HGLRC rc_ = nullptr;
};

// Colour and depth renderbuffers behind one framebuffer object. Its contents survive
// presenting, so a depth-only clear keeps the previous picture whatever the window's
// buffer swapping does.
//
// Without framebuffer objects (OpenGL 1.1) the target is the back buffer of the window
// that carries the context instead. That window must be at least the target's size, and
// the presenters then keep the back buffer's picture themselves.
class RenderTarget {
 public:
  explicit RenderTarget(const FramebufferFunctions& fn) : fn_(fn) {}
  // Before the first Resize.
  void UseWindowBuffer() { windowBuffer_ = true; }
  bool usesWindowBuffer() const { return windowBuffer_; }
  ~RenderTarget();
  RenderTarget(const RenderTarget&) = delete;
  RenderTarget& operator=(const RenderTarget&) = delete;

  bool Resize(int width, int height, std::string* error);
  // Deletes the buffers; the owning context must be current.
  void Release();
  // Forgets the buffers without deleting them: for when the owning context cannot be
  // made current any more, so no other context's objects are deleted by mistake.
  void Abandon() { fbo_ = colour_ = depth_ = 0; }
  void Bind() const;
  int width() const { return width_; }
  int height() const { return height_; }
  GLuint framebuffer() const { return fbo_; }  // 0 for the window's back buffer
  // The picture as 32-bit BGRA rows from the bottom, the layout of a bottom-up DIB.
  void ReadBgra(std::vector<uint8_t>& out) const;

 private:
  const FramebufferFunctions& fn_;
  GLuint fbo_ = 0, colour_ = 0, depth_ = 0;
  int width_ = 0, height_ = 0;
  bool windowBuffer_ = false;
};

}  // namespace prismora::gl
