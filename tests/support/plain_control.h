#pragma once
// A control family for the tests: a plain window with the common
// properties, the font sub-members and a few events. It is also the
// smallest complete family (docs/architecture.md shows how one is made).
#include <vector>

#include "objects/control.h"
#include "objects/control_members.h"
#include "toolkit/toolkit.h"

namespace kestrel::testsupport {

inline constexpr int kPlainType = 99;  // a code no family of the run-time uses

class PlainControl : public objects::ControlOf<gui::WindowPeer> {
 public:
  PlainControl(Machine& m, int type) : ControlOf(m, type) {
    setBounds(gui::Rect::fromSize(0, 0, 50, 20));
  }
  const char* windowClass() const override { return "TPlain"; }
};

inline void registerPlainControl() {
  using objects::Member;
  static const std::vector<Member<PlainControl>> rows = [] {
    std::vector<Member<PlainControl>> r = {
        // A read that forgets to push: the dispatcher pushes 0 for it.
        {35, "Forgetful", nullptr, nullptr, "", [](Machine&, PlainControl&, EvalStacks&) {}},
    };
    objects::addCommonMembers(
        r, objects::CommonCodes{.caption = 0, .left = 1, .top = 2, .width = 3, .height = 4, .clientWidth = 5,
                                .clientHeight = 6, .parent = 7, .font = 8, .popupMenu = 9, .enabled = 10,
                                .visible = 11, .showHint = 12, .hint = 13, .color = 14, .cursor = 15,
                                .align = 16, .tabOrder = 17, .handle = 18});
    objects::addEventMembers(
        r, objects::EventCodes{.click = 30, .mouseDown = 31, .keyPress = 33, .keyDown = 32, .message = 34});
    objects::addFontMembers(r, 200);
    return r;
  }();
  objects::TypeRegistry::instance().add(objects::describeType(
      kPlainType, "plain", rows, [](Machine& m, int type, int32_t) -> std::unique_ptr<objects::Object> {
        return std::make_unique<PlainControl>(m, type);
      }));
}

}  // namespace kestrel::testsupport
