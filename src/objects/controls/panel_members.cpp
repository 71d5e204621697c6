// The member table of panels (type 33).
#include "objects/control_members.h"
#include "objects/controls/panel.h"

namespace kestrel::objects {

namespace {

std::vector<Member<Panel>> panelRows() {
  using P = Panel;
  std::vector<Member<P>> rows = {
      property<&P::bevelInner, &P::setBevelInner>(9, "BevelInner", "inner bevel: 0 none, 1 lowered, 2 raised"),
      property<&P::bevelOuter, &P::setBevelOuter>(10, "BevelOuter", "outer bevel: 0 none, 1 lowered, 2 raised"),
      property<&P::bevelWidth, &P::setBevelWidth>(11, "BevelWidth", "width of each bevel in pixels"),
      property<&P::borderStyle, &P::setBorderStyle>(12, "BorderStyle", "0 none, 1 a single line around the panel"),
      property<&P::alignment, &P::setAlignment>(21, "Alignment", "caption 0 left, 1 right, 2 centred"),
      action<&P::paint, Operand::IgnoredByte>(29, "Repaint", "paints the panel again"),
  };
  addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, .top = 4, .width = 5, .height = 2, .clientWidth = 7,
                                     .clientHeight = 6, .parent = 3, .font = 13, .popupMenu = 25, .enabled = 14,
                                     .visible = 15, .showHint = 23, .hint = 24, .color = 20, .cursor = 19,
                                     .align = 28, .tabOrder = 30, .handle = 26});
  addEventMembers(rows, EventCodes{.click = 8, .dblClick = 22, .mouseDown = 16, .mouseUp = 18, .mouseMove = 17,
                                   .message = 27});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createPanel(Machine& m, int type, int32_t) { return std::make_unique<Panel>(m, type); }

}  // namespace

void registerPanelType(TypeRegistry& registry) {
  static const std::vector<Member<Panel>> rows = panelRows();
  registry.add(describeType(kPanelType, "panel", rows, createPanel));
}

}  // namespace kestrel::objects
