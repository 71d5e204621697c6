#pragma once
// A texture: a copy of an image's pixels (0xAARRGGBB), sampled with
// coordinates that repeat outside 0..1.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::scene3d {

struct Texture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
  std::string name;

  static std::shared_ptr<Texture> fromPixels(int32_t width, int32_t height, const uint32_t* pixels,
                                             int32_t stride);
  bool empty() const { return width <= 0 || height <= 0; }
  uint32_t nearest(float u, float v) const;
  uint32_t linear(float u, float v) const;
};

}  // namespace kestrel::scene3d
