// The member table of oval buttons (type 64).
#include "objects/controls/glyph_rows.h"
#include "objects/controls/oval_button.h"

namespace kestrel::objects {

namespace {

std::vector<Member<OvalButton>> ovalButtonRows() {
  using O = OvalButton;
  std::vector<Member<O>> rows = {
      property<&O::downFlag, &O::setDown>(9, "Down", "flag: the button stays pressed (grouped buttons only)"),
      property<&O::flat, &O::setFlat>(10, "Flat", "flag: no edge until the mouse is over the button"),
      action<&O::dragMove>(12, "DragMove",
                           "while the mouse button is down, the button follows the mouse until it is released"),
      {21, "GlyphResource", "bB", [](Machine& m, O& b) { b.glyphResourceAfterByte(m); }, nullptr, nullptr,
       "an ignored byte, then a resource number: loads the glyph from that resource"},
      property<&O::groupIndex, &O::setGroupIndex>(
          22, "GroupIndex", "buttons of one parent with the same nonzero index are down one at a time"),
      property<&O::colorHighlight, &O::setColorHighlight>(26, "ColorHighlight", "colour of the lit edge"),
      property<&O::colorShadow, &O::setColorShadow>(27, "ColorShadow", "colour of the shaded edge"),
      property<&O::transparent, &O::setTransparent>(28, "Transparent", "flag: no face, the parent shows through"),
      property<&O::transparentColor, &O::setTransparentColor>(29, "TransparentColor",
                                                              "the glyph's colour that is left out"),
      action<&O::repaint, Operand::IgnoredByte>(30, "Repaint", "paints the button again"),
  };
  addGlyphRows(rows, 17, 18, 19, 20, -1);
  addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, .top = 5, .width = 6, .height = 2, .parent = 4,
                                     .font = 7, .enabled = 13, .visible = 14, .showHint = 15, .hint = 16,
                                     .color = 8, .cursor = 25, .align = 32});
  addEventMembers(rows, EventCodes{.click = 3, .mouseDown = 11, .mouseUp = 24, .mouseMove = 23});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createOvalButton(Machine& m, int type, int32_t) {
  return std::make_unique<OvalButton>(m, type);
}

}  // namespace

void registerOvalButtonType(TypeRegistry& registry) {
  static const std::vector<Member<OvalButton>> rows = ovalButtonRows();
  registry.add(describeType(kOvalButtonType, "ovalbtn", rows, createOvalButton));
}

}  // namespace kestrel::objects
