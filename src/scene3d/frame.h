#pragma once
// Frames: the nodes of the scene graph. Each holds a transform relative to
// its parent, children, visuals, lights, velocities for Move, and (on the
// root of a scene) the scene's background and fog.
#include <memory>
#include <string>
#include <vector>

#include "scene3d/light.h"
#include "scene3d/math3d.h"
#include "scene3d/mesh.h"

namespace kestrel::scene3d {

enum class FogMode { Linear = 0, Exponential = 1, ExponentialSquared = 2 };

struct SceneSettings {
  Color background{0, 0, 0, 1};
  std::shared_ptr<Texture> backgroundImage;
  bool fogEnabled = false;
  FogMode fogMode = FogMode::Linear;
  uint32_t fogColor = 0xFF000000;  // 0xAARRGGBB
  float fogStart = 1, fogEnd = 100, fogDensity = 1;
};

// How AddScale and friends combine with the transform the frame has.
enum class Combine { Replace = 0, Before = 1, After = 2 };

class Frame : public std::enable_shared_from_this<Frame> {
 public:
  static std::shared_ptr<Frame> create(const std::shared_ptr<Frame>& parent = nullptr);
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  std::shared_ptr<Frame> parent() const { return parent_.lock(); }
  const std::vector<std::shared_ptr<Frame>>& children() const { return children_; }
  // Makes child a child of this frame (moving it from its old parent).
  // Refused (false) when child is this frame or one of its ancestors.
  bool addChild(const std::shared_ptr<Frame>& child);
  bool deleteChild(const std::shared_ptr<Frame>& child);
  // The root of the tree this frame is in: the scene.
  std::shared_ptr<Frame> scene();
  SceneSettings& sceneSettings() { return scene()->settings_; }

  const Mat4& transform() const { return local_; }
  void setTransform(const Mat4& m) { local_ = m; }
  Mat4 worldTransform() const;
  // Position and orientation given in reference's space (null: the parent's).
  void setPosition(const Frame* reference, Vec3 p);
  Vec3 position(const Frame* reference) const;
  void setOrientation(const Frame* reference, Vec3 direction, Vec3 up);
  // Turns the frame's z axis towards target's origin.
  void lookAt(const Frame& target, const Frame* reference);
  void addScale(Combine how, Vec3 s);
  void addRotation(Combine how, Vec3 axis, float theta);

  // Velocities, in reference's space, applied by move().
  void setVelocity(const Frame* reference, Vec3 v, bool rotateWithFrame);
  void setRotation(const Frame* reference, Vec3 axis, float theta);
  // Applies the velocities times delta to this frame and all below it.
  void move(float delta);

  std::vector<std::shared_ptr<Visual>> visuals;
  std::vector<std::shared_ptr<Light>> lights;
  std::shared_ptr<Texture> texture;  // for visuals that have none of their own

  bool deleteVisual(const std::shared_ptr<Visual>& v);
  bool deleteLight(const std::shared_ptr<Light>& l);

 private:
  Frame() = default;
  void applyVelocities(float delta);
  Vec3 toParentPoint(const Frame* reference, Vec3 p) const;
  Vec3 toParentDirection(const Frame* reference, Vec3 d) const;

  std::weak_ptr<Frame> parent_;
  std::vector<std::shared_ptr<Frame>> children_;
  Mat4 local_;
  Vec3 velocity_;
  bool velocityRotates_ = false;
  Vec3 rotationAxis_;
  float rotationTheta_ = 0;
  SceneSettings settings_;
};

}  // namespace kestrel::scene3d
