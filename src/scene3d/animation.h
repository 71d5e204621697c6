#pragma once
// Animations: keys of position, rotation and scale over time, applied to
// the frames they animate when their time is set. An animation set groups
// animations that share one time.
#include <memory>
#include <vector>

#include "scene3d/math3d.h"

namespace kestrel::scene3d {

class Frame;

struct AnimationKey {
  float time = 0;
  Vec3 value;
};

struct Animation {
  std::weak_ptr<Frame> frame;
  std::vector<AnimationKey> positionKeys;  // sorted by time
  std::vector<AnimationKey> scaleKeys;

  void addPositionKey(float time, Vec3 p);
  void addScaleKey(float time, Vec3 s);
  // Places the frame as the keys say at time (linear between keys, held
  // before the first and after the last).
  void setTime(float time) const;
};

struct AnimationSet {
  std::vector<std::shared_ptr<Animation>> animations;
  void setTime(float time) const {
    for (auto& a : animations) a->setTime(time);
  }
};

}  // namespace kestrel::scene3d
