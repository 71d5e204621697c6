#include "scene3d/scene_host.h"

namespace kestrel::scene3d {

SceneHost::SceneHost() : scene_(Frame::create()), camera_(Frame::create(scene_)) { viewport_.camera = camera_; }

void SceneHost::render() { renderer_.render(*scene_, viewport_, device_, target_); }

void SceneHost::clear() {
  Rasteriser r;
  r.begin(target_, viewport_);
  auto& s = scene_->sceneSettings();
  if (s.backgroundImage && !s.backgroundImage->empty())
    r.clearToImage(*s.backgroundImage);
  else
    r.clear(s.background);
}

std::shared_ptr<SceneHost> SceneHostRegistry::find(int32_t screenIndex) const {
  auto it = hosts_.find(screenIndex);
  return it == hosts_.end() ? nullptr : it->second.lock();
}

}  // namespace kestrel::scene3d
