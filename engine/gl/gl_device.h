// The OpenGL 1.x device the screen saver draws with: meshes and textures are uploaded
// once, every frame is a clear, a camera, one indexed draw per material group and a
// present.
//
//   auto device = GlDevice::ForWindow(hwnd, &error);     // picks the presenter
//   MeshId cube = device->AddMesh(std::move(meshData));  // once
//   device->Clear(ClearMode::ColourAndDepth, 0xFF000000);
//   device->SetCamera(view, frustum);
//   device->Draw(cube, world);                           // any number of times
//   device->Present();                                   // once per tick
//
// A depth-only clear keeps the previous picture: frames are drawn into a framebuffer
// object that presenting never discards, so trails and erase-off work with every presenter.
// Without framebuffer objects (Windows' own OpenGL 1.1) frames are drawn into the back
// buffer of the window that carries the context, and the presenters keep that buffer.
//
// A full-screen window over several monitors gets one viewport per monitor
// (SetViewports); the renderer draws the scene once into each.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/gl/gl_context.h"
#include "engine/gl/mesh_data.h"
#include "engine/gl/presenters.h"
#include "engine/gl/screen_layout.h"
#include "engine/gl/view_math.h"
#include "engine/gl/bmp.h"
#include "engine/gl/mipmaps.h"
#include "engine/scene/camera.h"
#include "engine/scene/light_rig.h"

namespace prismora::gl {

// The clear flags the screen saver passes: 3 clears colour and depth, 2 depth only.
enum class ClearMode : int { DepthOnly = 2, ColourAndDepth = 3 };

class GlDevice {
 public:
  // A device presenting into `window` (top-level, child, or child of another process's
  // window), sized to its client area.
  static std::unique_ptr<GlDevice> ForWindow(HWND window, std::string* error);
  // A device with no window; the picture is read back with ReadPixels.
  static std::unique_ptr<GlDevice> Offscreen(int width, int height, std::string* error);
  ~GlDevice();
  GlDevice(const GlDevice&) = delete;
  GlDevice& operator=(const GlDevice&) = delete;

  PresenterKind presenterKind() const { return presenter_->kind(); }
  // False when pictures go to the back buffer of the context's window instead.
  bool usesFramebuffer() const { return !target_.usesWindowBuffer(); }
  int width() const { return target_.width(); }
  int height() const { return target_.height(); }
  // False once the window the device presents to has gone; drawing calls then do nothing.
  bool alive() const { return alive_; }
  bool Resize(int width, int height);

  // Uploads a picture once with its mipmap levels, filtered trilinearly (and
  // anisotropically where the driver offers it); 0 when it could not be uploaded.
  TextureId AddTexture(const image::Image& picture);
  // Puts another picture into a texture made by AddTexture, in place: every group drawn
  // with it shows the new picture and no memory is added. False when it could not be
  // uploaded (the texture then holds no usable picture).
  bool ReplaceTexture(TextureId texture, const image::Image& picture);
  // The same with the levels made already (on another thread): only the upload is left.
  bool ReplaceTexture(TextureId texture, const image::MippedPicture& picture);
  // The anisotropy photo textures are filtered with; 0 without the driver's extension.
  float maxAnisotropy() const { return maxAnisotropy_; }
  // Uploads a mesh once (into buffer objects where the driver has them); triangles with
  // indices outside their group's vertices are dropped.
  MeshId AddMesh(MeshData mesh);

  // The parts of the picture that each show the whole scene, relative to the window's
  // top-left (one per monitor); none: the whole picture is one view.
  void SetViewports(std::vector<PixelRect> viewports) { viewports_ = std::move(viewports); }
  const std::vector<PixelRect>& viewports() const { return viewports_; }
  // Directs the next draws to that part of the picture.
  void UseViewport(const PixelRect& viewport);

  // The lights of the next SetCamera and the draws after it: the white ambient light
  // alone (the default), or a dimmer one with a directional key light (its direction in
  // world space, taken where SetCamera places the view).
  void SetLighting(const engine::LightRig& rig) { rig_ = rig; }

  // Starts a picture. A window device first follows its window's client size.
  void Clear(ClearMode mode, uint32_t backgroundArgb);
  // view: world to camera space (left-handed, looking along +z); frustum: the extents
  // on the front plane and the two plane distances.
  void SetCamera(const Matrix4& view, const engine::FrustumPlane& frustum);
  void Draw(MeshId mesh, const Matrix4& world);
  // Shows the picture; false (and the device goes quiet) once the window is gone.
  bool Present();
  // Waits until every drawing call so far has finished (for timing).
  void Finish();
  // The current picture, rows from the top.
  image::Image ReadPixels();

 private:
  GlDevice() : target_(fn_) {}
  bool Init(std::unique_ptr<Presenter> presenter, int width, int height, std::string* error);
  bool FitTarget(int width, int height, std::string* error);
  bool Ready() const { return alive_ && context_.MakeCurrent(); }
  bool Upload(GLuint texture, const image::Image& picture);
  bool Upload(GLuint texture, const image::Image& picture, const std::vector<image::Image>& levels);
  // GL_EXT_texture_filter_anisotropic's names.
  static constexpr GLenum kTextureMaxAnisotropy = 0x84FE, kMaxTextureMaxAnisotropy = 0x84FF;

  // One mesh on the device: all groups' vertices in one array, each group a range of
  // one index array.
  struct DeviceGroup {
    TextureId texture = 0;
    Rgba colour;
    std::size_t firstIndex = 0;
    GLsizei indexCount = 0;
  };
  struct DeviceMesh {
    GLuint vertexBuffer = 0, indexBuffer = 0;  // 0: drawn from the arrays below
    std::vector<float> vertices;               // u, v, nx, ny, nz, x, y, z per vertex
    std::vector<uint32_t> indices;
    std::vector<DeviceGroup> groups;
  };

  FramebufferFunctions fn_;
  BufferFunctions buffers_;
  std::unique_ptr<Presenter> presenter_;
  GlContext context_;
  RenderTarget target_;
  Matrix4 eyeFromWorld_;
  std::vector<GLuint> textures_;
  std::vector<DeviceMesh> meshes_;  // MeshId n is meshes_[n - 1]
  TextureId white_ = 0;  // what untextured groups sample
  engine::LightRig rig_;
  std::vector<PixelRect> viewports_;
  bool alive_ = false;
  float maxAnisotropy_ = 0;
};

}  // namespace prismora::gl
