// The member table of splitters (type 79).
#include "objects/control_members.h"
#include "objects/controls/splitter.h"
#include "objects/event_members.h"

namespace kestrel::objects {

namespace {

std::vector<Member<Splitter>> splitterRows() {
  using S = Splitter;
  std::vector<Member<S>> rows = {
      property<&S::align, &S::setSplitterAlign>(
          6, "Align", "the side it docks to, as the control it resizes: 1 top, 2 bottom, 3 left, 4 right"),
      property<&S::beveled, &S::setBeveled>(7, "Beveled", "flag: the bar has a raised edge"),
      property<&S::minSize, &S::setMinSize>(
          12, "MinSize", "the least size in pixels a drag leaves the neighbour and the rest of the parent"),
  };
  addCommonMembers(rows, CommonCodes{.left = 0, .top = 2, .width = 3, .height = 1, .clientWidth = 5,
                                     .clientHeight = 4, .parent = 16, .enabled = 9, .visible = 10,
                                     .showHint = 14, .hint = 13, .color = 8, .cursor = 11});
  addEventMembers(rows, EventCodes{.moved = 15});
  return rows;
}

std::unique_ptr<Object> createSplitter(Machine& m, int type, int32_t) { return std::make_unique<Splitter>(m, type); }

}  // namespace

void registerSplitterType(TypeRegistry& registry) {
  static const std::vector<Member<Splitter>> rows = splitterRows();
  registry.add(describeType(kSplitterType, "splitter", rows, createSplitter));
}

}  // namespace kestrel::objects
