#include "objects/controls/track_bar.h"

#include <algorithm>

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 150;
constexpr int32_t kDefaultHeight = 45;
// Ticks added beyond this many are dropped (each is painted).
constexpr size_t kMaxTicks = 4096;
}  // namespace

TrackBar::TrackBar(Machine& m, int type) : ControlOf(m, type) {
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  show();
}

void TrackBar::show() {
  look_.position = std::clamp(look_.position, look_.min, look_.max);
  peer().setLook(look_);
}

void TrackBar::setMinValue(int32_t value) {
  look_.min = value;
  look_.max = std::max(look_.max, value);
  show();
}

void TrackBar::setMaxValue(int32_t value) {
  look_.max = value;
  look_.min = std::min(look_.min, value);
  show();
}

void TrackBar::setPosition(int32_t value) {
  look_.position = value;
  show();
}

void TrackBar::setFrequency(int32_t value) {
  look_.frequency = std::max(value, 1);
  show();
}

void TrackBar::setLineSize(int32_t value) {
  look_.lineSize = value;
  show();
}

void TrackBar::setPageSize(int32_t value) {
  look_.pageSize = value;
  show();
}

void TrackBar::setSelStart(int32_t value) {
  look_.selStart = value;
  show();
}

void TrackBar::setSelEnd(int32_t value) {
  look_.selEnd = value;
  show();
}

void TrackBar::setOrientation(int32_t value) {
  const bool vertical = value == 1;
  if (vertical == look_.vertical) return;
  look_.vertical = vertical;
  const gui::Rect r = bounds();
  setBounds(gui::Rect::fromSize(r.left, r.top, r.height(), r.width()));
  show();
}

void TrackBar::setTickMarks(int32_t value) {
  look_.tickMarks = value;
  show();
}

void TrackBar::setTickStyle(int32_t value) {
  look_.tickStyle = value;
  show();
}

void TrackBar::addTick(int32_t position) {
  if (look_.ticks.size() >= kMaxTicks) return;
  look_.ticks.push_back(position);
  show();
}

void TrackBar::event(gui::InputEvent& e) {
  if (e.kind != gui::EventKind::Change) {
    Control::event(e);
    return;
  }
  look_.position = std::clamp(e.x, look_.min, look_.max);
  events::notify(m_, handlerFor(gui::EventKind::Change), sender());
}

}  // namespace kestrel::objects
