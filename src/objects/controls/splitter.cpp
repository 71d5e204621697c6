#include "objects/controls/splitter.h"

#include <algorithm>
#include <climits>

#include "objects/controls/bar_paint.h"
#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 3;
constexpr int32_t kDefaultHeight = 100;
constexpr int32_t kCursorSplitAcross = -14;  // a bar between left and right
constexpr int32_t kCursorSplitDown = -15;    // a bar between top and bottom
}  // namespace

Splitter::Splitter(Machine& m, int type) : ControlOf(m, type) {
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  setSplitterAlign(kAlignLeft);
  ready_ = true;
  paint();
}

void Splitter::setSplitterAlign(int32_t align) {
  const bool across = align == kAlignTop || align == kAlignBottom;
  if (across && cursor_ == kCursorSplitAcross) setCursor(kCursorSplitDown);
  else if (!across && cursor_ == kCursorSplitDown) setCursor(kCursorSplitAcross);
  else if (cursor_ == 0) setCursor(across ? kCursorSplitDown : kCursorSplitAcross);
  setAlign(align);
  paint();
}

void Splitter::setBeveled(uint8_t flag) {
  beveled_ = flag;
  paint();
}

Control* Splitter::neighbour() const {
  if (parent_ == nullptr || visible_ == 0 || align_ < kAlignTop || align_ > kAlignRight) return nullptr;
  const std::vector<Control*> side = parent_->dockedChildren(align_);
  const auto at = std::find(side.begin(), side.end(), this);
  if (at == side.end() || at == side.begin()) return nullptr;
  return *(at - 1);
}

bool Splitter::moveBy(int32_t delta) {
  Control* other = neighbour();
  if (other == nullptr) return false;
  const bool across = horizontalSide();
  const int32_t size = across ? other->width() : other->height();
  // The room the docked controls of this axis leave to the rest.
  const gui::Rect area = parent_->dockArea();
  int64_t free = across ? area.width() : area.height();
  const int32_t sides[] = {across ? kAlignLeft : kAlignTop, across ? kAlignRight : kAlignBottom};
  for (int32_t side : sides)
    for (Control* c : parent_->dockedChildren(side)) free -= across ? c->width() : c->height();
  const int64_t least = std::max(minSize_, 0);
  const int64_t grows = (align_ == kAlignLeft || align_ == kAlignTop) ? delta : -int64_t{delta};
  // Never below MinSize (nor further down when already below it), never so
  // large that less than MinSize is left.
  const int64_t lo = std::min<int64_t>(least, size);
  const int64_t hi = std::max<int64_t>(size + free - least, size);
  const auto wanted = static_cast<int32_t>(std::clamp<int64_t>(int64_t{size} + grows, lo, hi));
  if (wanted == size) return false;
  if (across) other->setWidth(wanted);
  else other->setHeight(wanted);
  events::notify(m_, handlerFor(gui::EventKind::Moved), sender());
  return true;
}

int32_t Splitter::mouseAcross(const gui::InputEvent& e) const {
  const gui::Rect r = bounds();
  return horizontalSide() ? r.left + e.x : r.top + e.y;
}

// A press on the bar starts a drag that follows the mouse until the
// button is let go (the toolkit keeps the mouse on the pressed window).
void Splitter::event(gui::InputEvent& e) {
  switch (e.kind) {
    case gui::EventKind::MouseDown:
      if (e.button == gui::kLeftButton && enabled_ != 0 && neighbour() != nullptr) {
        dragging_ = true;
        dragFrom_ = mouseAcross(e);
        Control* other = neighbour();
        startSize_ = horizontalSide() ? other->width() : other->height();
      }
      break;
    case gui::EventKind::MouseMove:
      if (dragging_) {
        Control* other = neighbour();
        if (other == nullptr) {
          dragging_ = false;
          break;
        }
        const int32_t size = horizontalSide() ? other->width() : other->height();
        const int64_t moved = int64_t{mouseAcross(e)} - dragFrom_;
        const int64_t sign = (align_ == kAlignLeft || align_ == kAlignTop) ? 1 : -1;
        // The neighbour's size the mouse asks for, as a move from where it is now.
        const int64_t delta = (int64_t{startSize_} + sign * moved - size) * sign;
        moveBy(static_cast<int32_t>(std::clamp<int64_t>(delta, INT32_MIN, INT32_MAX)));
      }
      break;
    case gui::EventKind::MouseUp:
      if (e.button == gui::kLeftButton) dragging_ = false;
      break;
    default: break;
  }
  Control::event(e);
}

void Splitter::resized() {
  Control::resized();
  paint();
}

// The colour, and with Beveled a raised one-pixel edge.
void Splitter::paint() {
  if (!ready_) return;
  gui::Surface& s = peer().picture();
  const gui::Rect r{0, 0, s.width(), s.height()};
  paint::fillBox(s, r, color_);
  if (beveled_ != 0) paint::frameBox(s, r, gui::kColorButtonHighlight, gui::kColorButtonShadow);
  peer().pictureChanged();
}

}  // namespace kestrel::objects
