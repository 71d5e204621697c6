#include "scene3d/math3d.h"

namespace kestrel::scene3d {

Mat4 operator*(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float s = 0;
      for (int k = 0; k < 4; ++k) s += a.m[i][k] * b.m[k][j];
      r.m[i][j] = s;
    }
  return r;
}

Mat4 Mat4::rotation(Vec3 axis, float theta) {
  Vec3 a = normalize(axis);
  Mat4 r;
  if (dot(a, a) == 0) return r;
  float c = std::cos(theta), s = std::sin(theta), t = 1 - c;
  // Row-vector form of the axis-angle rotation, turning y towards z about x.
  r.m[0][0] = t * a.x * a.x + c;
  r.m[0][1] = t * a.x * a.y + s * a.z;
  r.m[0][2] = t * a.x * a.z - s * a.y;
  r.m[1][0] = t * a.x * a.y - s * a.z;
  r.m[1][1] = t * a.y * a.y + c;
  r.m[1][2] = t * a.y * a.z + s * a.x;
  r.m[2][0] = t * a.x * a.z + s * a.y;
  r.m[2][1] = t * a.y * a.z - s * a.x;
  r.m[2][2] = t * a.z * a.z + c;
  return r;
}

Mat4 Mat4::inverse() const {
  // Inverse of the 3x3 part by cofactors, then the translation.
  const auto& a = m;
  float c00 = a[1][1] * a[2][2] - a[1][2] * a[2][1];
  float c01 = a[1][2] * a[2][0] - a[1][0] * a[2][2];
  float c02 = a[1][0] * a[2][1] - a[1][1] * a[2][0];
  float det = a[0][0] * c00 + a[0][1] * c01 + a[0][2] * c02;
  Mat4 r;
  if (det == 0 || !std::isfinite(det)) return r;
  float id = 1 / det;
  r.m[0][0] = c00 * id;
  r.m[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) * id;
  r.m[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) * id;
  r.m[1][0] = c01 * id;
  r.m[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) * id;
  r.m[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) * id;
  r.m[2][0] = c02 * id;
  r.m[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) * id;
  r.m[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) * id;
  Vec3 t = r.transformDirection(row(3));
  r.setRow(3, -t);
  return r;
}

Vec3 Mat4::transformNormal(Vec3 n) const {
  Mat4 inv = inverse();
  // Multiplying by the transpose of the inverse: dot with its rows.
  return normalize({dot(n, inv.row(0)), dot(n, inv.row(1)), dot(n, inv.row(2))});
}

}  // namespace kestrel::scene3d
