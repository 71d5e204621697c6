// The member table of scroll bars (type 54).
#include "objects/control_members.h"
#include "objects/controls/scroll_bar.h"

namespace kestrel::objects {

namespace {

std::vector<Member<ScrollBar>> scrollBarRows() {
  using S = ScrollBar;
  std::vector<Member<S>> rows = {
      property<&S::kind, &S::setKind>(7, "Kind", "0 horizontal, 1 vertical; a change swaps Width and Height"),
      property<&S::largeChange, &S::setLargeChange>(
          8, "LargeChange", "the step of a click on the track, kept as 16 bits (0 or less: 1)"),
      property<&S::smallChange, &S::setSmallChange>(
          9, "SmallChange", "the step of the arrow buttons, kept as 16 bits (0 or less: 1)"),
      property<&S::min, &S::setMin>(10, "Min", "the smallest position (above Max: an error)"),
      property<&S::max, &S::setMax>(11, "Max", "the largest position (below Min: an error)"),
      property<&S::position, &S::setPosition>(12, "Position", "the thumb's position, kept within Min and Max"),
  };
  addCommonMembers(rows, CommonCodes{.left = 1, .top = 3, .width = 4, .height = 2, .parent = 5, .popupMenu = 20,
                                     .enabled = 13, .visible = 14, .showHint = 15, .hint = 16, .cursor = 6,
                                     .align = 0, .tabOrder = 17});
  addEventMembers(rows, EventCodes{.keyPress = 22, .keyDown = 21, .keyUp = 23, .change = 18, .scroll = 19});
  return rows;
}

std::unique_ptr<Object> createScrollBar(Machine& m, int type, int32_t) { return std::make_unique<ScrollBar>(m, type); }

}  // namespace

void registerScrollBarType(TypeRegistry& registry) {
  static const std::vector<Member<ScrollBar>> rows = scrollBarRows();
  registry.add(describeType(kScrollBarType, "scrollbar", rows, createScrollBar));
}

}  // namespace kestrel::objects
