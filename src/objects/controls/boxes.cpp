#include "objects/controls/boxes.h"

#include <algorithm>

namespace kestrel::objects {

GroupBox::GroupBox(Machine& m, int type) : ControlOf(m, type) {
  setBounds(gui::Rect::fromSize(0, 0, 185, 105));
}

ScrollBox::ScrollBox(Machine& m, int type) : ControlOf(m, type) {
  setBounds(gui::Rect::fromSize(0, 0, 185, 41));
  peer().setBorder(true);
  showBars();
}

void ScrollBox::setBorderStyle(int32_t style) {
  borderStyle_ = style;
  peer().setBorder(style == 1);
}

int32_t ScrollBox::visibleExtent(int which) const {
  const gui::Size client = clientSize();
  return which == 0 ? client.width : client.height;
}

void ScrollBox::setRange(int which, int32_t range) {
  axes_[which].bar.range = std::max(range, 0);
  setPosition(which, axes_[which].bar.position);
}

void ScrollBox::setPosition(int which, int32_t position) {
  gui::ScrollBoxBar& bar = axes_[which].bar;
  const int32_t last = std::max(0, bar.range - visibleExtent(which));
  position = std::clamp(position, 0, last);
  const int32_t delta = position - bar.position;
  bar.position = position;
  if (delta != 0)
    for (Control* child : children_) {
      if (which == 0) child->setLeft(child->left() - delta);
      else child->setTop(child->top() - delta);
    }
  showBars();
}

void ScrollBox::setIncrement(int which, int32_t increment) {
  axes_[which].bar.increment = increment;
  showBars();
}

void ScrollBox::setBarVisible(int which, uint8_t flag) {
  axes_[which].visible = flag;
  axes_[which].bar.visible = flag != 0;
  showBars();
}

// A smaller box shows more of the content: the positions stay in range.
void ScrollBox::resized() {
  Control::resized();
  for (int which = 0; which < 2; ++which) setPosition(which, axes_[which].bar.position);
}

// The user scrolled a bar: the children follow (the box has no scroll
// handler of its own).
void ScrollBox::event(gui::InputEvent& e) {
  if (e.kind == gui::EventKind::Scroll) {
    setPosition(e.key == 0 ? 0 : 1, e.x);
    return;
  }
  Control::event(e);
}

}  // namespace kestrel::objects
