#pragma once
// What a game screen holds for its 3D scene: the scene frame, the camera
// (a child of the scene), the viewport, the device settings, and the
// picture it renders into. Objects find their screen's host through the
// registry, by the screen's object index.
#include <cstdint>
#include <map>
#include <memory>

#include "scene3d/frame.h"
#include "scene3d/renderer.h"
#include "scene3d/viewport.h"

namespace kestrel::scene3d {

class SceneHost {
 public:
  SceneHost();

  const std::shared_ptr<Frame>& scene() const { return scene_; }
  const std::shared_ptr<Frame>& camera() const { return camera_; }
  Viewport& viewport() { return viewport_; }
  DeviceSettings& device() { return device_; }

  // The picture render() draws into; the owner keeps it alive and sets it
  // again whenever its buffer moves or changes size.
  void setTarget(const gui::PixelView& target) { target_ = target; }
  const gui::PixelView& target() const { return target_; }
  void render();
  // Clears the target to the scene's background, leaving the meshes out.
  void clear();
  const Renderer& renderer() const { return renderer_; }

 private:
  std::shared_ptr<Frame> scene_;
  std::shared_ptr<Frame> camera_;
  Viewport viewport_;
  DeviceSettings device_;
  gui::PixelView target_;
  Renderer renderer_;
};

// The hosts of the screens that exist, by screen object index. The screen
// owns its host; the registry only looks it up.
class SceneHostRegistry {
 public:
  void add(int32_t screenIndex, const std::shared_ptr<SceneHost>& host) { hosts_[screenIndex] = host; }
  void remove(int32_t screenIndex) { hosts_.erase(screenIndex); }
  std::shared_ptr<SceneHost> find(int32_t screenIndex) const;

 private:
  std::map<int32_t, std::weak_ptr<SceneHost>> hosts_;
};

}  // namespace kestrel::scene3d
