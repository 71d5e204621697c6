#include "objects/controls/timer.h"

#include "events/dispatch.h"
#include "objects/member_rows.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

Timer::Timer(Machine& m, int type) : EventSource(type), m_(m), peer_(toolkit().createTimer([this] { tick(); })) {}

void Timer::setInterval(uint32_t milliseconds) {
  interval_ = milliseconds;
  update();
}

void Timer::setEnabled(bool on) {
  enabled_ = on;
  update();
}

void Timer::bindTick(int32_t entry) {
  bindHandler(gui::EventKind::Timer, entry);
  update();
}

// A running timer whose interval is unchanged keeps its rhythm. Like 0,
// an interval of 2^31 or more (a negative value set) gives no ticks.
void Timer::update() {
  const auto milliseconds = static_cast<int32_t>(interval_);
  const bool run = enabled_ && milliseconds > 0 && handlerFor(gui::EventKind::Timer) != 0;
  if (!run) peer_->stop();
  else if (!peer_->running() || peer_->interval() != milliseconds) peer_->start(milliseconds);
}

void Timer::tick() {
  const int32_t entry = handlerFor(gui::EventKind::Timer);
  if (entry == 0 || ticking_) return;
  events::FlagGuard busy(ticking_, true);
  events::notify(m_, entry, sender());
}

namespace {

std::vector<Member<Timer>> timerRows() {
  using T = Timer;
  return {
      {0, "Interval", "E", [](Machine& m, T& t) { t.setInterval(unsignedOperand(m)); },
       "", [](Machine&, T& t, EvalStacks& s) { s.pushNumber(t.interval()); },
       "milliseconds between ticks, kept as an unsigned 32-bit number (-1 reads 4294967295); 0, or a value set "
       "negative, gives no ticks"},
      property<&T::enabled, &T::setEnabled>(1, "Enabled", "any value but 0 runs the timer; reads 1 or 0"),
      {2, "OnTimer", "H", [](Machine& m, T& t) { t.bindTick(handlerOperand(m)); }, nullptr, nullptr, "sender"},
  };
}

std::unique_ptr<Object> createTimer(Machine& m, int type, int32_t) { return std::make_unique<Timer>(m, type); }

}  // namespace

void registerTimerType(TypeRegistry& registry) {
  static const std::vector<Member<Timer>> rows = timerRows();
  registry.add(describeType(kTimerType, "timer", rows, createTimer));
}

}  // namespace kestrel::objects
