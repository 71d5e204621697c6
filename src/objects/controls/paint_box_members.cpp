// The member table of paint boxes (type 50). The cursor is set with code
// 22 and read with code 19, whose statement form binds the mouse-down
// handler.
#include <algorithm>

#include "objects/control_members.h"
#include "objects/controls/paint_box.h"
#include "objects/gui_state.h"

namespace kestrel::objects {

namespace {

void rotate(Machine& m, PaintBox& b) {
  const int32_t width = b.width();
  const int32_t height = b.height();
  checkPictureSize(std::max(width, 0), std::max(height, 0));
  canvas::rotate(m, b.canvasTarget(), height, width);
}

std::vector<Member<PaintBox>> paintBoxRows() {
  using P = PaintBox;
  using C = Control;
  std::vector<Member<P>> rows = {
      {19, "OnMouseDown", "H", [](Machine& m, P& b) { b.bindHandler(gui::EventKind::MouseDown, handlerOperand(m)); },
       "", [](Machine&, P& b, EvalStacks& s) { s.pushNumber(b.cursor()); },
       "button (0 left, 1 right, 2 middle), x, y, shift code; sender. A read gives the cursor number"},
      writeOnly<&C::setCursor>(22, "Cursor", "cursor number shown over the paint box (read it with code 19)"),
      property<&P::deviceContext, &P::setDeviceContext>(
          29, "Handle",
          "the canvas's device-context number; another canvas's number (a bitmap's, a paint box's) makes "
          "this canvas draw there, any other is ignored"),
      action<&P::repaint, Operand::IgnoredByte>(
          31, "Repaint", "paints now: with a paint handler, clears to the parent's colour and runs it"),
      {41, "Rotate", "EEE", rotate, nullptr, nullptr,
       "x, y, angle: turns the picture by angle degrees about (x, y) through the scratch bitmap"},
  };
  addCommonMembers(rows, CommonCodes{.left = 0, .top = 2, .width = 3, .height = 1, .clientWidth = 36,
                                     .clientHeight = 35, .parent = 10, .font = 4, .popupMenu = 26, .enabled = 14,
                                     .visible = 15, .showHint = 18, .hint = 17, .color = 16, .align = 34});
  addEventMembers(rows, EventCodes{.click = 6, .dblClick = 7, .mouseUp = 21, .mouseMove = 20, .paint = 5});
  addFontMembers(rows, 200);
  addCanvasMembers(rows, CanvasCodes{.textOut = 8, .line = 9, .floodFill = 11, .circle = 12, .rectangle = 13,
                                     .pset = 27, .pixel = 28, .fillRect = 25, .draw = 30, .copyMode = 32,
                                     .copyModeReadable = false, .copyRect = 33, .stretchDraw = 37, .textRect = 38,
                                     .textHeight = 39, .textWidth = 40});
  return rows;
}

std::unique_ptr<Object> createPaintBox(Machine& m, int type, int32_t) { return std::make_unique<PaintBox>(m, type); }

}  // namespace

void registerPaintBoxType(TypeRegistry& registry) {
  static const std::vector<Member<PaintBox>> rows = paintBoxRows();
  registry.add(describeType(kPaintBoxType, "paintbox", rows, createPaintBox));
}

}  // namespace kestrel::objects
