#pragma once
// Texture wraps: how texture coordinates follow from positions. Flat
// projects onto the plane across the wrap's direction, cylinder and sphere
// go round the up axis, and chrome takes them from the normal as seen by
// a reference frame (the camera) each time the mesh is drawn.
#include <memory>

#include "scene3d/math3d.h"

namespace kestrel::scene3d {

class Frame;
struct MeshBuilder;

enum class WrapType { Flat = 0, Cylinder = 1, Sphere = 2, Chrome = 3 };

struct Wrap {
  WrapType type = WrapType::Flat;
  std::weak_ptr<Frame> reference;  // chrome: the camera
  Vec3 origin, direction{0, 0, 1}, up{0, 1, 0};
  float ou = 0, ov = 0, su = 1, sv = 1;

  // Texture coordinates for a position (and its normal, for chrome), both
  // in the wrap's space.
  void coordinates(Vec3 p, Vec3 n, float& u, float& v) const;
  // Sets the coordinates of every corner of mesh; positions are first taken
  // through transform (identity for a plain apply). A chrome wrap is kept on
  // the mesh and worked out when drawn.
  void apply(MeshBuilder& mesh, const Mat4& transform = {}) const;
};

}  // namespace kestrel::scene3d
