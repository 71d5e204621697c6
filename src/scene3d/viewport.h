#pragma once
// The camera's view: what part of the scene lands in the picture.
#include <cstdint>
#include <memory>

namespace kestrel::scene3d {

class Frame;

struct Viewport {
  std::shared_ptr<Frame> camera;
  float front = 1;    // nearest distance drawn
  float back = 100;   // farthest distance drawn
  float field = 0.5f; // half the width of the view (of the height, when taller) at distance 1
  // A viewing plane set explicitly (left, right, bottom, top at distance 1)
  // replaces the one worked out from the field.
  bool hasPlane = false;
  float left = 0, right = 0, bottom = 0, top = 0;

  void setPlane(float l, float r, float b, float t) {
    hasPlane = true, left = l, right = r, bottom = b, top = t;
  }
  void setField(float f) { hasPlane = false, field = f; }
};

// Settings of the drawing device.
struct DeviceSettings {
  uint32_t renderMode = 0;      // kept for programs that read it back; no effect
  uint32_t textureQuality = 0;  // 0 and 2: nearest texel; 1, 3, 4, 5: linear
  bool linearTextures() const { return textureQuality == 1 || textureQuality >= 3; }
};

}  // namespace kestrel::scene3d
