#include "engine/gl/view_math.h"

namespace prismora::gl {

Matrix4 GlEyeFromView(const Matrix4& view) {
  return view * Matrix4::scaling({1, 1, -1});
}

Rgba FromArgb(uint32_t argb) {
  return {float((argb >> 16) & 0xFF) / 255.0f, float((argb >> 8) & 0xFF) / 255.0f, float(argb & 0xFF) / 255.0f,
          float((argb >> 24) & 0xFF) / 255.0f};
}

Rgba LitColour(const engine::ColorRGBA& face, const engine::Vec3& emissive) {
  auto clamp01 = [](float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; };
  return {clamp01(face.r + emissive.x), clamp01(face.g + emissive.y), clamp01(face.b + emissive.z),
          clamp01(face.a)};
}

}  // namespace prismora::gl
