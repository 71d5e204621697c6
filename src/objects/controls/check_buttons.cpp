#include "objects/controls/check_buttons.h"

namespace kestrel::objects {

// ---- Check boxes

CheckBox::CheckBox(Machine& m, int type) : ControlOf(m, type) {
  // The first size is no resize (no handler could be bound yet).
  parentColor_ = true;
  peer_->setGeometry(gui::Rect::fromSize(0, 0, 97, 17));
  lastClientSize_ = clientSize();
}

// Each click, and the second click of a double click, turns the mark over.
void CheckBox::event(gui::InputEvent& e) {
  if (e.kind == gui::EventKind::Click || e.kind == gui::EventKind::DblClick) {
    setChecked(checked_ ? 0 : 1);
    return;
  }
  Control::event(e);
}

void CheckBox::setChecked(uint8_t flag) {
  const bool on = flag != 0;
  if (on == checked_) return;
  checked_ = on;
  peer().setChecked(on);
  events::notify(m_, handlerFor(gui::EventKind::Click), sender());
}

// ---- Radio buttons

RadioButton::RadioButton(Machine& m, int type) : ControlOf(m, type) {
  parentColor_ = true;
  peer_->setGeometry(gui::Rect::fromSize(0, 0, 113, 17));
  lastClientSize_ = clientSize();
}

// A click turns the button on (a button that is on stays on).
void RadioButton::event(gui::InputEvent& e) {
  if (e.kind == gui::EventKind::Click) {
    if (flag_ == 0) setChecked(1);
    return;
  }
  if (e.kind == gui::EventKind::DblClick) return;
  Control::event(e);
}

void RadioButton::setChecked(uint8_t flag) {
  const bool was = flag_ != 0;
  flag_ = flag;
  const bool on = flag != 0;
  if (on == was) return;
  peer().setChecked(on);
  if (!on) return;
  if (parent_ != nullptr) {
    ObjectWorld& w = world(m_);
    for (size_t i = 0; i < w.count(kRadioButtonType); ++i) {
      auto& other = w.as<RadioButton>(kRadioButtonType, static_cast<int32_t>(i));
      if (&other == this || other.parent() != parent_ || other.flag_ == 0) continue;
      other.flag_ = 0;
      other.peer().setChecked(false);
    }
  }
  events::notify(m_, handlerFor(gui::EventKind::Click), sender());
}

}  // namespace kestrel::objects
