#pragma once
// Scroll bars: a thumb on a track between two arrow buttons.
#include <cstdint>

#include "toolkit/peers/window.h"

namespace kestrel::gui {

// The scroll codes the programs get, in the order of the system's own.
namespace scroll {
inline constexpr int kLineUp = 0;
inline constexpr int kLineDown = 1;
inline constexpr int kPageUp = 2;
inline constexpr int kPageDown = 3;
inline constexpr int kThumbPosition = 4;  // the thumb let go, at its position
inline constexpr int kThumbTrack = 5;     // the thumb dragged, at its position
inline constexpr int kTop = 6;
inline constexpr int kBottom = 7;
inline constexpr int kEndScroll = 8;  // the user let go
}  // namespace scroll

// A scroll bar. The user reaches the owner through Scroll events: the
// scroll code in `key` and, for the thumb codes, the thumb's position in
// `x`. The owner decides the new position and calls setRange; the bar
// shows that, not what the user asked for.
class ScrollBarPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  virtual void setRange(int32_t min, int32_t max, int32_t position) {
    min_ = min;
    max_ = max;
    position_ = position;
  }
  virtual void setSteps(int32_t small, int32_t large) {
    small_ = small;
    large_ = large;
  }
  virtual void setVertical(bool vertical) { vertical_ = vertical; }
  int32_t position() const { return position_; }
  bool vertical() const { return vertical_; }

 protected:
  int32_t min_ = 0;
  int32_t max_ = 100;
  int32_t position_ = 0;
  int32_t small_ = 1;
  int32_t large_ = 1;
  bool vertical_ = false;
};

}  // namespace kestrel::gui
