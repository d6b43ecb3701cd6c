#include "tools/scenegen/templates.h"

#include <cmath>
#include <numbers>

#include "engine/xfile/writer.h"
#include "tools/scenegen/mesh_builder.h"

namespace prismora::scenegen {

using engine::Matrix4;
using engine::Quaternion;
using namespace engine::xfile;

namespace {

constexpr float kTau = 2 * std::numbers::pi_v<float>;
// Every template's animation runs over times 0..480, drawn up to 479 before the clock
// wraps; keys at 0 and 480 are equal so the loop has no seam.
constexpr uint32_t kLoop = 480;

// ---- document pieces ---------------------------------------------------------------

std::string materialName(int i) { return "x3ds_mat_x" + std::to_string(i) + "_-_Default"; }

// White, so the ambient light shows each photo in its own colours; every material names
// a texture, so the runtime puts a photo on every face.
void addPhotoMaterials(XDocument& doc, int count) {
  for (int i = 1; i <= count; ++i) {
    XMaterial m;
    m.name = materialName(i);
    m.faceColor = {1, 1, 1, 1};
    m.power = 17;
    m.textureFile = "photo" + std::to_string(i) + ".bmp";
    doc.materials.push_back(m);
  }
}

std::array<float, 16> toArray(const Matrix4& m) {
  std::array<float, 16> a;
  for (int i = 0; i < 16; ++i) a[i] = m.m[i / 4][i % 4];
  return a;
}

XFrame frameAt(const std::string& name, const Vec3& position) {
  XFrame f;
  f.name = name;
  f.transform = toArray(Matrix4::translation(position));
  return f;
}

XTimedValues key(uint32_t time, const Vec3& v) { return {time, {v.x, v.y, v.z}}; }
XTimedValues key(uint32_t time, const Quaternion& q) { return {time, {q.w, q.x, q.y, q.z}}; }

// An animation of `frame` whose position follows `path(t)`, sampled every `step` units.
template <typename Path>
XAnimation pathAnimation(const std::string& frame, uint32_t step, Path path) {
  XAnimation a;
  a.name = "anim_" + frame;
  a.frameName = frame;
  XAnimationKey k;
  k.type = KeyType::Position;
  for (uint32_t t = 0; t <= kLoop; t += step) k.keys.push_back(key(t, path(static_cast<float>(t))));
  a.keys.push_back(k);
  a.hasOptions = true;
  a.openClosed = 1;  // open: the runtime's clock does the looping
  a.positionQuality = 1;
  return a;
}

// Orientation looking from `from` towards `to` with `up` as the up side, as a rotation key.
Quaternion lookRotation(const Vec3& from, const Vec3& to, const Vec3& up) {
  Vec3 d = engine::normalize(to - from);
  Vec3 u = engine::normalize(up - d * engine::dot(up, d));
  Matrix4 m;
  m.setRow(0, engine::cross(u, d));
  m.setRow(1, u);
  m.setRow(2, d);
  return engine::rotationOf(m);
}

trailer::TemplateBlockFields block(Vec3 position, Vec3 direction, Vec3 up, uint32_t background) {
  trailer::TemplateBlockFields b;
  b.animEnd = kLoop - 1;
  b.animLoopStart = 0;
  b.speed = 50;
  b.cameraPosition = {position.x, position.y, position.z};
  Vec3 d = engine::normalize(direction);
  Vec3 u = engine::normalize(up - d * engine::dot(up, d));
  b.cameraDirection = {d.x, d.y, d.z};
  b.cameraUp = {u.x, u.y, u.z};
  b.speedMax = 90;
  b.speedMin = 10;
  b.eraseFlag = true;
  b.backgroundColor = background;
  return b;
}

std::string twoDigits(int i) { return (i < 10 ? "0" : "") + std::to_string(i); }

// ---- shapes ------------------------------------------------------------------------

// A cube of half size h centred on the frame's origin, faces from the material pool.
XMesh cubeMesh(const std::string& name, float h, int firstMaterial, int poolSize) {
  MeshBuilder b(name);
  uint32_t m[6];
  for (int f = 0; f < 6; ++f) m[f] = b.material(materialName(1 + (firstMaterial + f) % poolSize));
  b.box({0, 0, 0}, {h, h, h}, m);
  return b.take();
}

// Eight three-sided spikes on the faces of an octahedron: an eight-pointed star.
XMesh octaStarMesh(const std::string& name, float radius, int firstMaterial, int poolSize) {
  MeshBuilder b(name);
  const float core = radius * 0.45f;
  for (int sx = -1; sx <= 1; sx += 2)
    for (int sy = -1; sy <= 1; sy += 2)
      for (int sz = -1; sz <= 1; sz += 2) {
        int spike = (sx + 1) * 2 + (sy + 1) + (sz + 1) / 2;
        uint32_t mat = b.material(materialName(1 + (firstMaterial + spike) % poolSize));
        Vec3 v[3] = {{sx * core, 0, 0}, {0, sy * core, 0}, {0, 0, sz * core}};
        Vec3 apex = engine::normalize(Vec3{float(sx), float(sy), float(sz)}) * radius;
        int chart = b.newChart();
        // The photo's top at the spike's tip, its lower corners on the base.
        for (int e = 0; e < 3; ++e) {
          uint32_t a = b.vertex(v[e], {0.5f * e, 1}, chart);
          uint32_t c = b.vertex(v[(e + 1) % 3], {0.5f * (e + 1), 1}, chart);
          uint32_t t = b.vertex(apex, {0.5f * e + 0.25f, 0}, chart);
          b.triangle(a, c, t, mat);
        }
      }
  return b.take();
}

// An eight-sided column standing on y = 0 with a square base and capital; the photo
// wraps once round the shaft.
void column(MeshBuilder& b, const Vec3& foot, float radius, float height, uint32_t mat) {
  b.setCentre(foot + Vec3{0, height / 2, 0});
  int chart = b.newChart();
  for (int s = 0; s < 8; ++s) {
    float a0 = kTau * s / 8, a1 = kTau * (s + 1) / 8;
    Vec3 p0 = foot + Vec3{radius * std::sin(a0), 0, -radius * std::cos(a0)};
    Vec3 p1 = foot + Vec3{radius * std::sin(a1), 0, -radius * std::cos(a1)};
    Vec3 up{0, height, 0};
    b.quadUV({p0 + up, p1 + up, p1, p0},
             {Vec2{s / 8.0f, 0}, Vec2{(s + 1) / 8.0f, 0}, Vec2{(s + 1) / 8.0f, 1}, Vec2{s / 8.0f, 1}},
             mat, chart);
  }
  const uint32_t m6[6] = {mat, mat, mat, mat, mat, mat};
  float slab = radius * 0.5f, wide = radius * 1.5f;
  b.box(foot + Vec3{0, slab, 0}, {wide, slab, wide}, m6);
  b.box(foot + Vec3{0, height - slab, 0}, {wide * 1.1f, slab, wide * 1.1f}, m6);
}

// A square tile of half size h, two photos back to back, with thin edges.
XMesh tileMesh(const std::string& name, float h, int frontMaterial, int backMaterial) {
  MeshBuilder b(name);
  uint32_t f = b.material(materialName(frontMaterial)), k = b.material(materialName(backMaterial));
  const uint32_t m[6] = {f, f, k, f, f, f};
  b.box({0, 0, 0}, {h, h, h * 0.04f}, m);
  return b.take();
}

// ---- the templates ------------------------------------------------------------------

// 0: a 4 x 4 wall of cubes rippling in a wave; every cube spins now and then and some
// break away and drift through the space in front of the camera.
TemplateScene sixteenCubes() {
  TemplateScene s{"16 cubes", {}, {}};
  constexpr int kPool = 24;
  addPhotoMaterials(s.document, kPool);
  XAnimationSet set{"animset_cubes", {}};
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      int i = row * 4 + col;
      bool drifts = (row + col) % 3 == 0;
      std::string name = std::string(drifts ? "x3ds_ff___" : "x3ds_f____") + "cube" + twoDigits(i);
      Vec3 home{-105.0f + 70 * col, 15.0f + 70 * row, 0};
      XFrame f = frameAt(name, home);
      f.meshes.push_back(cubeMesh("cube" + twoDigits(i), 25, i * 5, kPool));
      s.document.frames.push_back(f);
      float phase = 0.7f * (row + col);
      set.animations.push_back(pathAnimation(name, 10, [=](float t) {
        return home + Vec3{0, 0, 35 * std::sin(kTau * t / 240 + phase)};
      }));
    }
  s.document.animationSets.push_back(set);
  s.block = block({0, 120, -520}, {0, 0, 1}, {0, 1, 0}, 0x00301008);
  return s;
}

// 1: big slowly turning cubes round a hub; the camera circles them on a rig, always
// looking at the hub, and passes the outer cubes close by.
TemplateScene bigCubes() {
  TemplateScene s{"big cubes", {}, {}};
  constexpr int kPool = 18;
  addPhotoMaterials(s.document, kPool);
  XFrame hub = frameAt("x3ds_f___t_hub", {0, 60, 0});  // spins; carries the look-at target
  hub.meshes.push_back(cubeMesh("hub", 80, 0, kPool));
  s.document.frames.push_back(hub);
  for (int i = 0; i < 6; ++i) {
    float a = kTau * i / 6;
    Vec3 at{330 * std::sin(a), i % 2 ? 170.0f : 10.0f, -330 * std::cos(a)};
    XFrame f = frameAt("x3ds_f_____big" + std::to_string(i), at);
    f.meshes.push_back(cubeMesh("big" + std::to_string(i), 55.0f + 6 * i, 6 + i * 2, kPool));
    s.document.frames.push_back(f);
  }
  auto flight = [](float t) {
    float a = kTau * t / kLoop;
    float r = 700 * (1 + 0.15f * std::sin(2 * a));
    return Vec3{r * std::sin(a), 150 + 120 * std::sin(2 * a), -r * std::cos(a)};
  };
  s.document.frames.push_back(frameAt("x3ds___v___flyer", flight(0)));
  XAnimationSet set{"animset_big", {pathAnimation("x3ds___v___flyer", 5, flight)}};
  s.document.animationSets.push_back(set);
  Vec3 eye = flight(0);
  s.block = block(eye, Vec3{0, 60, 0} - eye, {0, 1, 0}, 0x00000000);
  return s;
}

// 2: an eight-pointed star turning in the middle with eight small stars circling it
// on a tilted orbit; drawn with trails.
TemplateScene octaStar() {
  TemplateScene s{"octa star", {}, {}};
  constexpr int kPool = 16;
  addPhotoMaterials(s.document, kPool);
  XFrame star = frameAt("x3ds_f_____star", {0, 0, 0});
  star.meshes.push_back(octaStarMesh("star", 150, 0, kPool));
  s.document.frames.push_back(star);
  XAnimationSet set{"animset_star", {}};
  // The big star also turns once per loop about the vertical, whatever its spin does.
  XAnimation turn;
  turn.name = "anim_star";
  turn.frameName = "x3ds_f_____star";
  XAnimationKey rot{KeyType::Rotation, {}};
  for (uint32_t t = 0; t <= kLoop; t += 10)
    rot.keys.push_back(key(t, Quaternion::fromAxisAngle({0, 1, 0}, kTau * t / kLoop)));
  turn.keys.push_back(rot);
  set.animations.push_back(turn);
  for (int i = 0; i < 8; ++i) {
    std::string name = "x3ds_f_____moon" + std::to_string(i);
    auto orbit = [i](float t) {
      float a = kTau * (t / kLoop * 2 + i / 8.0f);
      Vec3 flat{270 * std::cos(a), 0, 270 * std::sin(a)};
      // Tilted 25 degrees about x so the moons pass in front of and behind the star.
      float c = std::cos(0.44f), sn = std::sin(0.44f);
      return Vec3{flat.x, flat.z * sn, flat.z * c};
    };
    XFrame f = frameAt(name, orbit(0));
    f.meshes.push_back(octaStarMesh("moon" + std::to_string(i), 45, 8 + i, kPool));
    s.document.frames.push_back(f);
    set.animations.push_back(pathAnimation(name, 5, orbit));
  }
  s.document.animationSets.push_back(set);
  s.block = block({0, 80, -720}, {0, -80, 720}, {0, 1, 0}, 0x00200818);
  s.block.trailsFlag = true;
  s.block.trailCount = 2;
  return s;
}

// 3: a ring of twelve columns on a round floor with a turning cube in its middle; the
// camera weaves in and out between the columns, always facing the cube.
TemplateScene colonnade() {
  TemplateScene s{"colonnade", {}, {}};
  constexpr int kColumns = 12;
  addPhotoMaterials(s.document, kColumns + 1 + 6);
  XFrame ring = frameAt("x3ds_______colonnade", {0, 0, 0});
  MeshBuilder b("colonnade");
  for (int i = 0; i < kColumns; ++i) {
    float a = kTau * (i + 0.5f) / kColumns;  // the gaps sit at whole multiples of 30 degrees
    column(b, {320 * std::sin(a), 0, -320 * std::cos(a)}, 16, 240, b.material(materialName(1 + i)));
  }
  // The floor: a twelve-sided disc seen from above, one photo spread across it.
  uint32_t floorMat = b.material(materialName(kColumns + 1));
  b.setCentre({0, -1000, 0});  // faces up, away from a point far below
  int chart = b.newChart();
  constexpr float kFloor = 460;
  uint32_t mid = b.vertex({0, 0, 0}, {0.5f, 0.5f}, chart);
  for (int i = 0; i < 12; ++i) {
    auto rim = [&](int k) {
      float a = kTau * k / 12;
      Vec3 p{kFloor * std::sin(a), 0, -kFloor * std::cos(a)};
      return b.vertex(p, {0.5f + p.x / (2 * kFloor), 0.5f + p.z / (2 * kFloor)}, chart);
    };
    b.triangle(mid, rim(i), rim(i + 1), floorMat);
  }
  ring.meshes.push_back(b.take());
  s.document.frames.push_back(ring);

  XFrame cube = frameAt("x3ds_fr_rot_cub", {0, 120, 0});  // spins; the look-at target's parent
  cube.meshes.push_back(cubeMesh("rot_cub", 32, kColumns + 1, kColumns + 1 + 6));
  s.document.frames.push_back(cube);

  auto glide = [](float t) {
    float a = kTau * t / kLoop;
    float r = 330 + 120 * std::sin(6 * a);
    return Vec3{r * std::sin(a), 110 + 25 * std::sin(2 * a), -r * std::cos(a)};
  };
  s.document.frames.push_back(frameAt("x3ds___v___glider", glide(0)));
  s.document.animationSets.push_back({"animset_colonnade", {pathAnimation("x3ds___v___glider", 2, glide)}});
  Vec3 eye = glide(0);
  s.block = block(eye, Vec3{0, 120, 0} - eye, {0, 1, 0}, 0x00402010);
  return s;
}

// 4: the scene of the shipped runtime file: a beveled five-pointed star of 80 faces in
// ten photos at the origin, and a small box that carries the camera round it.
TemplateScene shippedStar() {
  TemplateScene s{"Template 5", {}, {}};
  addPhotoMaterials(s.document, 12);

  // The star stands in the y-z plane (z is up in this scene), faces towards +x and -x.
  MeshBuilder b("x3ds_mesh_star");
  b.setCentre({0, 0, 0});
  auto outline = [](int k, float scale, float depth) {
    k %= 10;
    float r = (k % 2 == 0 ? 20.0f : 8.5f) * scale;
    float a = kTau / 4 - k * kTau / 10;
    return Vec3{depth, r * std::cos(a), r * std::sin(a)};
  };
  const int frontChart = b.newChart(), backCentreChart = b.newChart();
  auto frontUV = [](const Vec3& p) { return Vec2{0.5f + p.y / 40, 0.5f - p.z / 40}; };
  const Vec3 frontCentre{7.2f, 0, 0}, backCentre{-7.2f, 0, 0};
  for (int i = 0; i < 10; ++i) {
    uint32_t mat = b.material(materialName(1 + i));
    Vec3 fi0 = outline(i, 0.62f, 5.2f), fi1 = outline(i + 1, 0.62f, 5.2f);
    Vec3 fo0 = outline(i, 1, 2), fo1 = outline(i + 1, 1, 2);
    Vec3 bo0 = outline(i, 1, -2), bo1 = outline(i + 1, 1, -2);
    Vec3 bi0 = outline(i, 0.62f, -5.2f), bi1 = outline(i + 1, 0.62f, -5.2f);
    // Front cap: one projection shared by all sectors.
    b.triangle(b.vertex(frontCentre, frontUV(frontCentre), frontChart),
               b.vertex(fi0, frontUV(fi0), frontChart), b.vertex(fi1, frontUV(fi1), frontChart), mat);
    // Front bevel and side: a whole photo each.
    b.quadUV({fi0, fi1, fo1, fo0}, {Vec2{0, 0}, Vec2{1, 0}, Vec2{1, 1}, Vec2{0, 1}}, mat, b.newChart());
    b.quadUV({fo0, fo1, bo1, bo0}, {Vec2{0, 0}, Vec2{1, 0}, Vec2{1, 1}, Vec2{0, 1}}, mat, b.newChart());
    // Back bevel and back cap: one photo, its top on the rim, its bottom at the centre.
    int back = b.newChart();
    b.quadUV({bo0, bo1, bi1, bi0}, {Vec2{0, 0}, Vec2{1, 0}, Vec2{1, 0.7f}, Vec2{0, 0.7f}}, mat, back);
    b.triangle(b.vertex(bi0, {0, 0.7f}, back), b.vertex(bi1, {1, 0.7f}, back),
               b.vertex(backCentre, {0.5f, 1}, backCentreChart), mat);
  }
  XFrame solid;
  solid.name = "x3ds____t___";  // "t" at 8: the camera keeps turning to the origin
  solid.transform = toArray(Matrix4{});
  solid.meshes.push_back(b.take());
  s.document.frames.push_back(solid);

  // The camera's flight: once round the star per loop, dipping below and rising above
  // it twice; the box's axes are the camera's (z towards the star, y towards +z).
  const Vec3 start{77.895f, 1.34228f, -41.1065f};
  const float radius = std::hypot(start.x, start.y), angle0 = std::atan2(start.y, start.x);
  auto flight = [&](float t) {
    float a = angle0 + kTau * t / kLoop;
    return Vec3{radius * std::cos(a), radius * std::sin(a), start.z * std::cos(2 * kTau * t / kLoop)};
  };
  auto facing = [&](float t) { return lookRotation(flight(t), {0, 0, 0}, {0, 0, 1}); };

  MeshBuilder box("x3ds_mesh_camera_box");
  uint32_t m11 = box.material(materialName(11)), m12 = box.material(materialName(12));
  const uint32_t boxMats[6] = {m11, m12, m11, m12, m11, m12};
  box.box({0, 0, 0}, {6, 6, 6}, boxMats);
  XFrame rig;
  rig.name = "x3ds___v_____";  // "v" at 7: the camera rides on this frame
  Matrix4 pose = Matrix4::rotation(facing(0));
  pose.setRow(3, flight(0));
  rig.transform = toArray(pose);
  rig.meshes.push_back(box.take());
  s.document.frames.push_back(rig);

  XAnimation still{"x3ds_anim_0", "x3ds____t___", {}, false, 0, 1};
  still.keys.push_back({KeyType::Rotation, {key(0, Quaternion{})}});
  still.keys.push_back({KeyType::Position, {key(0, Vec3{0, 0, 0})}});
  XAnimation fly{"x3ds_anim_1", "x3ds___v_____", {}, false, 0, 1};
  XAnimationKey rot{KeyType::Rotation, {}}, scale{KeyType::Scale, {key(0, Vec3{1, 1, 1})}},
      pos{KeyType::Position, {}};
  for (uint32_t t = 0; t <= kLoop; ++t) {
    rot.keys.push_back(key(t, facing(static_cast<float>(t))));
    pos.keys.push_back(key(t, flight(static_cast<float>(t))));
  }
  fly.keys = {rot, scale, pos};
  s.document.animationSets.push_back({"x3ds_animset_0", {still, fly}});

  // The shipped template block, value for value.
  trailer::TemplateBlockFields& k = s.block;
  k.animEnd = 479;
  k.animLoopStart = 0;
  k.speed = 50;
  k.cameraPosition = {77.895f, 1.34228f, -41.1065f};
  k.cameraDirection = {-0.883919f, 0.0630946f, 0.463365f};
  k.cameraUp = {0.457236f, -0.09125f, 0.884652f};
  k.speedMax = 90;
  k.speedMin = 10;
  k.lightFlag = false;
  k.eraseFlag = true;
  k.trailsFlag = false;
  k.trailCount = 0;
  k.backgroundColor = 0x00000000;
  return s;
}

// 5: photo tiles gliding and tumbling through space without erasing the background, so
// every tile paints smears of its photos over the picture: the screen slowly fills
// with a changing collage.
TemplateScene paintingTiles() {
  TemplateScene s{"Template 6", {}, {}};
  constexpr int kTiles = 12;
  addPhotoMaterials(s.document, 2 * kTiles);
  XAnimationSet set{"animset_tiles", {}};
  for (int i = 0; i < kTiles; ++i) {
    std::string name = "x3ds_ff___tile" + twoDigits(i);  // spins and drifts
    int fx = 1 + i % 3, fy = 1 + (i / 3) % 2, fz = 1 + (i + 1) % 2;
    float phase = kTau * i / kTiles;
    auto path = [=](float t) {
      float a = kTau * t / kLoop;
      return Vec3{180 * std::sin(fx * a + phase), 120 + 100 * std::sin(fy * a + 2 * phase),
                  120 * std::sin(fz * a + 3 * phase)};
    };
    XFrame f = frameAt(name, path(0));
    f.meshes.push_back(tileMesh("tile" + twoDigits(i), 38, 1 + 2 * i, 2 + 2 * i));
    s.document.frames.push_back(f);
    set.animations.push_back(pathAnimation(name, 10, path));
  }
  s.document.animationSets.push_back(set);
  s.block = block({0, 120, -600}, {0, 0, 1}, {0, 1, 0}, 0x00000000);
  s.block.eraseFlag = false;
  return s;
}

}  // namespace

TemplateScene buildTemplate(int index) {
  switch (index) {
    case 0: return sixteenCubes();
    case 1: return bigCubes();
    case 2: return octaStar();
    case 3: return colonnade();
    case 4: return shippedStar();
    default: return paintingTiles();
  }
}

std::string sceneFileName(int index) { return "scene" + std::to_string(index) + ".x"; }
std::string templateBlockFileName(int index) { return "template" + std::to_string(index) + ".block"; }

std::vector<uint8_t> sceneBytes(const TemplateScene& scene) { return writeBinaryXFile(scene.document); }

std::vector<uint8_t> templateBlockBytes(const TemplateScene& scene) {
  trailer::TemplateBlock b = trailer::makeTemplateBlock(scene.block);
  return {b.begin(), b.end()};
}

}  // namespace prismora::scenegen
