// The member table of tab controls (type 53).
#include "objects/control_members.h"
#include "objects/controls/tab_control.h"

namespace kestrel::objects {

namespace {

void addTabs(Machine& m, TabControl& t) {
  forEachArgument(m, [&] { t.addTab(stringOperand(m)); });
}

// The index's low 8 bits (258 inserts at 2).
void insertTab(Machine& m, TabControl& t) {
  skipByte(m);
  const int32_t index = numberOperand(m) & 0xFF;
  skipByte(m);
  const Str text = stringOperand(m);
  skipByte(m);
  t.insertTab(index, text);
}

// The k-th element (from 0) names the tab that stood there before the
// statement when the indices ascend: it deletes the tab at index - k. An
// index with no tab there, below 0 too, deletes nothing and still counts.
void deleteTabs(Machine& m, TabControl& t) {
  int32_t k = 0;
  forEachArgument(m, [&] {
    const int64_t index = int64_t{numberOperand(m)} - k;
    ++k;
    if (index >= 0 && index < t.tabCount()) t.deleteTab(static_cast<int32_t>(index));
  });
}

void writeTab(Machine& m, TabControl& t) {
  const int32_t index = numberOperand(m);
  const Str text = stringOperand(m);
  t.setTab(index, text);
}

void readTab(Machine& m, TabControl& t, EvalStacks& s) { s.pushString(t.tab(numberOperand(m))); }

std::vector<Member<TabControl>> tabControlRows() {
  using T = TabControl;
  std::vector<Member<T>> rows = {
      property<&T::hotTrack, &T::setHotTrack>(11, "HotTrack", "any value but 0: the tab under the mouse lights up; reads 1 or 0"),
      property<&T::multiLine, &T::setMultiLine>(16, "MultiLine", "flag: tabs that do not fit take more rows"),
      property<&T::tabHeight, &T::setTabHeight>(17, "TabHeight",
                                                "the tabs' height, kept as 16 bits (0 or less: the natural height)"),
      property<&T::tabIndex, &T::setTabIndex>(18, "TabIndex",
                                              "the selected tab from 0, -1 for none (past the last: no change)"),
      property<&T::tabPosition, &T::setTabPosition>(19, "TabPosition", "the tab row's side: 0 top, 1 bottom, 2 left, 3 right"),
      property<&T::scrollOpposite, &T::setScrollOpposite>(21, "ScrollOpposite",
                                                          "flag: rows of tabs move to the other side when chosen"),
      property<&T::buttonStyle, &T::setButtonStyle>(22, "ButtonStyle", "flag: tabs drawn as buttons"),
      property<&T::flatButtons, &T::setFlatButtons>(23, "FlatButtons", "flag: button-style tabs are flat"),
      property<&T::flatSeparators, &T::setFlatSeparators>(24, "FlatSeparators",
                                                          "flag: lines between flat button-style tabs"),
      property<&T::focusButtons, &T::setFocusButtons>(25, "FocusButtons", "flag: button-style tabs take the focus"),
      property<&T::inactiveColor, &T::setInactiveColor>(27, "TabInactiveColor", "colour value of the unselected tabs"),
      {28, "TabInactiveFont", "O", [](Machine& m, T& t) { t.setInactiveFont(fontOperand(m).desc); }, nullptr, nullptr,
       "font object: the unselected tabs' font"},
      property<&T::tabWidth, &T::setTabWidth>(29, "TabWidth",
                                              "the tabs' width, kept as 16 bits (0 or less: each fits its text)"),
      property<&T::verticalTabs, &T::setVerticalTabs>(30, "VerticalTabs",
                                                      "flag: the row stands at the left (or right) side"),
      {31, "AddTabs", "L", addTabs, nullptr, nullptr, "list of texts: each becomes a tab at the end"},
      {32, "InsertTab", "bEbEb", insertTab, nullptr, nullptr,
       "index (its low 8 bits), text: a new tab there (index 0 to the count)"},
      {33, "DeleteTabs", "L", deleteTabs, nullptr, nullptr,
       "list of indices: deletes the tabs that stood there (the k-th element from 0 deletes index - k)"},
      {34, "Tab", "EE", writeTab, "E", readTab, "index, text: the tab's text; read with (index)"},
  };
  addCommonMembers(rows, CommonCodes{.left = 5, .top = 7, .width = 8, .height = 6, .clientWidth = 2,
                                     .clientHeight = 1, .parent = 4, .font = 9, .popupMenu = 35, .enabled = 12,
                                     .visible = 13, .showHint = 14, .hint = 15, .color = 26, .cursor = 3,
                                     .align = 0, .tabOrder = 20});
  addEventMembers(rows, EventCodes{.change = 10});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createTabControl(Machine& m, int type, int32_t) {
  return std::make_unique<TabControl>(m, type);
}

}  // namespace

void registerTabControlType(TypeRegistry& registry) {
  static const std::vector<Member<TabControl>> rows = tabControlRows();
  registry.add(describeType(kTabControlType, "tabcontrol", rows, createTabControl));
}

}  // namespace kestrel::objects
