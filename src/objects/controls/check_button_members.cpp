// The member tables of check boxes (40) and radio buttons (41): the same
// codes; Checked reads 1 or 0 on a check box and the flag byte on a radio
// button.
#include "objects/control_members.h"
#include "objects/controls/control_factory.h"
#include "objects/controls/check_buttons.h"

namespace kestrel::objects {

namespace {

template <class T>
void addSharedRows(std::vector<Member<T>>& rows) {
  addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, .top = 4, .width = 5, .height = 2, .parent = 3,
                                     .font = 6, .popupMenu = 11, .enabled = 9, .visible = 10, .showHint = 16,
                                     .hint = 15, .align = 14, .tabOrder = 17, .handle = 12});
  addEventMembers(rows, EventCodes{.click = 8});
  addFontMembers(rows, 200);
}

std::vector<Member<CheckBox>> checkBoxRows() {
  using C = CheckBox;
  std::vector<Member<C>> rows = {
      property<&C::checked, &C::setChecked>(
          7, "Checked", "flag: the box is checked (a change runs the click handler); reads 1 or 0"),
  };
  addSharedRows(rows);
  return rows;
}

std::vector<Member<RadioButton>> radioButtonRows() {
  using R = RadioButton;
  std::vector<Member<R>> rows = {
      property<&R::checkedFlag, &R::setChecked>(
          7, "Checked",
          "flag: the button is on, its parent's other radio buttons off (turning on runs the click handler)"),
  };
  addSharedRows(rows);
  return rows;
}

}  // namespace

void registerCheckButtonTypes(TypeRegistry& registry) {
  static const std::vector<Member<CheckBox>> checkRows = checkBoxRows();
  static const std::vector<Member<RadioButton>> radioRows = radioButtonRows();
  registry.add(describeType(kCheckBoxType, "checkbox", checkRows, createControl<CheckBox>));
  registry.add(describeType(kRadioButtonType, "radiobutton", radioRows, createControl<RadioButton>));
}

}  // namespace kestrel::objects
