#include "objects/controls/game_timer.h"

#include "events/dispatch.h"
#include "objects/member_rows.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
bool manualTicks = false;
}  // namespace

void GameTimer::setManualTicks(bool on) { manualTicks = on; }

GameTimer::GameTimer(Machine& m, int type)
    : EventSource(type), m_(m), peer_(toolkit().createTimer([this] { tick(); })) {}

void GameTimer::setEnabled(bool on) {
  enabled_ = on;
  update();
}

void GameTimer::setInterval(int32_t milliseconds) {
  interval_ = milliseconds;
  update();
}

void GameTimer::bindTick(int32_t entry) {
  bindHandler(gui::EventKind::Timer, entry);
  update();
}

// Uncapped, the toolkit's timer ticks whenever the event loop has nothing
// else to do; capped, every millisecond, so that waiting for the next
// frame does not keep a processor busy.
void GameTimer::update() {
  const bool run = enabled_ && handlerFor(gui::EventKind::Timer) != 0 && !manualTicks;
  const int32_t rhythm = interval_ > 1 ? 1 : 0;
  if (!run) peer_->stop();
  else if (!peer_->running() || peer_->interval() != rhythm) peer_->start(rhythm);
}

void GameTimer::tick(Clock::time_point now) {
  const int32_t entry = handlerFor(gui::EventKind::Timer);
  if (entry == 0 || !enabled_ || ticking_) return;
  if (activeOnly_ && !toolkit().applicationActive()) return;
  if (interval_ > 0 && !frames_.empty() && now - frames_.back() < std::chrono::milliseconds(interval_)) return;
  while (!frames_.empty() && now - frames_.front() >= std::chrono::seconds(1)) frames_.pop_front();
  frames_.push_back(now);
  events::FlagGuard busy(ticking_, true);
  events::notify(m_, entry, sender());
}

namespace {

std::vector<Member<GameTimer>> gameTimerRows() {
  using T = GameTimer;
  return {
      property<&T::enabled, &T::setEnabled>(0, "Enabled", "any value but 0 runs the timer; reads 1 or 0"),
      property<&T::interval, &T::setInterval>(
          1, "Interval", "the shortest time between frames in milliseconds (0: every idle moment)"),
      {2, "FrameRate", "E", [](Machine& m, T&) { ignoredOperand(m); }, "",
       [](Machine&, T& t, EvalStacks& s) { s.pushNumber(t.frameRate()); },
       "the frames run in the last second (setting it does nothing)"},
      {3, "OnTimer", "H", [](Machine& m, T& t) { t.bindTick(handlerOperand(m)); }, nullptr, nullptr,
       "sender: runs once a frame"},
      property<&T::activeOnly, &T::setActiveOnly>(
          4, "ActiveOnly", "no frames run while another application is active; reads 1 or 0"),
  };
}

std::unique_ptr<Object> createGameTimer(Machine& m, int type, int32_t) {
  return std::make_unique<GameTimer>(m, type);
}

}  // namespace

void registerGameTimerType(TypeRegistry& registry) {
  static const std::vector<Member<GameTimer>> rows = gameTimerRows();
  registry.add(describeType(kGameTimerType, "gametimer", rows, createGameTimer));
}

}  // namespace kestrel::objects
