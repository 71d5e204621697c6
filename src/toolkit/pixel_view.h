#pragma once
// Direct access to a picture's pixels, for code that fills whole buffers
// (the 3D renderer, sprite blits) where per-pixel virtual calls would cost
// too much. Each pixel is 0xAARRGGBB in a 32-bit word (the byte order of
// Qt's 32-bit images, not the canvas's 0x00BBGGRR colours); rows are
// `stride` pixels apart. An empty view (no pixels) means the surface keeps
// none, as the null toolkit's surfaces do.
#include <cstdint>

namespace kestrel::gui {

struct PixelView {
  uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;  // in pixels

  bool empty() const { return pixels == nullptr || width <= 0 || height <= 0; }
  uint32_t* row(int32_t y) const { return pixels + static_cast<intptr_t>(y) * stride; }
};

// A canvas colour (0x00BBGGRR) as a pixel (0xFFRRGGBB), and back.
inline constexpr uint32_t pixelOf(uint32_t color) {
  return 0xFF000000u | ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
inline constexpr uint32_t colorOf(uint32_t pixel) {
  return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

}  // namespace kestrel::gui
