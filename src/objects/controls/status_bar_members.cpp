// The member table of status bars (type 60).
#include "objects/control_members.h"
#include "objects/controls/status_bar.h"

namespace kestrel::objects {

namespace {

// Panel property selectors.
constexpr int kPanelText = 0;
constexpr int kPanelWidth = 3;
constexpr int kPanelAlignment = 4;

// Index, selector byte, value. A selector the bar does not have evaluates
// the value and changes nothing.
void writePanel(Machine& m, StatusBar& bar) {
  const int32_t index = numberOperand(m);
  const int selector = byteOperand(m);
  switch (selector) {
    case kPanelText: {
      Str text = stringOperand(m);
      bar.panelAt(index).text = std::move(text);
      break;
    }
    case kPanelWidth: {
      const int32_t width = numberOperand(m);
      bar.panelAt(index).width = width;
      break;
    }
    case kPanelAlignment: {
      const int32_t alignment = numberOperand(m);
      bar.panelAt(index).alignment = alignment;
      break;
    }
    default: ignoredOperand(m); return;
  }
  bar.panelChanged();
}

// Index, selector byte; a selector the bar does not have reads 0.
void readPanel(Machine& m, StatusBar& bar, EvalStacks& s) {
  const int32_t index = numberOperand(m);
  const int selector = byteOperand(m);
  switch (selector) {
    case kPanelText: s.pushString(bar.panelAt(index).text); break;
    case kPanelWidth: s.pushNumber(bar.panelAt(index).width); break;
    case kPanelAlignment: s.pushNumber(bar.panelAt(index).alignment); break;
    default: s.pushNumber(0); break;
  }
}

std::vector<Member<StatusBar>> statusBarRows() {
  using S = StatusBar;
  std::vector<Member<S>> rows = {
      property<&S::simplePanel, &S::setSimplePanel>(11, "SimplePanel", "flag: one simple text instead of the panels"),
      property<&S::simpleText, &S::setSimpleText>(12, "SimpleText", "the text shown while SimplePanel is set"),
      property<&S::sizeGrip, &S::setSizeGrip>(13, "SizeGrip", "flag: a size grip in the bottom-right corner"),
      {15, "AddPanels", "L",
       [](Machine& m, S& bar) { forEachArgument(m, [&] { bar.addPanel(stringOperand(m)); }); }, nullptr, nullptr,
       "texts: adds one panel with each text, in order"},
      action<&S::clearPanels, Operand::IgnoredByte>(16, "ClearPanels", "removes every panel"),
      {17, "Panel", "EBE", writePanel, "EB", readPanel,
       "index, selector (0 Text, 3 Width, 4 Alignment 0 left 1 right 2 centred), value; a read gives the value "
       "(0 for other selectors)"},
  };
  addCommonMembers(rows, CommonCodes{.left = 1, .top = 3, .width = 4, .height = 2, .parent = 5, .popupMenu = 18,
                                     .enabled = 7, .visible = 8, .showHint = 9, .hint = 10, .cursor = 6, .align = 0,
                                     .tabOrder = 14});
  addEventMembers(rows, EventCodes{.resize = 19});
  return rows;
}

std::unique_ptr<Object> createStatusBar(Machine& m, int type, int32_t) {
  return std::make_unique<StatusBar>(m, type);
}

}  // namespace

void registerStatusBarType(TypeRegistry& registry) {
  static const std::vector<Member<StatusBar>> rows = statusBarRows();
  registry.add(describeType(kStatusBarType, "statusbar", rows, createStatusBar));
}

}  // namespace kestrel::objects
