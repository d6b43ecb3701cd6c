#include "engine/scene/math.h"

#include <algorithm>

namespace prismora::engine {

Vec3 normalize(const Vec3& v) {
  float len = length(v);
  if (!(len > 0) || !std::isfinite(len)) return {};
  return v * (1.0f / len);
}

Quaternion Quaternion::fromAxisAngle(const Vec3& axis, float angle) {
  Vec3 a = normalize(axis);
  if (a == Vec3{}) return {};
  float s = std::sin(angle * 0.5f);
  return {std::cos(angle * 0.5f), a.x * s, a.y * s, a.z * s};
}

Quaternion normalize(const Quaternion& q) {
  float len = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
  if (!(len > 0) || !std::isfinite(len)) return {};
  float inv = 1.0f / len;
  return {q.w * inv, q.x * inv, q.y * inv, q.z * inv};
}

Quaternion slerp(const Quaternion& a, const Quaternion& bIn, float t) {
  Quaternion b = bIn;
  float c = a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
  if (c < 0) {  // the shorter arc: q and -q are the same rotation
    c = -c;
    b = {-b.w, -b.x, -b.y, -b.z};
  }
  float wa, wb;
  if (c > 0.9995f) {  // nearly equal: linear blend avoids dividing by sin(~0)
    wa = 1 - t;
    wb = t;
  } else {
    float angle = std::acos(std::min(c, 1.0f));
    float s = std::sin(angle);
    wa = std::sin((1 - t) * angle) / s;
    wb = std::sin(t * angle) / s;
  }
  return normalize(Quaternion{wa * a.w + wb * b.w, wa * a.x + wb * b.x, wa * a.y + wb * b.y,
                              wa * a.z + wb * b.z});
}

Matrix4 Matrix4::translation(const Vec3& t) {
  Matrix4 r;
  r.setRow(3, t);
  return r;
}

Matrix4 Matrix4::scaling(const Vec3& s) {
  Matrix4 r;
  r.m[0][0] = s.x;
  r.m[1][1] = s.y;
  r.m[2][2] = s.z;
  return r;
}

// Row-vector form of the quaternion rotation (the transpose of the column-vector
// textbook matrix), the form .x rotation keys are meant for.
Matrix4 Matrix4::rotation(const Quaternion& qIn) {
  Quaternion q = normalize(qIn);
  float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
  float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
  float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
  Matrix4 r;
  r.m[0][0] = 1 - 2 * (yy + zz);
  r.m[0][1] = 2 * (xy + wz);
  r.m[0][2] = 2 * (xz - wy);
  r.m[1][0] = 2 * (xy - wz);
  r.m[1][1] = 1 - 2 * (xx + zz);
  r.m[1][2] = 2 * (yz + wx);
  r.m[2][0] = 2 * (xz + wy);
  r.m[2][1] = 2 * (yz - wx);
  r.m[2][2] = 1 - 2 * (xx + yy);
  return r;
}

Matrix4 Matrix4::rotationAxis(const Vec3& axis, float angle) {
  return rotation(Quaternion::fromAxisAngle(axis, angle));
}

Matrix4 Matrix4::fromArray(const float values[16]) {
  Matrix4 r;
  for (int i = 0; i < 16; ++i) r.m[i / 4][i % 4] = values[i];
  return r;
}

Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
  Matrix4 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                  a.m[i][3] * b.m[3][j];
  return r;
}

Vec3 transformPoint(const Vec3& p, const Matrix4& m) {
  return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
          p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
          p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

Vec3 transformVector(const Vec3& v, const Matrix4& m) {
  return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
          v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
          v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

Matrix4 inverseAffine(const Matrix4& m) {
  // Inverse of the upper 3x3 by cofactors, then the translation carried through it.
  const auto& a = m.m;
  float c00 = a[1][1] * a[2][2] - a[1][2] * a[2][1];
  float c01 = a[1][2] * a[2][0] - a[1][0] * a[2][2];
  float c02 = a[1][0] * a[2][1] - a[1][1] * a[2][0];
  float det = a[0][0] * c00 + a[0][1] * c01 + a[0][2] * c02;
  if (!(std::fabs(det) > 1e-20f) || !std::isfinite(det)) return {};
  float inv = 1.0f / det;
  Matrix4 r;
  r.m[0][0] = c00 * inv;
  r.m[1][0] = c01 * inv;
  r.m[2][0] = c02 * inv;
  r.m[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) * inv;
  r.m[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) * inv;
  r.m[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) * inv;
  r.m[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) * inv;
  r.m[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) * inv;
  r.m[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) * inv;
  Vec3 t = transformVector(m.translationPart(), r);
  r.setRow(3, -t);
  return r;
}

Vec3 scaleOf(const Matrix4& m) { return {length(m.row(0)), length(m.row(1)), length(m.row(2))}; }

Quaternion rotationOf(const Matrix4& mIn) {
  Vec3 s = scaleOf(mIn);
  Matrix4 m;
  m.setRow(0, s.x > 0 ? mIn.row(0) * (1 / s.x) : Vec3{1, 0, 0});
  m.setRow(1, s.y > 0 ? mIn.row(1) * (1 / s.y) : Vec3{0, 1, 0});
  m.setRow(2, s.z > 0 ? mIn.row(2) * (1 / s.z) : Vec3{0, 0, 1});
  // Inverse of Matrix4::rotation: that matrix is the transpose of the column form.
  const auto& a = m.m;
  float trace = a[0][0] + a[1][1] + a[2][2];
  Quaternion q;
  if (trace > 0) {
    float k = std::sqrt(trace + 1.0f) * 2;
    q = {0.25f * k, (a[1][2] - a[2][1]) / k, (a[2][0] - a[0][2]) / k, (a[0][1] - a[1][0]) / k};
  } else if (a[0][0] > a[1][1] && a[0][0] > a[2][2]) {
    float k = std::sqrt(1.0f + a[0][0] - a[1][1] - a[2][2]) * 2;
    q = {(a[1][2] - a[2][1]) / k, 0.25f * k, (a[0][1] + a[1][0]) / k, (a[2][0] + a[0][2]) / k};
  } else if (a[1][1] > a[2][2]) {
    float k = std::sqrt(1.0f + a[1][1] - a[0][0] - a[2][2]) * 2;
    q = {(a[2][0] - a[0][2]) / k, (a[0][1] + a[1][0]) / k, 0.25f * k, (a[1][2] + a[2][1]) / k};
  } else {
    float k = std::sqrt(1.0f + a[2][2] - a[0][0] - a[1][1]) * 2;
    q = {(a[0][1] - a[1][0]) / k, (a[2][0] + a[0][2]) / k, (a[1][2] + a[2][1]) / k, 0.25f * k};
  }
  return normalize(q);
}

}  // namespace prismora::engine
