#pragma once
// A light. It shines from the frame that holds it: from the frame's origin,
// along the frame's z axis.
#include "scene3d/math3d.h"

namespace kestrel::scene3d {

enum class LightType { Ambient = 0, Point = 1, Spot = 2, Directional = 3, ParallelPoint = 4 };

// The light type for a program's number; unknown numbers give ambient.
inline LightType lightTypeOf(int64_t n) {
  return n >= 0 && n <= 4 ? static_cast<LightType>(n) : LightType::Ambient;
}

struct Light {
  LightType type = LightType::Ambient;
  Color color{1, 1, 1, 1};
  float range = 256;
  // Intensity falls as 1 / (constant + linear d + quadratic d^2).
  float constant = 1, linear = 0, quadratic = 0;
  float umbra = 0.4f;     // full angle (radians) of the spot's bright cone
  float penumbra = 0.8f;  // full angle of the cone outside which it gives nothing
};

}  // namespace kestrel::scene3d
