#include "engine/gl/gl_functions.h"

namespace prismora::gl {
namespace {

template <typename Fn>
bool Fetch(Fn& out, const char* core, const char* ext) {
  // Some drivers answer 1, 2, 3 or -1 for names they do not know.
  auto valid = [](PROC p) {
    const auto v = reinterpret_cast<INT_PTR>(p);
    return !(v == 0 || v == 1 || v == 2 || v == 3 || v == -1);
  };
  PROC p = wglGetProcAddress(core);
  if (!valid(p)) p = wglGetProcAddress(ext);
  if (!valid(p)) return false;
  out = reinterpret_cast<Fn>(p);
  return true;
}

// Set to anything but empty or "0".
bool SwitchOn(const char* name) {
  char value[8] = {};
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && !(n == 1 && value[0] == '0');
}

}  // namespace

DriverSwitches ReadDriverSwitches() {
  DriverSwitches s;
  s.hideFramebuffers = SwitchOn("PRISMORA_GL_NO_FBO");
  s.refuseContext = SwitchOn("PRISMORA_GL_NO_CONTEXT");
  s.hideAnisotropy = SwitchOn("PRISMORA_GL_NO_ANISOTROPY");
  return s;
}

bool FramebufferFunctions::Load() {
  bool ok = Fetch(genFramebuffers, "glGenFramebuffers", "glGenFramebuffersEXT");
  ok = Fetch(deleteFramebuffers, "glDeleteFramebuffers", "glDeleteFramebuffersEXT") && ok;
  ok = Fetch(bindFramebuffer, "glBindFramebuffer", "glBindFramebufferEXT") && ok;
  ok = Fetch(genRenderbuffers, "glGenRenderbuffers", "glGenRenderbuffersEXT") && ok;
  ok = Fetch(deleteRenderbuffers, "glDeleteRenderbuffers", "glDeleteRenderbuffersEXT") && ok;
  ok = Fetch(bindRenderbuffer, "glBindRenderbuffer", "glBindRenderbufferEXT") && ok;
  ok = Fetch(renderbufferStorage, "glRenderbufferStorage", "glRenderbufferStorageEXT") && ok;
  ok = Fetch(framebufferRenderbuffer, "glFramebufferRenderbuffer", "glFramebufferRenderbufferEXT") && ok;
  ok = Fetch(checkFramebufferStatus, "glCheckFramebufferStatus", "glCheckFramebufferStatusEXT") && ok;
  if (!Fetch(blitFramebuffer, "glBlitFramebuffer", "glBlitFramebufferEXT")) blitFramebuffer = nullptr;
  return ok;
}

bool BufferFunctions::Load() {
  const bool ok = Fetch(genBuffers, "glGenBuffers", "glGenBuffersARB") &&
                  Fetch(deleteBuffers, "glDeleteBuffers", "glDeleteBuffersARB") &&
                  Fetch(bindBuffer, "glBindBuffer", "glBindBufferARB") &&
                  Fetch(bufferData, "glBufferData", "glBufferDataARB");
  if (!ok) *this = BufferFunctions{};
  return ok;
}

}  // namespace prismora::gl
