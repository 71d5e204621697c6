#include "scene3d/animation.h"

#include <algorithm>

#include "scene3d/frame.h"

namespace kestrel::scene3d {

namespace {
void insertKey(std::vector<AnimationKey>& keys, float time, Vec3 v) {
  auto at = std::upper_bound(keys.begin(), keys.end(), time,
                             [](float t, const AnimationKey& k) { return t < k.time; });
  keys.insert(at, {time, v});
}

Vec3 sample(const std::vector<AnimationKey>& keys, float time) {
  if (time <= keys.front().time) return keys.front().value;
  if (time >= keys.back().time) return keys.back().value;
  auto hi = std::upper_bound(keys.begin(), keys.end(), time,
                             [](float t, const AnimationKey& k) { return t < k.time; });
  auto lo = hi - 1;
  float span = hi->time - lo->time;
  float t = span > 0 ? (time - lo->time) / span : 0;
  return lo->value + (hi->value - lo->value) * t;
}
}  // namespace

void Animation::addPositionKey(float time, Vec3 p) { insertKey(positionKeys, time, p); }
void Animation::addScaleKey(float time, Vec3 s) { insertKey(scaleKeys, time, s); }

void Animation::setTime(float time) const {
  auto f = frame.lock();
  if (!f || !std::isfinite(time)) return;
  Mat4 m = f->transform();
  if (!scaleKeys.empty()) {
    Vec3 s = sample(scaleKeys, time);
    for (int i = 0; i < 3; ++i) m.setRow(i, normalize(m.row(i)) * (i == 0 ? s.x : i == 1 ? s.y : s.z));
  }
  if (!positionKeys.empty()) m.setRow(3, sample(positionKeys, time));
  f->setTransform(m);
}

}  // namespace kestrel::scene3d
