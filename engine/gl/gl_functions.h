// OpenGL entry points beyond 1.1 that opengl32 does not export: the framebuffer object
// calls, fetched from the current context (core names first, then the EXT ones).
#pragma once
#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

namespace prismora::gl {

// Makes a machine with a full driver behave like a weaker one, so the fallbacks can be
// seen and tested anywhere: PRISMORA_GL_NO_FBO=1 hides the framebuffer object entry
// points (as Windows' own OpenGL 1.1 renderer lacks them), PRISMORA_GL_NO_CONTEXT=1
// refuses every OpenGL context (as a machine without any OpenGL),
// PRISMORA_GL_NO_ANISOTROPY=1 hides anisotropic filtering (as most drivers of Windows'
// own renderer lack it). A device reads them once, when it is made.
struct DriverSwitches {
  bool hideFramebuffers = false;
  bool refuseContext = false;
  bool hideAnisotropy = false;
};
DriverSwitches ReadDriverSwitches();

struct FramebufferFunctions {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
  // Optional: copying the finished picture to a window on the GPU side. Without it the
  // picture goes through system memory and GDI.
  PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

  // Needs a current context. False when framebuffer objects are not offered at all.
  bool Load();
};

// Buffer objects for vertex data (OpenGL 1.5, or the ARB extension before it). Without
// them meshes are drawn from arrays the device keeps in memory.
struct BufferFunctions {
  PFNGLGENBUFFERSPROC genBuffers = nullptr;
  PFNGLDELETEBUFFERSPROC deleteBuffers = nullptr;
  PFNGLBINDBUFFERPROC bindBuffer = nullptr;
  PFNGLBUFFERDATAPROC bufferData = nullptr;

  // Needs a current context. False (and all null) when buffer objects are not offered.
  bool Load();
};

}  // namespace prismora::gl
