// The member table of labels (type 31).
#include "objects/control_members.h"
#include "objects/controls/label.h"

namespace kestrel::objects {

namespace {

// A label has no window of its own to draw on: its Handle is a number for
// its canvas, as a bitmap's is.
constexpr int32_t kLabelCanvasBase = 0x00D00000;

std::vector<Member<Label>> labelRows() {
  using L = Label;
  std::vector<Member<L>> rows = {
      property<&L::wordWrap, &L::setWordWrap>(11, "WordWrap", "flag: long lines break between words"),
      property<&L::alignment, &L::setAlignment>(12, "Alignment", "0 left, 1 right, 2 centred"),
      property<&L::transparent, &L::setTransparent>(13, "Transparent", "flag: no background, what lies under shows"),
      // Any value but 0 turns it on (0.4 too: the value is not rounded).
      property<&L::autoSize, &L::setAutoSize>(18, "AutoSize", "the label takes the size of its text; reads 1 or 0"),
      property<&L::layout, &L::setLayout>(22, "Layout", "vertical place of the text: 0 top, 1 centre, 2 bottom"),
      {27, "Handle", nullptr, nullptr,
       "", [](Machine&, L& l, EvalStacks& s) { s.pushNumber(canvasHandle(l, kLabelCanvasBase)); },
       "the handle of the label's canvas (it has no window of its own); messages sent to it reach OnMessage"},
      property<&L::escapement, &L::setEscapement>(29, "Escapement", "angle of the text in degrees, counter-clockwise"),
      property<&L::textStyle, &L::setTextStyle>(30, "TextStyle", "0 plain, 1 raised, 2 recessed"),
      property<&L::upperColor, &L::setUpperColor>(31, "UpperColor",
                                                  "colour of the highlight of raised or recessed text"),
      property<&L::lowerColor, &L::setLowerColor>(32, "LowerColor", "colour of the shadow of raised or recessed text"),
  };
  addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, .top = 4, .width = 5, .height = 2, .clientWidth = 7,
                                     .clientHeight = 6, .parent = 3, .font = 8, .popupMenu = 19, .enabled = 9,
                                     .visible = 10, .showHint = 15, .hint = 16, .color = 14, .cursor = 21,
                                     .align = 20});
  addEventMembers(rows, EventCodes{.click = 17, .dblClick = 23, .mouseDown = 24, .mouseUp = 26, .mouseMove = 25,
                                   .message = 28});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createLabel(Machine& m, int type, int32_t) { return std::make_unique<Label>(m, type); }

}  // namespace

void registerLabelType(TypeRegistry& registry) {
  static const std::vector<Member<Label>> rows = labelRows();
  registry.add(describeType(kLabelType, "label", rows, createLabel));
}

}  // namespace kestrel::objects
