// The member table of glass frames (type 76).
#include "objects/control_members.h"
#include "objects/controls/glass_frame.h"

namespace kestrel::objects {

namespace {

using G = GlassFrame;
constexpr int kCreateMember = 23;

std::vector<Member<G>> glassFrameRows() {
  std::vector<Member<G>> rows = {
      {13, "DC", "E", [](Machine& m, G& g) { g.setCanvasHandle(numberOperand(m)); },
       "", [](Machine&, G& g, EvalStacks& s) { s.pushNumber(static_cast<double>(g.canvasHandle())); },
       "the device-context handle of the frame's canvas; writing accepts only that handle"},
      property<&G::moveable, &G::setMoveable>(15, "Moveable", "flag: the user may move the frame"),
      property<&G::transparency, &G::setTransparency>(
          16, "Transparency", "opacity of the tint, 0 clear to 255 solid (clamped)"),
      property<&G::transpColor, &G::setTranspColor>(17, "TranspColor", "the colour that counts as see-through"),
      {kCreateMember, "Create", "O", [](Machine& m, G& g) { g.create(containerOperand(m)); }, nullptr, nullptr,
       "container object: makes the frame inside it (again: moves it there)"},
  };
  addCommonMembers(rows, CommonCodes{.left = 0, .top = 2, .width = 3, .height = 1, .clientWidth = 5,
                                     .clientHeight = 4, .popupMenu = 11, .enabled = 7, .visible = 8, .showHint = 9,
                                     .hint = 10, .color = 6, .cursor = 12, .align = 14});
  addEventMembers(rows, EventCodes{.click = 18, .dblClick = 19, .mouseDown = 20, .mouseUp = 22, .mouseMove = 21});
  return rows;
}

std::unique_ptr<Object> createGlassFrame(Machine& m, int type, int32_t) { return std::make_unique<G>(m, type); }

// The table's own dispatch, behind the check that the frame exists.
bool (*tableWrite)(const TypeDescriptor&, Machine&, Object&, int) = nullptr;
bool (*tableRead)(const TypeDescriptor&, Machine&, Object&, int, EvalStacks&) = nullptr;

}  // namespace

void registerGlassFrameType(TypeRegistry& registry) {
  static const std::vector<Member<G>> rows = glassFrameRows();
  TypeDescriptor d = describeType(kGlassFrameType, "glassframe", rows, createGlassFrame);
  tableWrite = d.write;
  tableRead = d.read;
  d.write = [](const TypeDescriptor& t, Machine& m, Object& o, int member) {
    if (member != kCreateMember) static_cast<G&>(o).requireCreated();
    return tableWrite(t, m, o, member);
  };
  d.read = [](const TypeDescriptor& t, Machine& m, Object& o, int member, EvalStacks& s) {
    static_cast<G&>(o).requireCreated();
    return tableRead(t, m, o, member, s);
  };
  registry.add(std::move(d));
}

}  // namespace kestrel::objects
