#pragma once
// Track bars: a thumb that slides along a scale from Min to Max, with
// tick marks and a selected range drawn along it.
#include <cstdint>
#include <vector>

#include "toolkit/peers/window.h"

namespace kestrel::gui {

// Everything a track bar shows. The engine keeps it consistent: Min <= Max,
// Position inside them, Frequency at least 1.
struct TrackBarLook {
  int32_t min = 0;
  int32_t max = 10;
  int32_t position = 0;
  int32_t frequency = 1;   // a tick every this many values (automatic ticks)
  int32_t lineSize = 1;    // the arrow keys move this far
  int32_t pageSize = 2;    // page keys and clicks beside the thumb move this far
  int32_t selStart = 0;    // the selected range, drawn along the scale
  int32_t selEnd = 0;
  bool vertical = false;   // vertical bars have Min at the top
  int32_t tickMarks = 0;   // 0 below or right, 1 above or left, 2 both sides
  int32_t tickStyle = 1;   // 0 none, 1 automatic (every Frequency), 2 only the ticks added
  std::vector<int32_t> ticks;  // ticks added by the program
  bool operator==(const TrackBarLook&) const = default;
};

// A track bar. When the user moves the thumb, the owner gets a Change
// event with the new position in `x`; positions the engine sets raise none.
class TrackBarPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  virtual void setLook(const TrackBarLook& look) { look_ = look; }
  const TrackBarLook& look() const { return look_; }

 protected:
  TrackBarLook look_;
};

}  // namespace kestrel::gui
