#include "scene3d/texture.h"

#include <cmath>

namespace kestrel::scene3d {

std::shared_ptr<Texture> Texture::fromPixels(int32_t width, int32_t height, const uint32_t* pixels,
                                             int32_t stride) {
  auto t = std::make_shared<Texture>();
  if (width <= 0 || height <= 0 || pixels == nullptr || stride < width) return t;
  t->width = width;
  t->height = height;
  t->pixels.resize(static_cast<size_t>(width) * height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      t->pixels[static_cast<size_t>(y) * width + x] = pixels[static_cast<intptr_t>(y) * stride + x];
  return t;
}

namespace {
// Texel index along one axis, repeating; NaN and huge values land on 0.
int32_t wrapIndex(float t, int32_t size) {
  if (t >= 0 && t < static_cast<float>(size)) return static_cast<int32_t>(t);
  if (!(std::fabs(t) < 1e6f)) return 0;
  int32_t i = static_cast<int32_t>(std::floor(t)) % size;
  return i < 0 ? i + size : i;
}
}  // namespace

uint32_t Texture::nearest(float u, float v) const {
  if (empty()) return 0xFFFFFFFF;
  return pixels[static_cast<size_t>(wrapIndex(v * height, height)) * width + wrapIndex(u * width, width)];
}

uint32_t Texture::linear(float u, float v) const {
  if (empty()) return 0xFFFFFFFF;
  float fx = u * width - 0.5f, fy = v * height - 0.5f;
  if (!(std::fabs(fx) < 1e6f) || !(std::fabs(fy) < 1e6f)) return nearest(u, v);
  float x0f = std::floor(fx), y0f = std::floor(fy);
  int32_t wx = static_cast<int32_t>((fx - x0f) * 256), wy = static_cast<int32_t>((fy - y0f) * 256);
  int32_t x0 = wrapIndex(x0f, width), x1 = wrapIndex(x0f + 1, width);
  int32_t y0 = wrapIndex(y0f, height), y1 = wrapIndex(y0f + 1, height);
  auto at = [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; };
  uint32_t a = at(x0, y0), b = at(x1, y0), c = at(x0, y1), d = at(x1, y1);
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    int32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF, cc = (c >> shift) & 0xFF, cd = (d >> shift) & 0xFF;
    int32_t top = ca * (256 - wx) + cb * wx, bottom = cc * (256 - wx) + cd * wx;
    out |= static_cast<uint32_t>(((top * (256 - wy) + bottom * wy) >> 16) & 0xFF) << shift;
  }
  return out;
}

}  // namespace kestrel::scene3d
