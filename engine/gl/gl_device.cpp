#include "engine/gl/gl_device.h"

#include <algorithm>

#include "engine/gl/mipmaps.h"

namespace prismora::gl {

std::unique_ptr<GlDevice> GlDevice::ForWindow(HWND window, std::string* error) {
  const WindowFacts facts = DescribeWindow(window);
  if (!facts.exists) {
    if (error) *error = "no window to draw into";
    return nullptr;
  }
  std::unique_ptr<GlDevice> d(new GlDevice());
  auto presenter = MakePresenter(ChoosePresenter(facts), window, d->fn_, error);
  if (!presenter) return nullptr;
  const SIZE size = presenter->windowSize();
  if (!d->Init(std::move(presenter), size.cx, size.cy, error)) return nullptr;
  return d;
}

std::unique_ptr<GlDevice> GlDevice::Offscreen(int width, int height, std::string* error) {
  std::unique_ptr<GlDevice> d(new GlDevice());
  auto presenter = MakePresenter(PresenterKind::Offscreen, nullptr, d->fn_, error);
  if (!presenter) return nullptr;
  if (!d->Init(std::move(presenter), width, height, error)) return nullptr;
  return d;
}

bool GlDevice::Init(std::unique_ptr<Presenter> presenter, int width, int height, std::string* error) {
  presenter_ = std::move(presenter);
  const DriverSwitches switches = ReadDriverSwitches();
  if (switches.refuseContext) {
    if (error) *error = "OpenGL contexts are switched off (PRISMORA_GL_NO_CONTEXT)";
    return false;
  }
  if (!context_.Create(presenter_->contextDc(), error)) return false;
  if (switches.hideFramebuffers || !fn_.Load()) {
    // OpenGL 1.1 as Windows ships it (remote desktop, virtual machines without a
    // driver): draw into the window's own back buffer.
    fn_ = FramebufferFunctions{};
    target_.UseWindowBuffer();
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
  }
  if (!FitTarget(width, height, error)) return false;
  target_.Bind();
  // Fixed state for the device's life: nothing below changes per frame.
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  // Faces are one-sided: clockwise seen from the front, as in .x files; the mirror of z
  // into OpenGL's eye space leaves the on-screen turning sense unchanged.
  glEnable(GL_CULL_FACE);
  glFrontFace(GL_CW);
  glCullFace(GL_BACK);
  glShadeModel(GL_SMOOTH);
  // One white ambient light: the lit colour is the material colour, so lighting stays off
  // unless a scene brings a key light (SetCamera switches it per picture). When on, the
  // material colour is the vertex colour for both ambient and diffuse light, and normals
  // are renormalised because the frames' matrices scale.
  glDisable(GL_LIGHTING);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_NORMALIZE);
  glEnable(GL_LIGHT0);
  glDisable(GL_DITHER);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  alive_ = true;
  buffers_.Load();
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!switches.hideAnisotropy && extensions && image::AnisotropyWorthIt(renderer ? renderer : "") &&
      image::HasExtension(extensions, "GL_EXT_texture_filter_anisotropic")) {
    GLfloat most = 1.0f;
    glGetFloatv(kMaxTextureMaxAnisotropy, &most);
    // Enough for floors and walls seen edge-on; more costs fill rate for little.
    maxAnisotropy_ = std::min(most, 8.0f);
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  image::Image white;
  white.width = white.height = 1;
  white.rgb = {255, 255, 255};
  white_ = AddTexture(white);
  glEnable(GL_TEXTURE_2D);
  SetCamera(Matrix4::identity(), engine::Camera{}.frustum(target_.width(), target_.height()));
  return true;
}

GlDevice::~GlDevice() {
  // Object names are per context: delete only in our own, or not at all.
  if (context_.MakeCurrent()) {
    for (const DeviceMesh& d : meshes_) {
      if (d.vertexBuffer) buffers_.deleteBuffers(1, &d.vertexBuffer);
      if (d.indexBuffer) buffers_.deleteBuffers(1, &d.indexBuffer);
    }
    if (!textures_.empty()) glDeleteTextures(GLsizei(textures_.size()), textures_.data());
    target_.Release();
  } else {
    target_.Abandon();
  }
}

bool GlDevice::FitTarget(int width, int height, std::string* error) {
  if (target_.usesWindowBuffer() && !presenter_->FitSurface({width, height}, context_)) {
    if (error) *error = "no window of " + std::to_string(width) + "x" + std::to_string(height) + " to draw into";
    return false;
  }
  return target_.Resize(width, height, error);
}

bool GlDevice::Resize(int width, int height) {
  if (!Ready()) return false;
  return FitTarget(width, height, nullptr);
}

bool GlDevice::Upload(GLuint tex, const image::Image& picture) {
  return Upload(tex, picture, image::MipLevels(picture));
}

bool GlDevice::Upload(GLuint tex, const image::Image& picture, const std::vector<image::Image>& levels) {
  if (picture.empty() || picture.rgb.size() < std::size_t(picture.width) * picture.height * 3) return false;
  GLint maxSide = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
  if (picture.width > maxSide || picture.height > maxSide) return false;
  // An error left by an earlier call must not count against this upload.
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
  glBindTexture(GL_TEXTURE_2D, tex);
  // Trilinear: a photo small on screen or seen at a slant samples a level of its own
  // size instead of skipping texels of the full one, so it does not shimmer as it turns.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  if (maxAnisotropy_ > 1.0f) glTexParameterf(GL_TEXTURE_2D, kTextureMaxAnisotropy, maxAnisotropy_);
  // Rows from the top go in first, so texture coordinate v = 0 is the picture's top edge.
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, picture.width, picture.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               picture.rgb.data());
  for (std::size_t i = 0; i < levels.size(); ++i)
    glTexImage2D(GL_TEXTURE_2D, GLint(i + 1), GL_RGB8, levels[i].width, levels[i].height, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, levels[i].rgb.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  return glGetError() == GL_NO_ERROR;
}

TextureId GlDevice::AddTexture(const image::Image& picture) {
  if (!Ready()) return 0;
  GLuint tex = 0;
  glGenTextures(1, &tex);
  if (!Upload(tex, picture)) {
    glDeleteTextures(1, &tex);
    return 0;
  }
  textures_.push_back(tex);
  return tex;
}

bool GlDevice::ReplaceTexture(TextureId texture, const image::Image& picture) {
  if (!Ready() || texture == 0 || std::find(textures_.begin(), textures_.end(), texture) == textures_.end())
    return false;
  return Upload(texture, picture);
}

bool GlDevice::ReplaceTexture(TextureId texture, const image::MippedPicture& picture) {
  if (!Ready() || texture == 0 || !picture.ok() ||
      std::find(textures_.begin(), textures_.end(), texture) == textures_.end())
    return false;
  return Upload(texture, picture.base, picture.levels);
}

MeshId GlDevice::AddMesh(MeshData mesh) {
  if (!Ready()) return 0;
  DeviceMesh d;
  for (MeshGroup& g : mesh.groups) {
    DropInvalidTriangles(g);
    if (g.indices.empty()) continue;
    const uint32_t base = uint32_t(d.vertices.size() / 8);
    for (const MeshVertex& v : g.vertices)
      d.vertices.insert(d.vertices.end(), {v.u, v.v, v.nx, v.ny, v.nz, v.x, v.y, v.z});
    DeviceGroup group;
    // A plain group samples a white texel: switching groups then changes only the bound
    // texture and colour, never whether texturing is on.
    group.texture = g.texture ? g.texture : white_;
    group.colour = g.colour;
    group.firstIndex = d.indices.size();
    group.indexCount = GLsizei(g.indices.size());
    for (uint32_t i : g.indices) d.indices.push_back(base + i);
    d.groups.push_back(group);
  }
  if (buffers_.genBuffers && !d.indices.empty()) {
    buffers_.genBuffers(1, &d.vertexBuffer);
    buffers_.genBuffers(1, &d.indexBuffer);
    buffers_.bindBuffer(GL_ARRAY_BUFFER, d.vertexBuffer);
    buffers_.bufferData(GL_ARRAY_BUFFER, GLsizeiptr(d.vertices.size() * sizeof(float)), d.vertices.data(),
                        GL_STATIC_DRAW);
    buffers_.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, d.indexBuffer);
    buffers_.bufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(d.indices.size() * sizeof(uint32_t)), d.indices.data(),
                        GL_STATIC_DRAW);
    buffers_.bindBuffer(GL_ARRAY_BUFFER, 0);
    buffers_.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    // The driver holds the data now.
    d.vertices = {};
    d.indices = {};
  }
  meshes_.push_back(std::move(d));
  return MeshId(meshes_.size());
}

void GlDevice::Clear(ClearMode mode, uint32_t backgroundArgb) {
  if (!Ready()) return;
  const SIZE size = presenter_->windowSize();
  if (size.cx > 0 && size.cy > 0 && (size.cx != target_.width() || size.cy != target_.height()))
    FitTarget(size.cx, size.cy, nullptr);
  target_.Bind();
  glDepthMask(GL_TRUE);
  if (mode == ClearMode::ColourAndDepth) {
    const Rgba c = FromArgb(backgroundArgb);
    glClearColor(c.r, c.g, c.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  } else {
    glClear(GL_DEPTH_BUFFER_BIT);
  }
}

void GlDevice::UseViewport(const PixelRect& viewport) {
  if (!Ready()) return;
  const GlViewport v = ToGlViewport(viewport, target_.height());
  glViewport(v.x, v.y, v.width, v.height);
}

void GlDevice::SetCamera(const Matrix4& view, const engine::FrustumPlane& f) {
  if (!Ready()) return;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(f.left, f.right, f.bottom, f.top, f.front, f.back);
  glMatrixMode(GL_MODELVIEW);
  eyeFromWorld_ = GlEyeFromView(view);
  if (!rig_.hasKey()) {
    glDisable(GL_LIGHTING);
    return;
  }
  // A position with w = 0 is a direction towards the light, taken through the current
  // model-view matrix: given in world space under the camera's.
  glLoadMatrixf(&eyeFromWorld_.m[0][0]);
  const GLfloat towardLight[4] = {-rig_.keyDirection.x, -rig_.keyDirection.y, -rig_.keyDirection.z, 0.0f};
  const GLfloat key[4] = {rig_.key, rig_.key, rig_.key, 1.0f};
  const GLfloat none[4] = {0, 0, 0, 1};
  const GLfloat ambient[4] = {rig_.ambient, rig_.ambient, rig_.ambient, 1.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, towardLight);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, key);
  glLightfv(GL_LIGHT0, GL_SPECULAR, none);
  glLightfv(GL_LIGHT0, GL_AMBIENT, none);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glEnable(GL_LIGHTING);
}

void GlDevice::Draw(MeshId mesh, const Matrix4& world) {
  if (!alive_ || mesh == 0 || mesh > meshes_.size()) return;
  const DeviceMesh& d = meshes_[mesh - 1];
  // Row-vector matrices laid out row by row are what glLoadMatrixf reads as the
  // column-vector form of the same transform.
  const Matrix4 modelView = world * eyeFromWorld_;
  glLoadMatrixf(&modelView.m[0][0]);
  const auto* vertices = reinterpret_cast<const uint8_t*>(d.vertices.data());
  const auto* indices = reinterpret_cast<const uint8_t*>(d.indices.data());
  if (d.vertexBuffer) {
    buffers_.bindBuffer(GL_ARRAY_BUFFER, d.vertexBuffer);
    buffers_.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, d.indexBuffer);
    vertices = indices = nullptr;  // offsets into the bound buffers
  }
  constexpr GLsizei kStride = 8 * sizeof(float);
  glTexCoordPointer(2, GL_FLOAT, kStride, vertices);
  glNormalPointer(GL_FLOAT, kStride, vertices + 2 * sizeof(float));
  glVertexPointer(3, GL_FLOAT, kStride, vertices + 5 * sizeof(float));
  for (const DeviceGroup& g : d.groups) {
    glBindTexture(GL_TEXTURE_2D, g.texture);
    glColor4f(g.colour.r, g.colour.g, g.colour.b, g.colour.a);
    const bool translucent = g.colour.a < 1.0f;
    if (translucent) glEnable(GL_BLEND);
    glDrawElements(GL_TRIANGLES, g.indexCount, GL_UNSIGNED_INT, indices + g.firstIndex * sizeof(uint32_t));
    if (translucent) glDisable(GL_BLEND);
  }
}

bool GlDevice::Present() {
  if (!Ready()) return false;
  if (!presenter_->Present(target_)) {
    alive_ = false;
    return false;
  }
  return true;
}

void GlDevice::Finish() {
  if (Ready()) glFinish();
}

image::Image GlDevice::ReadPixels() {
  image::Image img;
  if (!Ready()) return img;
  std::vector<uint8_t> bgra;
  target_.ReadBgra(bgra);
  img.width = target_.width();
  img.height = target_.height();
  img.rgb.resize(std::size_t(img.width) * img.height * 3);
  for (int y = 0; y < img.height; ++y) {
    const uint8_t* src = bgra.data() + std::size_t(img.height - 1 - y) * img.width * 4;
    uint8_t* dst = img.rgb.data() + std::size_t(y) * img.width * 3;
    for (int x = 0; x < img.width; ++x, src += 4, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return img;
}

}  // namespace prismora::gl
