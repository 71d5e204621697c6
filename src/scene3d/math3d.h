#pragma once
// Vectors, colours and affine matrices of the 3D engine. Coordinates are
// left-handed (x right, y up, z into the screen) and matrices act on row
// vectors: a point p in a frame's space is p * M in its parent's space.
#include <cmath>
#include <cstdint>

namespace kestrel::scene3d {

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(Vec3 a) { return std::sqrt(dot(a, a)); }
// The unit vector along a; the zero vector stays zero.
inline Vec3 normalize(Vec3 a) {
  float l = length(a);
  return l > 0 && std::isfinite(l) ? a * (1.0f / l) : Vec3{};
}
inline bool finite(Vec3 a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }

// A colour with components in 0..1.
struct Color {
  float r = 0, g = 0, b = 0, a = 1;
};

inline float clamp01(float v) { return v > 0 ? (v < 1 ? v : 1) : 0; }  // NaN gives 0

// Packs a colour as 0xAARRGGBB: each component clamped to 0..1 on its own,
// times 255 and truncated, so no component spills into its neighbour. The
// small allowance keeps n/255 (an unpacked byte) at n despite float rounding.
inline uint32_t packColor(Color c) {
  auto byte = [](float v) { return static_cast<uint32_t>(clamp01(v) * 255.0f + 1e-3f); };
  return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}
inline Color unpackColor(uint32_t argb) {
  return {((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f,
          (argb >> 24) / 255.0f};
}

struct Mat4 {
  float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

  static Mat4 identity() { return {}; }
  static Mat4 translation(Vec3 t) {
    Mat4 r;
    r.m[3][0] = t.x, r.m[3][1] = t.y, r.m[3][2] = t.z;
    return r;
  }
  static Mat4 scaling(Vec3 s) {
    Mat4 r;
    r.m[0][0] = s.x, r.m[1][1] = s.y, r.m[2][2] = s.z;
    return r;
  }
  // Rotation by theta radians about axis, clockwise when looking along the
  // axis (the left-handed sense).
  static Mat4 rotation(Vec3 axis, float theta);

  Vec3 row(int i) const { return {m[i][0], m[i][1], m[i][2]}; }
  void setRow(int i, Vec3 v) { m[i][0] = v.x, m[i][1] = v.y, m[i][2] = v.z; }
  Vec3 transformPoint(Vec3 p) const {
    return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
            p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
            p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
  }
  Vec3 transformDirection(Vec3 d) const {
    return {d.x * m[0][0] + d.y * m[1][0] + d.z * m[2][0], d.x * m[0][1] + d.y * m[1][1] + d.z * m[2][1],
            d.x * m[0][2] + d.y * m[1][2] + d.z * m[2][2]};
  }
  // Normals go through the inverse transpose, so scaling keeps them upright.
  Vec3 transformNormal(Vec3 n) const;
  Mat4 inverse() const;  // of the affine part; a singular matrix gives identity
};

Mat4 operator*(const Mat4& a, const Mat4& b);  // a first, then b

}  // namespace kestrel::scene3d
