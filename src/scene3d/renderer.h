#pragma once
// Draws a scene as its camera sees it: clears to the background, lights
// every mesh in the scene at its corners (Gouraud) or once a face (flat),
// fills through the rasteriser, then lays the shadows.
#include "scene3d/frame.h"
#include "scene3d/rasteriser.h"
#include "scene3d/viewport.h"

namespace kestrel::scene3d {

class Renderer {
 public:
  void render(Frame& scene, const Viewport& viewport, const DeviceSettings& device, const gui::PixelView& target);
  const Rasteriser& rasteriser() const { return raster_; }

 private:
  Rasteriser raster_;  // kept between frames so its buffers are reused
};

}  // namespace kestrel::scene3d
