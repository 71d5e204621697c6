#pragma once
// Game timers (type 101): drive a game loop. While enabled with a handler
// bound, the timer handler runs whenever the event loop is idle, never
// from inside message processing: a tick that comes while the handler
// still runs (one that processes messages) is dropped, never nested.
// Interval caps the frame rate: a tick sooner than Interval milliseconds
// after the last frame is skipped (0: no cap); a capped timer's toolkit
// timer ticks every millisecond instead of at every idle moment. FrameRate is the number of
// frames run in the last second. With ActiveOnly, no frames run while the
// application is not the active one.
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>

#include "objects/event_source.h"
#include "toolkit/peers/timer.h"

namespace kestrel {
class Machine;
}

namespace kestrel::objects {

inline constexpr int kGameTimerType = 101;

class GameTimer : public EventSource {
 public:
  using Clock = std::chrono::steady_clock;

  GameTimer(Machine& m, int type);

  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  int32_t interval() const { return interval_; }
  void setInterval(int32_t milliseconds);
  bool activeOnly() const { return activeOnly_; }
  void setActiveOnly(bool on) { activeOnly_ = on; }
  void bindTick(int32_t entry);
  // Frames run in the second before the last tick.
  int32_t frameRate() const { return static_cast<int32_t>(frames_.size()); }

  // One idle tick at the given time: runs a frame unless one runs already,
  // the cap says it is too soon, or the timer should not run.
  void tick(Clock::time_point now);
  void tick() { tick(Clock::now()); }
  gui::TimerPeer& peer() { return *peer_; }
  // With manual ticks on, no game timer made from then on ticks by itself:
  // whoever drives the frames (a test, a benchmark) calls tick().
  static void setManualTicks(bool on);

 private:
  void update();

  Machine& m_;
  std::unique_ptr<gui::TimerPeer> peer_;
  bool enabled_ = true;
  int32_t interval_ = 0;
  bool activeOnly_ = false;
  bool ticking_ = false;
  std::deque<Clock::time_point> frames_;  // start times of the frames of the last second
};

void registerGameTimerType(TypeRegistry& registry);

}  // namespace kestrel::objects
