#pragma once
// Timers: a tick from the event loop every so many milliseconds. A timer
// has no window; Toolkit::createTimer makes one. This base class is the
// null toolkit's timer: it keeps its state and never ticks.
#include <cstdint>
#include <functional>

namespace kestrel::gui {

class TimerPeer {
 public:
  explicit TimerPeer(std::function<void()> tick) : tick_(std::move(tick)) {}
  virtual ~TimerPeer() = default;
  TimerPeer(const TimerPeer&) = delete;
  TimerPeer& operator=(const TimerPeer&) = delete;

  // Ticks every `milliseconds` from now on, the first tick one interval
  // from now; 0 ticks whenever the event loop has nothing else to do.
  virtual void start(int32_t milliseconds) {
    interval_ = milliseconds;
    running_ = true;
  }
  virtual void stop() { running_ = false; }
  bool running() const { return running_; }
  int32_t interval() const { return interval_; }

 protected:
  std::function<void()> tick_;
  int32_t interval_ = 0;
  bool running_ = false;
};

}  // namespace kestrel::gui
