#include "objects/controls/bar_paint.h"

#include "toolkit/colors.h"

namespace kestrel::objects::paint {

void fillBox(gui::Surface& s, const gui::Rect& r, int32_t color) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  s.state.brush = gui::colorToRgb(color);
  s.state.brushClear = false;
  s.fillRect(r);
}

gui::Rect frameBox(gui::Surface& s, const gui::Rect& r, int32_t topLeft, int32_t bottomRight) {
  if (r.width() <= 0 || r.height() <= 0) return r;
  fillBox(s, {r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  fillBox(s, {r.left, r.top, r.left + 1, r.bottom}, topLeft);
  fillBox(s, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
  fillBox(s, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  return {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

}  // namespace kestrel::objects::paint
