#pragma once
// Group boxes, scroll boxes and glass frames: containers and a tinted
// overlay that draw nothing of the program's own.
#include <cstdint>

#include "toolkit/peers/window.h"

namespace kestrel::gui {

// A framed box with its caption in the frame's top edge; it holds other
// controls.
class GroupBoxPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  virtual void repaint() {}
};

// One of a scroll box's bars as the engine decided it.
struct ScrollBoxBar {
  int32_t position = 0;  // the scrolled offset, 0 to range - the visible extent
  int32_t range = 0;     // the extent of the content; no bar when it fits
  int32_t increment = 8; // pixels one arrow click scrolls
  bool visible = true;
  bool operator==(const ScrollBoxBar&) const = default;
};

// A box that holds other controls and scrolls them. The engine moves the
// children itself; the peer shows the bars. The user's scrolling reaches
// the owner as a Scroll event: `key` 0 for the horizontal bar, 1 for the
// vertical one, `x` the position asked for.
class ScrollBoxPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  virtual void setBars(const ScrollBoxBar& horizontal, const ScrollBoxBar& vertical) {
    horizontal_ = horizontal;
    vertical_ = vertical;
  }
  virtual void setBorder(bool single) { border_ = single; }
  virtual void repaint() {}
  const ScrollBoxBar& horizontal() const { return horizontal_; }
  const ScrollBoxBar& vertical() const { return vertical_; }
  bool border() const { return border_; }

 protected:
  ScrollBoxBar horizontal_;
  ScrollBoxBar vertical_;
  bool border_ = false;
};

// A translucent rectangle over its parent: the colour laid over what the
// parent shows with an opacity of alpha / 255.
class GlassFramePeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  virtual void setTint(uint32_t rgb, int alpha) {
    tint_ = rgb;
    alpha_ = alpha;
  }
  uint32_t tint() const { return tint_; }
  int alpha() const { return alpha_; }

 protected:
  uint32_t tint_ = 0;
  int alpha_ = 128;
};

// Whether (x, y) lies inside the ellipse that fills a width x height box.
inline bool insideEllipse(int32_t width, int32_t height, int32_t x, int32_t y) {
  if (width <= 0 || height <= 0) return false;
  const double rx = width / 2.0, ry = height / 2.0;
  const double dx = (x + 0.5 - rx) / rx, dy = (y + 0.5 - ry) / ry;
  return dx * dx + dy * dy <= 1.0;
}

}  // namespace kestrel::gui
