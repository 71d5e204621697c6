// The member tables of bitmap buttons (32) and flat buttons (51).
#include "objects/controls/buttons.h"
#include "objects/control_members.h"
#include "objects/controls/control_factory.h"
#include "objects/controls/glyph_rows.h"

namespace kestrel::objects {

namespace {

constexpr int32_t kFlatCanvasBase = 0x00D40000;

std::vector<Member<BitmapButton>> bitmapButtonRows() {
  using B = BitmapButton;
  std::vector<Member<B>> rows = {
      {11, "DragMove", "b", [](Machine& m, B& b) {
         skipByte(m);
         b.dragMove();
       }, nullptr, nullptr, "while the mouse button is down, the button follows the mouse until it is released"},
      field<&B::modalResult>(14, "ModalResult", "the form's modal result when the button is clicked"),
      property<&B::kind, &B::setKind>(
          18, "Kind", "0 custom, 1 OK, 2 Cancel, 3 Help, 4 Yes, 5 No, 6 Close, 7 Abort, 8 Retry, 9 Ignore, 10 All"),
      property<&B::cancel, &B::setCancel>(28, "Cancel", "flag: Escape clicks the button"),
      property<&B::isDefault, &B::setDefault>(29, "Default", "flag: Enter clicks the button"),
  };
  addGlyphRows(rows, 19, 20, 21, 22, 23);
  addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, .top = 5, .width = 6, .height = 2, .parent = 4,
                                     .font = 7, .popupMenu = 27, .enabled = 12, .visible = 13, .showHint = 15,
                                     .hint = 16, .color = 33, .cursor = 26, .align = 32, .tabOrder = 17,
                                     .handle = 30});
  addEventMembers(rows, EventCodes{.click = 3, .mouseDown = 10, .mouseUp = 25, .mouseMove = 24, .keyPress = 35,
                                   .keyDown = 34, .keyUp = 36, .startDrag = 8, .endDrag = 9, .message = 31});
  addFontMembers(rows, 200);
  return rows;
}

std::vector<Member<FlatButton>> flatButtonRows() {
  using F = FlatButton;
  std::vector<Member<F>> rows = {
      property<&F::allowAllUp, &F::setAllowAllUp>(8, "AllowAllUp", "flag: every button of the group may be up"),
      property<&F::downFlag, &F::setDown>(9, "Down", "flag: the button stays pressed (grouped buttons only)"),
      property<&F::flat, &F::setFlat>(10, "Flat", "flag: no frame until the mouse is over the button"),
      // No operand bytes at all, unlike the bitmap button's.
      action<&F::dragMove>(12, "DragMove",
                           "while the mouse button is down, the button follows the mouse until it is released"),
      property<&F::groupIndex, &F::setGroupIndex>(
          22, "GroupIndex", "buttons of one parent with the same nonzero index are down one at a time"),
      {26, "Handle", nullptr, nullptr,
       "", [](Machine&, F& b, EvalStacks& s) { s.pushNumber(canvasHandle(b, kFlatCanvasBase)); },
       "the handle of the button's canvas (it has no window of its own); messages may be sent to it"},
  };
  addGlyphRows(rows, 17, 18, 19, 20, 21);
  addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, .top = 5, .width = 6, .height = 2, .parent = 4,
                                     .font = 7, .enabled = 13, .visible = 14, .showHint = 15, .hint = 16,
                                     .cursor = 25, .align = 27});
  addEventMembers(rows, EventCodes{.click = 3, .mouseDown = 11, .mouseUp = 24, .mouseMove = 23});
  addFontMembers(rows, 200);
  return rows;
}

}  // namespace

void registerButtonTypes(TypeRegistry& registry) {
  static const std::vector<Member<BitmapButton>> bitmapRows = bitmapButtonRows();
  static const std::vector<Member<FlatButton>> flatRows = flatButtonRows();
  registry.add(describeType(kBitmapButtonType, "bitbtn", bitmapRows, createControl<BitmapButton>));
  registry.add(describeType(kFlatButtonType, "speedbtn", flatRows, createControl<FlatButton>));
}

}  // namespace kestrel::objects
