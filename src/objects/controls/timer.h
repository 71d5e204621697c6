#pragma once
// Timers (type 49): the timer handler runs every Interval milliseconds
// while the timer is enabled and a handler is bound.
//
// Interval is kept as the unsigned 32-bit number the program set and
// reads back so; an interval of 0, or one set negative, gives no ticks
// (the timer does not run at all, so the program stays idle). A tick that
// comes while the timer's own handler still runs (a handler that
// processes messages or shows a dialog) is dropped, never nested.
#include <cstdint>
#include <memory>

#include "objects/event_source.h"
#include "toolkit/peers/timer.h"

namespace kestrel {
class Machine;
}

namespace kestrel::objects {

inline constexpr int kTimerType = 49;

class Timer : public EventSource {
 public:
  Timer(Machine& m, int type);

  uint32_t interval() const { return interval_; }
  void setInterval(uint32_t milliseconds);
  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  // Binds the timer handler (0: none).
  void bindTick(int32_t entry);
  // One tick: runs the handler unless it is running already.
  void tick();
  gui::TimerPeer& peer() { return *peer_; }

 private:
  // Starts or stops the toolkit's timer to match the properties.
  void update();

  Machine& m_;
  std::unique_ptr<gui::TimerPeer> peer_;
  uint32_t interval_ = 1000;
  bool enabled_ = true;
  bool ticking_ = false;
};

void registerTimerType(TypeRegistry& registry);

}  // namespace kestrel::objects
