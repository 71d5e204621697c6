// The member tables of group boxes (69) and scroll boxes (70).
#include "objects/control_members.h"
#include "objects/controls/control_factory.h"
#include "objects/controls/boxes.h"

namespace kestrel::objects {

namespace {

using S = ScrollBox;

// The settings of one scroll bar: 0 Increment, 1 Margin, 2 Position,
// 3 Range, 4 Tracking, 5 Visible.
template <int Axis, int Field>
void writeBar(Machine& m, S& box) {
  if constexpr (Field == 0) box.setIncrement(Axis, numberOperand(m));
  else if constexpr (Field == 1) box.setMargin(Axis, numberOperand(m));
  else if constexpr (Field == 2) box.setPosition(Axis, numberOperand(m));
  else if constexpr (Field == 3) box.setRange(Axis, numberOperand(m));
  else if constexpr (Field == 4) box.setTracking(Axis, flagOperand(m));
  else box.setBarVisible(Axis, flagOperand(m));
}

template <int Axis, int Field>
void readBar(Machine&, S& box, EvalStacks& s) {
  const ScrollBoxAxis& a = box.axis(Axis);
  if constexpr (Field == 0) s.pushNumber(a.bar.increment);
  else if constexpr (Field == 1) s.pushNumber(a.margin);
  else if constexpr (Field == 2) s.pushNumber(a.bar.position);
  else if constexpr (Field == 3) s.pushNumber(a.bar.range);
  else if constexpr (Field == 4) pushFlag(s, a.tracking);
  else pushFlag(s, a.visible);
}

template <int Axis, int... Fields>
void addBarRows(std::vector<Member<S>>& rows, int base, std::integer_sequence<int, Fields...>) {
  static constexpr const char* kNames[2][6] = {
      {"HorzIncrement", "HorzMargin", "HorzPosition", "HorzRange", "HorzTracking", "HorzVisible"},
      {"VertIncrement", "VertMargin", "VertPosition", "VertRange", "VertTracking", "VertVisible"}};
  static constexpr const char* kAbout[6] = {
      "pixels one arrow click scrolls",
      "pixels kept between a focused child and the edge",
      "scrolled offset: clamped to 0 .. Range less the visible extent; the children move with it",
      "extent of the content in pixels (below 0 taken as 0); no bar while it fits",
      "flag: the content follows the thumb while it is dragged",
      "flag: the bar may show"};
  (addRow<S>(rows, base + Fields,
             {0, kNames[Axis][Fields], "E", &writeBar<Axis, Fields>, "", &readBar<Axis, Fields>, kAbout[Fields]}),
   ...);
}

// The members both boxes share at the same codes.
constexpr CommonCodes kBoxCommon{.caption = 11, .left = 1, .top = 3, .width = 4, .height = 2, .parent = 5,
                                 .font = 14, .popupMenu = 15, .enabled = 7, .visible = 8, .showHint = 9, .hint = 10,
                                 .color = 12, .cursor = 6, .align = 0, .tabOrder = 13, .handle = 16};

std::vector<Member<GroupBox>> groupBoxRows() {
  using G = GroupBox;
  std::vector<Member<G>> rows = {
      action<&G::refresh, Operand::IgnoredByte>(22, "Refresh", "paints the box again"),
  };
  addCommonMembers(rows, kBoxCommon);
  addEventMembers(rows, EventCodes{.click = 17, .dblClick = 18, .mouseDown = 19, .mouseUp = 21, .mouseMove = 20});
  addFontMembers(rows, 200);
  return rows;
}

std::vector<Member<ScrollBox>> scrollBoxRows() {
  std::vector<Member<S>> rows = {
      {11, "Caption", "E", [](Machine& m, S& b) { b.setCaption(stringOperand(m)); },
       "", [](Machine&, S& b, EvalStacks& s) { s.pushNumber(b.tag); },
       "writes the caption (the box does not show it); a read gives the box's own index"},
      property<&S::borderStyle, &S::setBorderStyle>(24, "BorderStyle", "0 none, 1 a single sunken line"),
      action<&S::refresh, Operand::IgnoredByte>(23, "Refresh", "paints the box again"),
  };
  addBarRows<0>(rows, 25, std::make_integer_sequence<int, 6>{});
  addBarRows<1>(rows, 31, std::make_integer_sequence<int, 6>{});
  CommonCodes common = kBoxCommon;
  common.caption = -1;
  addCommonMembers(rows, common);
  addEventMembers(rows, EventCodes{.click = 17, .dblClick = 18, .mouseDown = 19, .mouseUp = 21, .mouseMove = 20,
                                   .resize = 22});
  addFontMembers(rows, 200);
  return rows;
}

}  // namespace

void registerBoxTypes(TypeRegistry& registry) {
  static const std::vector<Member<GroupBox>> groupRows = groupBoxRows();
  static const std::vector<Member<ScrollBox>> scrollRows = scrollBoxRows();
  registry.add(describeType(kGroupBoxType, "groupbox", groupRows, createControl<GroupBox>));
  registry.add(describeType(kScrollBoxType, "scrollbox", scrollRows, createControl<ScrollBox>));
}

}  // namespace kestrel::objects
