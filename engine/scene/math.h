// Vectors, quaternions and 4x4 matrices in the .x files' own convention:
// left-handed coordinates (x right, y up, z into the screen) and ROW vectors,
// so a point is transformed as p' = p * M and transforms chain left to right
// (child-to-world = local * parentWorld). The translation sits in row 3.
#pragma once
#include <cmath>

namespace prismora::engine {

struct Vec2 {
  float x = 0, y = 0;
  friend bool operator==(const Vec2&, const Vec2&) = default;
};

struct Vec3 {
  float x = 0, y = 0, z = 0;

  Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  Vec3 operator-() const { return {-x, -y, -z}; }
  Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
  Vec3& operator+=(const Vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
  friend bool operator==(const Vec3&, const Vec3&) = default;
};

inline float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(const Vec3& v) { return std::sqrt(dot(v, v)); }
// Unit vector along v; the zero vector stays zero rather than becoming NaN.
Vec3 normalize(const Vec3& v);
inline Vec3 lerp(const Vec3& a, const Vec3& b, float t) { return a + (b - a) * t; }

// Rotation quaternion, stored (w, x, y, z) like the .x rotation keys.
struct Quaternion {
  float w = 1, x = 0, y = 0, z = 0;

  // Rotation by `angle` radians about `axis` (need not be unit length; a zero axis
  // gives the identity).
  static Quaternion fromAxisAngle(const Vec3& axis, float angle);
  friend bool operator==(const Quaternion&, const Quaternion&) = default;
};

Quaternion normalize(const Quaternion& q);
// Spherical interpolation along the shorter arc; t outside [0,1] is not clamped here.
Quaternion slerp(const Quaternion& a, const Quaternion& b, float t);

struct Matrix4 {
  // m[row][column]; rows 0..2 are the images of the x, y and z axes, row 3 the translation.
  float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

  static Matrix4 identity() { return {}; }
  static Matrix4 translation(const Vec3& t);
  static Matrix4 scaling(const Vec3& s);
  // Same rotation sense as the rotation keys of .x files.
  static Matrix4 rotation(const Quaternion& q);
  static Matrix4 rotationAxis(const Vec3& axis, float angle);
  // Rows taken from a .x FrameTransformMatrix (16 floats, row by row).
  static Matrix4 fromArray(const float values[16]);

  Vec3 row(int i) const { return {m[i][0], m[i][1], m[i][2]}; }
  void setRow(int i, const Vec3& v) { m[i][0] = v.x; m[i][1] = v.y; m[i][2] = v.z; }
  Vec3 translationPart() const { return row(3); }

  friend Matrix4 operator*(const Matrix4& a, const Matrix4& b);
  friend bool operator==(const Matrix4&, const Matrix4&) = default;
};

Vec3 transformPoint(const Vec3& p, const Matrix4& m);   // p * M with w = 1
Vec3 transformVector(const Vec3& v, const Matrix4& m);  // v * M with w = 0
// Inverse of a rigid or scaled affine matrix (last column 0,0,0,1); a singular
// matrix gives the identity.
Matrix4 inverseAffine(const Matrix4& m);
// Rotation part of an affine matrix without scale, as a quaternion.
Quaternion rotationOf(const Matrix4& m);
Vec3 scaleOf(const Matrix4& m);

}  // namespace prismora::engine
