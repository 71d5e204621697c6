#pragma once
// Small painting steps shared by the controls that paint their own picture
// (status bars, gauges): filled boxes and one-pixel 3D frames in colour
// values (system colours resolved).
#include <cstdint>

#include "toolkit/gui_types.h"
#include "toolkit/surface.h"

namespace kestrel::objects::paint {

// Fills r (left..right-1, top..bottom-1) in a colour value; an empty
// rectangle paints nothing.
void fillBox(gui::Surface& s, const gui::Rect& r, int32_t color);
// A one-pixel frame: top and left edges in `topLeft`, bottom and right in
// `bottomRight`. Returns the rectangle inside it.
gui::Rect frameBox(gui::Surface& s, const gui::Rect& r, int32_t topLeft, int32_t bottomRight);
// A recessed one-pixel frame (shadow above, highlight below).
inline gui::Rect loweredBox(gui::Surface& s, const gui::Rect& r) {
  return frameBox(s, r, gui::kColorButtonShadow, gui::kColorButtonHighlight);
}

}  // namespace kestrel::objects::paint
