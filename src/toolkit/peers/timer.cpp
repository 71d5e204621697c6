#include "toolkit/peers/timer.h"

#include "toolkit/toolkit.h"

namespace kestrel {

// Without an event loop nothing ticks.
std::unique_ptr<gui::TimerPeer> Toolkit::createTimer(std::function<void()> tick) {
  return std::make_unique<gui::TimerPeer>(std::move(tick));
}

}  // namespace kestrel
