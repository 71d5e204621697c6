#pragma once
// Colour values to pixels: 0x00BBGGRR values pass (the high byte is
// ignored), system colours (the high bit and a palette index) come from
// the toolkit's palette.
#include <cstdint>

namespace kestrel::gui {

// The classic desktop palette, for toolkits without one of their own.
uint32_t classicSystemColor(int index);
// The 0x00BBGGRR pixel value of a colour value.
uint32_t colorToRgb(int32_t color);

}  // namespace kestrel::gui
