#include "scene3d/mesh.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

namespace kestrel::scene3d {

Vec3 Face::normal() const {
  if (corners.size() < 3) return {};
  // Newell's method over all corners, so a bent polygon still gets a fair normal.
  Vec3 n;
  for (size_t i = 0; i < corners.size(); ++i) {
    Vec3 a = corners[i].position, b = corners[(i + 1) % corners.size()].position;
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return normalize(n);
}

std::shared_ptr<Face> MeshBuilder::face(int64_t index) const {
  if (index < 0 || index >= static_cast<int64_t>(faces.size())) return nullptr;
  return faces[static_cast<size_t>(index)];
}

bool MeshBuilder::deleteFace(const std::shared_ptr<Face>& f) {
  auto it = std::find(faces.begin(), faces.end(), f);
  if (it == faces.end()) return false;
  faces.erase(it);
  return true;
}

void MeshBuilder::scale(Vec3 s) {
  Mat4 m = Mat4::scaling(s);
  for (auto& f : faces)
    for (auto& c : f->corners) {
      c.position = m.transformPoint(c.position);
      c.normal = m.transformNormal(c.normal);
    }
  for (auto& v : vertices) v = m.transformPoint(v);
}

void MeshBuilder::translate(Vec3 t) {
  for (auto& f : faces)
    for (auto& c : f->corners) c.position = c.position + t;
  for (auto& v : vertices) v = v + t;
}

void MeshBuilder::setColor(Color c) {
  color = c;
  for (auto& f : faces) f->color.reset();
}

void MeshBuilder::generateNormals() {
  using Key = std::tuple<float, float, float>;
  std::map<Key, Vec3> sums;
  for (auto& f : faces) {
    Vec3 n = f->normal();
    for (auto& c : f->corners) {
      Vec3& s = sums[{c.position.x, c.position.y, c.position.z}];
      s = s + n;
    }
  }
  for (auto& f : faces)
    for (auto& c : f->corners) c.normal = normalize(sums[{c.position.x, c.position.y, c.position.z}]);
}

std::shared_ptr<MeshBuilder> MeshBuilder::snapshot() const {
  auto copy = std::make_shared<MeshBuilder>(*this);
  copy->kind = Kind::Mesh;
  for (auto& f : copy->faces) f = std::make_shared<Face>(*f);
  return copy;
}

}  // namespace kestrel::scene3d
