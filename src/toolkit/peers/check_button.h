#pragma once
// Check boxes and radio buttons: a mark (a box or a round button) with a
// caption beside it. The owner keeps the state: a click on the window or
// Space reaches it as a Click event, and it tells the peer what to show.
#include "toolkit/peers/window.h"

namespace kestrel::gui {

class CheckBoxPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  virtual void setChecked(bool checked) { checked_ = checked; }
  bool checked() const { return checked_; }

 protected:
  bool checked_ = false;
};

// A radio button: the owner sees to it that one of a parent's radio
// buttons is checked at a time.
class RadioButtonPeer : public CheckBoxPeer {
 public:
  using CheckBoxPeer::CheckBoxPeer;
};

}  // namespace kestrel::gui
