// The member table of combo boxes (type 42).
#include "objects/control_members.h"
#include "objects/controls/combo_box.h"
#include "objects/controls/list_rows.h"

namespace kestrel::objects {

namespace {

std::vector<Member<ComboBox>> comboBoxRows() {
  using C = ComboBox;
  const char* styleAbout = "0 drop-down (reads only: programs cannot change it)";
  std::vector<Member<C>> rows = {
      property<&C::itemIndex, &C::setItemIndex>(5, "ItemIndex", "the item picked (-1: none); setting it shows its text"),
      readOnly<&C::itemCount>(9, "ItemCount", "the number of items"),
      action<&C::clearItems>(12, "Clear", "removes every item"),
      property<&C::dropDownCount, &C::setDropDownCount>(13, "DropDownCount", "items the drop-down list shows"),
      property<&C::maxLength, &C::setMaxLength>(20, "MaxLength", "most characters the field takes (0: no limit)"),
      property<&C::sortedFlag, &C::setSorted>(21, "Sorted", "flag: items are kept in alphabetical order"),
      {22, "Style", "E", [](Machine& m, C&) { ignoredOperand(m); },
       "", [](Machine&, C& c, EvalStacks& s) { s.pushNumber(c.style()); }, styleAbout},
      {27, "Unused27", "H", [](Machine& m, C&) { handlerOperand(m); }, nullptr, nullptr,
       "a handler position, read and not used"},
      readOnly<&C::style>(30, "CurrentStyle", styleAbout),
      action<&C::repaint, Operand::IgnoredByte>(40, "Repaint", "paints the combo box again"),
      property<&C::itemHeight, &C::setItemHeight>(43, "ItemHeight", "height of the items (pixels)"),
  };
  addItemRows(rows, ItemCodes{.addItems = 8, .item = 10, .deleteItems = 11, .insertItem = 44});
  addCommonMembers(rows, CommonCodes{.text = 45, .left = 0, .top = 3, .width = 4, .height = 1, .parent = 2, .font = 6,
                                     .popupMenu = 16, .enabled = 14, .visible = 15, .showHint = 23, .hint = 24,
                                     .color = 18, .cursor = 19, .align = 17, .tabOrder = 25, .handle = 26});
  addEventMembers(rows, EventCodes{.change = 7, .drawItem = 28, .measureItem = 29});
  addCanvasMembers(rows, CanvasCodes{.textOut = 31, .line = 32, .floodFill = 33, .circle = 34, .rectangle = 35,
                                     .pset = 36, .pixel = 37, .fillRect = 38, .draw = 39, .copyMode = 41,
                                     .copyRect = 42, .stretchDraw = 46, .textRect = 47, .textHeight = 48,
                                     .textWidth = 49});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createComboBox(Machine& m, int type, int32_t) { return std::make_unique<ComboBox>(m, type); }

}  // namespace

void registerComboBoxType(TypeRegistry& registry) {
  static const std::vector<Member<ComboBox>> rows = comboBoxRows();
  registry.add(describeType(kComboBoxType, "combobox", rows, createComboBox));
}

}  // namespace kestrel::objects
