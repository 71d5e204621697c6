#include "scene3d/wrap.h"

#include <numbers>

#include "scene3d/mesh.h"

namespace kestrel::scene3d {

void Wrap::coordinates(Vec3 p, Vec3 n, float& u, float& v) const {
  Vec3 d = normalize(direction), y = normalize(up);
  Vec3 x = normalize(cross(y, d));
  Vec3 q = p - origin;
  constexpr float twoPi = 2 * std::numbers::pi_v<float>;
  switch (type) {
    case WrapType::Flat:
      u = ou + su * dot(q, x);
      v = ov - sv * dot(q, y);  // v grows downwards in the image
      break;
    case WrapType::Cylinder:
      u = ou + su * (std::atan2(dot(q, x), dot(q, d)) / twoPi + 0.5f);
      v = ov - sv * dot(q, y);
      break;
    case WrapType::Sphere: {
      Vec3 r = normalize(q);
      u = ou + su * (std::atan2(dot(r, x), dot(r, d)) / twoPi + 0.5f);
      v = ov + sv * (std::acos(std::fmax(-1.0f, std::fmin(1.0f, dot(r, y)))) / std::numbers::pi_v<float>);
      break;
    }
    case WrapType::Chrome:
      u = ou + su * (0.5f + 0.5f * n.x);
      v = ov + sv * (0.5f - 0.5f * n.y);
      break;
  }
}

void Wrap::apply(MeshBuilder& mesh, const Mat4& transform) const {
  if (type == WrapType::Chrome) {
    mesh.chrome = std::make_shared<Wrap>(*this);
    return;
  }
  for (auto& f : mesh.faces) {
    Vec3 fn = f->normal();
    for (auto& c : f->corners)
      coordinates(transform.transformPoint(c.position),
                  transform.transformNormal(dot(c.normal, c.normal) > 0 ? c.normal : fn), c.u, c.v);
  }
}

}  // namespace kestrel::scene3d
