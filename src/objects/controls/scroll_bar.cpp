#include "objects/controls/scroll_bar.h"

#include <algorithm>

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultLength = 121;
constexpr int32_t kDefaultThickness = 17;
constexpr const char* kRangeError = "Scrollbar property out of range";

int32_t step(int32_t value) {
  const auto kept = static_cast<int16_t>(static_cast<uint16_t>(value));
  return kept <= 0 ? 1 : kept;
}

int32_t clampTo(int64_t value, int32_t low, int32_t high) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, low, high));
}
}  // namespace

ScrollBar::ScrollBar(Machine& m, int type) : ControlOf(m, type) {
  // The first size is no resize (no handler could be bound yet).
  peer_->setGeometry(gui::Rect::fromSize(0, 0, kDefaultLength, kDefaultThickness));
  lastClientSize_ = clientSize();
  peer().setRange(min_, max_, position_);
  peer().setSteps(smallChange_, largeChange_);
}

void ScrollBar::event(gui::InputEvent& e) {
  if (e.kind == gui::EventKind::Scroll) scrolled(e.key, e.x);
  else Control::event(e);
}

void ScrollBar::setKind(int32_t kind) {
  kind = kind != 0 ? 1 : 0;
  if (kind == kind_) return;
  kind_ = kind;
  peer().setVertical(kind == 1);
  const gui::Rect r = bounds();
  setBounds(gui::Rect::fromSize(r.left, r.top, r.height(), r.width()));
}

void ScrollBar::setLargeChange(int32_t value) {
  largeChange_ = step(value);
  peer().setSteps(smallChange_, largeChange_);
}

void ScrollBar::setSmallChange(int32_t value) {
  smallChange_ = step(value);
  peer().setSteps(smallChange_, largeChange_);
}

void ScrollBar::setMin(int32_t value) { setRange(value, max_, position_); }
void ScrollBar::setMax(int32_t value) { setRange(min_, value, position_); }
void ScrollBar::setPosition(int32_t value) { setRange(min_, max_, value); }

// The position follows the range; the change handler runs when it moved.
void ScrollBar::setRange(int32_t min, int32_t max, int32_t position) {
  if (max < min) raise(kRangeError);
  min_ = min;
  max_ = max;
  const int32_t before = position_;
  position_ = clampTo(position, min, max);
  peer().setRange(min_, max_, position_);
  if (position_ != before) events::notify(m_, handlerFor(gui::EventKind::Change), sender());
}

void ScrollBar::scrolled(int code, int32_t thumbPosition) {
  int64_t to = position_;
  switch (code) {
    case gui::scroll::kLineUp: to -= smallChange_; break;
    case gui::scroll::kLineDown: to += smallChange_; break;
    case gui::scroll::kPageUp: to -= largeChange_; break;
    case gui::scroll::kPageDown: to += largeChange_; break;
    case gui::scroll::kThumbPosition:
    case gui::scroll::kThumbTrack: to = thumbPosition; break;
    case gui::scroll::kTop: to = min_; break;
    case gui::scroll::kBottom: to = max_; break;
    default: break;  // the end of a scroll keeps the position
  }
  const int32_t offered = clampTo(to, min_, max_);
  const int32_t chosen = events::scroll(m_, handlerFor(gui::EventKind::Scroll), sender(), code, offered);
  setRange(min_, max_, chosen);
}

}  // namespace kestrel::objects
