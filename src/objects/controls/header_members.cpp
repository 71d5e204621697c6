// The member table of header controls (type 80).
#include "objects/control_members.h"
#include "objects/controls/header_control.h"

namespace kestrel::objects {

namespace {

// Section property selectors.
enum SectionSelector {
  kSectionText = 0,
  kSectionWidth = 3,
  kSectionAlignment = 4,
  kSectionAllowClick = 5,
  kSectionMaxWidth = 6,
  kSectionMinWidth = 7,
  kSectionStyle = 8,
};

// Index, selector byte, value. A selector the header does not have
// evaluates the value and changes nothing.
void writeSection(Machine& m, HeaderControl& h) {
  const int32_t index = numberOperand(m);
  const int selector = byteOperand(m);
  if (selector == kSectionText) {
    Str text = stringOperand(m);
    gui::HeaderSection& s = h.sectionAt(index);
    s.text = text.str();
    h.sectionChanged(s);
    return;
  }
  if (selector == kSectionAllowClick) {
    const uint8_t flag = flagOperand(m);
    gui::HeaderSection& s = h.sectionAt(index);
    s.allowClick = flag != 0;
    h.sectionChanged(s);
    return;
  }
  int32_t gui::HeaderSection::*field = nullptr;
  switch (selector) {
    case kSectionWidth: field = &gui::HeaderSection::width; break;
    case kSectionAlignment: field = &gui::HeaderSection::alignment; break;
    case kSectionMaxWidth: field = &gui::HeaderSection::maxWidth; break;
    case kSectionMinWidth: field = &gui::HeaderSection::minWidth; break;
    case kSectionStyle: field = &gui::HeaderSection::style; break;
    default: ignoredOperand(m); return;
  }
  const int32_t value = numberOperand(m);
  gui::HeaderSection& s = h.sectionAt(index);
  s.*field = value;
  h.sectionChanged(s);
}

// Index, selector byte; a selector the header does not have reads 0.
void readSection(Machine& m, HeaderControl& h, EvalStacks& st) {
  const int32_t index = numberOperand(m);
  const int selector = byteOperand(m);
  const auto section = [&]() -> gui::HeaderSection& { return h.sectionAt(index); };
  switch (selector) {
    case kSectionText: st.pushString(Str(section().text)); break;
    case kSectionWidth: st.pushNumber(section().width); break;
    case kSectionAlignment: st.pushNumber(section().alignment); break;
    case kSectionAllowClick: pushBool(st, section().allowClick); break;
    case kSectionMaxWidth: st.pushNumber(section().maxWidth); break;
    case kSectionMinWidth: st.pushNumber(section().minWidth); break;
    case kSectionStyle: st.pushNumber(section().style); break;
    default: st.pushNumber(0); break;
  }
}

template <class T>
void textMeasureRows(std::vector<Member<T>>& rows) {
  rows.push_back({42, "TextHeight", "E", [](Machine& m, T&) { ignoredOperand(m); }, "E",
                  [](Machine& m, T& o, EvalStacks& s) { canvas::textHeight(m, o.canvasTarget(), s); },
                  "text: its height in pixels in the header's font (writing evaluates a value and ignores it)"});
  rows.push_back({43, "TextWidth", "E", [](Machine& m, T&) { ignoredOperand(m); }, "E",
                  [](Machine& m, T& o, EvalStacks& s) { canvas::textWidth(m, o.canvasTarget(), s); },
                  "text: its width in pixels in the header's font (writing evaluates a value and ignores it)"});
}

std::vector<Member<HeaderControl>> headerRows() {
  using H = HeaderControl;
  std::vector<Member<H>> rows = {
      property<&H::hotTrack, &H::setHotTrack>(13, "HotTrack", "flag: the section under the mouse lights up"),
      readOnly<&H::sectionCount>(15, "SectionCount", "the number of sections"),
      {16, "Section", "EBE", writeSection, "EB", readSection,
       "index, selector (0 Text, 3 Width, 4 Alignment, 5 AllowClick, 6 MaxWidth, 7 MinWidth, 8 Style 1: drawn by "
       "OnDrawSection), value; a read gives the value (0 for other selectors)"},
      {26, "AddSections", "L",
       [](Machine& m, H& h) { forEachArgument(m, [&] { h.addSection(stringOperand(m)); }); }, nullptr, nullptr,
       "texts: adds one section with each text, in order"},
      action<&H::clearSections, Operand::IgnoredByte>(27, "ClearSections", "removes every section"),
      action<&H::repaint, Operand::IgnoredByte>(41, "Repaint",
                                                "clears what was drawn on the canvas and draws the sections again"),
  };
  addCommonMembers(rows, CommonCodes{.left = 0, .top = 2, .width = 3, .height = 1, .clientWidth = 5,
                                     .clientHeight = 4, .parent = 12, .font = 14, .popupMenu = 25, .enabled = 7,
                                     .visible = 8, .showHint = 11, .hint = 10, .cursor = 9, .align = 6});
  addEventMembers(rows, EventCodes{.mouseDown = 22, .mouseUp = 24, .mouseMove = 23, .resize = 18,
                                   .sectionClick = 19, .sectionResize = 20, .sectionTrack = 21, .drawSection = 17});
  addCanvasMembers(rows, CanvasCodes{.textOut = 28, .line = 29, .floodFill = 30, .circle = 31, .rectangle = 32,
                                     .pset = 34, .pixel = 35, .fillRect = 33, .draw = 36, .copyMode = 37,
                                     .copyRect = 38, .stretchDraw = 39, .textRect = 40});
  textMeasureRows(rows);
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createHeader(Machine& m, int type, int32_t) {
  return std::make_unique<HeaderControl>(m, type);
}

}  // namespace

void registerHeaderType(TypeRegistry& registry) {
  static const std::vector<Member<HeaderControl>> rows = headerRows();
  registry.add(describeType(kHeaderType, "header", rows, createHeader));
}

}  // namespace kestrel::objects
