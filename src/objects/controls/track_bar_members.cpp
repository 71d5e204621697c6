// The member table of track bars (type 59).
#include "objects/control_members.h"
#include "objects/controls/track_bar.h"

namespace kestrel::objects {

namespace {

std::vector<Member<TrackBar>> trackBarRows() {
  using T = TrackBar;
  std::vector<Member<T>> rows = {
      {7, "Color", "E", [](Machine& m, T&) { ignoredOperand(m); }, "",
       [](Machine&, T&, EvalStacks& s) { s.pushNumber(kTrackBarColorRead); },
       "writing evaluates a value and ignores it; reads -2147483643 (the window background's system colour)"},
      property<&T::frequency, &T::setFrequency>(12, "Frequency", "a tick every this many values (0 or less: 1)"),
      property<&T::lineSize, &T::setLineSize>(13, "LineSize", "how far an arrow key moves the thumb"),
      property<&T::pageSize, &T::setPageSize>(14, "PageSize",
                                              "how far Page Up/Down or a click beside the thumb moves it"),
      property<&T::maxValue, &T::setMaxValue>(15, "Max", "the last position (below Min: Min follows)"),
      property<&T::minValue, &T::setMinValue>(16, "Min", "the first position (above Max: Max follows)"),
      property<&T::position, &T::setPosition>(17, "Position", "the thumb's position, kept between Min and Max"),
      property<&T::selEnd, &T::setSelEnd>(18, "SelEnd", "end of the selected range drawn along the scale"),
      property<&T::selStart, &T::setSelStart>(19, "SelStart", "start of the selected range drawn along the scale"),
      property<&T::orientation, &T::setOrientation>(
          20, "Orientation", "0 horizontal, 1 vertical (Min at the top); a change swaps width and height"),
      property<&T::tickMarks, &T::setTickMarks>(21, "TickMarks", "ticks 0 below or right, 1 above or left, 2 both"),
      property<&T::tickStyle, &T::setTickStyle>(22, "TickStyle",
                                                "0 no ticks, 1 a tick every Frequency, 2 only the ticks added"),
      {25, "SetTick", "bEb",
       [](Machine& m, T& t) {
         skipByte(m);
         const int32_t position = numberOperand(m);
         skipByte(m);
         t.addTick(position);
       },
       nullptr, nullptr, "position: places a tick mark there"},
  };
  addCommonMembers(rows, CommonCodes{.left = 1, .top = 3, .width = 4, .height = 2, .parent = 5, .popupMenu = 26,
                                     .enabled = 8, .visible = 9, .showHint = 10, .hint = 11, .cursor = 6, .align = 0,
                                     .tabOrder = 23});
  addEventMembers(rows, EventCodes{.change = 24});
  return rows;
}

std::unique_ptr<Object> createTrackBar(Machine& m, int type, int32_t) {
  return std::make_unique<TrackBar>(m, type);
}

}  // namespace

void registerTrackBarType(TypeRegistry& registry) {
  static const std::vector<Member<TrackBar>> rows = trackBarRows();
  registry.add(describeType(kTrackBarType, "trackbar", rows, createTrackBar));
}

}  // namespace kestrel::objects
