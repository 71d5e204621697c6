#pragma once
// Check boxes (type 40) and radio buttons (type 41): a caption beside a
// mark that the user or the program turns on and off.
//
// A change of the mark runs the click handler, whoever made it: a click,
// Space, or the program setting Checked (setting it to what it is runs
// nothing). A check box changes on every click; a radio button only turns
// on, and turning on turns off the other radio buttons of its parent.

#include "objects/control.h"
#include "toolkit/peers/check_button.h"

namespace kestrel::objects {

inline constexpr int kCheckBoxType = 40;
inline constexpr int kRadioButtonType = 41;

class CheckBox : public ControlOf<gui::CheckBoxPeer> {
 public:
  CheckBox(Machine& m, int type);

  const char* windowClass() const override { return "TCheckBox"; }
  void event(gui::InputEvent& e) override;

  bool checked() const { return checked_; }
  // Any flag but 0 checks the box; a change runs the click handler.
  void setChecked(uint8_t flag);

 private:
  bool checked_ = false;
};

class RadioButton : public ControlOf<gui::RadioButtonPeer> {
 public:
  RadioButton(Machine& m, int type);

  const char* windowClass() const override { return "TRadioButton"; }
  void event(gui::InputEvent& e) override;

  // The flag byte set last (1 after a click, 0 once another button of the
  // group took over).
  uint8_t checkedFlag() const { return flag_; }
  // Checking unchecks the parent's other radio buttons and runs the click
  // handler; unchecking runs none.
  void setChecked(uint8_t flag);

 private:
  uint8_t flag_ = 0;
};

void registerCheckButtonTypes(TypeRegistry& registry);

}  // namespace kestrel::objects
