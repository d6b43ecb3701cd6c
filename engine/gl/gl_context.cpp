#include "engine/gl/gl_context.h"

namespace prismora::gl {

GlContext::~GlContext() {
  if (rc_) {
    if (wglGetCurrentContext() == rc_) wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(rc_);
  }
}

bool GlContext::Create(HDC dc, std::string* error) {
  dc_ = dc;
  if (GetPixelFormat(dc) == 0) {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    pfd.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(dc, &pfd);
    if (format == 0 || !SetPixelFormat(dc, format, &pfd)) {
      if (error) *error = "no OpenGL pixel format for the window";
      return false;
    }
  }
  rc_ = wglCreateContext(dc);
  if (!rc_ || !wglMakeCurrent(dc, rc_)) {
    if (error) *error = "OpenGL context could not be created";
    return false;
  }
  return true;
}

bool GlContext::MoveTo(HDC dc) {
  if (!rc_ || !dc) return false;
  PIXELFORMATDESCRIPTOR pfd{};
  const int format = GetPixelFormat(dc_);
  if (format == 0 || !DescribePixelFormat(dc_, format, sizeof pfd, &pfd)) return false;
  if (GetPixelFormat(dc) != format && !SetPixelFormat(dc, format, &pfd)) return false;
  if (!wglMakeCurrent(dc, rc_)) return false;
  dc_ = dc;
  return true;
}

bool GlContext::MakeCurrent() const {
  if (!rc_) return false;
  if (wglGetCurrentContext() == rc_ && wglGetCurrentDC() == dc_) return true;
  return wglMakeCurrent(dc_, rc_) != FALSE;
}

RenderTarget::~RenderTarget() { Release(); }

void RenderTarget::Release() {
  if (fbo_) fn_.deleteFramebuffers(1, &fbo_);
  if (colour_) fn_.deleteRenderbuffers(1, &colour_);
  if (depth_) fn_.deleteRenderbuffers(1, &depth_);
  fbo_ = colour_ = depth_ = 0;
  width_ = height_ = 0;
}

bool RenderTarget::Resize(int width, int height, std::string* error) {
  if (width < 1) width = 1;
  if (height < 1) height = 1;
  if (windowBuffer_) {
    width_ = width;
    height_ = height;
    // A window larger than the picture (a hidden helper that has grown) keeps its other
    // pixels out of every clear.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, width, height);
    glViewport(0, 0, width, height);
    return true;
  }
  if (fbo_ && width == width_ && height == height_) return true;
  Release();
  fn_.genFramebuffers(1, &fbo_);
  fn_.genRenderbuffers(1, &colour_);
  fn_.genRenderbuffers(1, &depth_);
  fn_.bindRenderbuffer(GL_RENDERBUFFER, colour_);
  fn_.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  fn_.bindRenderbuffer(GL_RENDERBUFFER, depth_);
  fn_.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  fn_.bindRenderbuffer(GL_RENDERBUFFER, 0);
  fn_.bindFramebuffer(GL_FRAMEBUFFER, fbo_);
  fn_.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  fn_.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
  if (fn_.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    if (error) *error = "framebuffer object of " + std::to_string(width) + "x" + std::to_string(height) + " is incomplete";
    Release();
    fn_.bindFramebuffer(GL_FRAMEBUFFER, 0);
    return false;
  }
  width_ = width;
  height_ = height;
  glViewport(0, 0, width, height);
  return true;
}

void RenderTarget::Bind() const {
  if (!windowBuffer_) fn_.bindFramebuffer(GL_FRAMEBUFFER, fbo_);
}

void RenderTarget::ReadBgra(std::vector<uint8_t>& out) const {
  out.resize(std::size_t(width_) * height_ * 4);
  if (windowBuffer_)
    glReadBuffer(GL_BACK);
  else
    fn_.bindFramebuffer(GL_FRAMEBUFFER, fbo_);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, out.data());
}

}  // namespace prismora::gl
