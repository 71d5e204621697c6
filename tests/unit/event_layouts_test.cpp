// The argument layouts of events/dispatch.h that families raise
// themselves: what each handler gets in which slot, what is read back, and
// what the caller gets when no handler runs or the handler fails.
#include <gtest/gtest.h>

#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "events/dispatch.h"
#include "image/program_image.h"
#include "core/system_state.h"
#include "objects/object_model.h"
#include "plain_control.h"
#include "state/store_kinds.h"

using namespace kestrel;
using testsupport::PlainControl;

namespace {

[[maybe_unused]] const bool registered = [] {
  testsupport::registerPlainControl();
  return true;
}();

// The handlers record the numbers they get in double:0 to double:2 and
// leave slot 1 and 2 changed (`answer`), or fail (`fails`), or append "!"
// to string slot 1 (`rename`). Their positions are bound to plain:0's
// click, mouse-down and key-down slots, where the tests find them.
struct Handlers {
  Handlers()
      : m(parseImage(kasm::assemble(R"(
    dim plain:0
    dim double:3
    dim str:0
    set plain:0.OnClick = answer
    set plain:0.OnMouseDown = fails
    set plain:0.OnKeyDown = rename
    goto done
.proc answer
    let double:0 = arg.double:0
    let double:1 = arg.double:1
    let double:2 = arg.double:2
    let arg.double:1 = 10.5
    let arg.double:2 = 0
    endproc
.proc fails
    let arg.double:1 = 1 / 0
    endproc
.proc rename
    let double:0 = arg.double:0
    let arg.str:1 = arg.str:1 + "!"
    endproc
done:
    dim int:0
  )"))) {
    m.run();
    PlainControl& p = objects::world(m).as<PlainControl>(testsupport::kPlainType, 0);
    sender = p.sender();
    answer = p.handlerFor(gui::EventKind::Click);
    fails = p.handlerFor(gui::EventKind::MouseDown);
    rename = p.handlerFor(gui::EventKind::KeyDown);
  }
  double number(int index) { return loadNumber(kDouble, m.vars.scalarAt(kDouble, index)); }
  events::Sender senderIn(int slot) {
    const ByRefSlot& s = m.frames.byRef(0, slot);
    return {s.kind, s.index};
  }

  Machine m;
  events::Sender sender;
  int32_t answer = 0, fails = 0, rename = 0;
};

}  // namespace

TEST(EventLayouts, ReadBackSlotsComeBackRounded) {
  Handlers h;
  EXPECT_EQ(events::scroll(h.m, h.answer, h.sender, 3, 7), 10);  // 10.5 rounds to even
  EXPECT_EQ(h.number(0), 3);
  EXPECT_EQ(h.number(1), 7);
  EXPECT_EQ(h.senderIn(2).type, testsupport::kPlainType);
  EXPECT_EQ(events::measureItem(h.m, h.answer, h.sender, 4, 16, true), 10);
  EXPECT_EQ(h.number(1), 16);
  EXPECT_FALSE(events::selectCell(h.m, h.answer, h.sender, 1, 2, true));
  EXPECT_EQ(h.number(2), 1);
  EXPECT_EQ(h.senderIn(3).type, testsupport::kPlainType);
  EXPECT_TRUE(events::query(h.m, h.answer, h.sender, 9, false));  // 10.5 is not 0: allowed
  EXPECT_EQ(h.number(1), 0);
  EXPECT_EQ(events::edited(h.m, h.rename, h.sender, 5, Str("name")).str(), "name!");
  EXPECT_EQ(h.number(0), 5);
  EXPECT_EQ(h.senderIn(2).index, 0);
}

TEST(EventLayouts, WithoutAHandlerOrAfterAFailureTheValuePassedInStays) {
  Handlers h;
  EXPECT_EQ(events::scroll(h.m, 0, h.sender, 3, 7), 7);
  EXPECT_TRUE(events::selectCell(h.m, 0, h.sender, 1, 2, true));
  EXPECT_EQ(events::edited(h.m, 0, h.sender, 5, Str("name")).str(), "name");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(events::scroll(h.m, h.fails, h.sender, 3, 7), 7);
  EXPECT_FALSE(events::query(h.m, h.fails, h.sender, 1, false));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("division by zero"), std::string::npos);
  EXPECT_EQ(h.m.frames.depth, 0);
}

// Owner draw passes the rectangle object by reference before the sender,
// and runs with the list-draw-busy flag set; a call that drops while busy
// runs nothing.
TEST(EventLayouts, OwnerDrawPassesTheRectangleAndHonoursTheBusyFlag) {
  Handlers h;
  const events::Sender rectangle{68, 50};
  events::drawItem(h.m, h.answer, h.sender, 6, true, rectangle, true);
  EXPECT_EQ(h.number(0), 6);
  EXPECT_EQ(h.number(1), 0);  // 0: selected
  EXPECT_EQ(h.senderIn(2).type, 68);
  EXPECT_EQ(h.senderIn(2).index, 50);
  EXPECT_EQ(h.senderIn(3).type, testsupport::kPlainType);
  events::drawCell(h.m, h.answer, h.sender, 2, 3, true, rectangle, true);
  EXPECT_EQ(h.number(2), 1);  // 1: selected
  EXPECT_EQ(h.senderIn(3).index, 50);
  EXPECT_FALSE(h.m.system->events.listDrawBusy);

  h.m.system->events.listDrawBusy = true;
  events::drawItem(h.m, h.answer, h.sender, 8, false, rectangle, true);
  EXPECT_EQ(h.number(0), 2);  // dropped
  EXPECT_EQ(events::measureItem(h.m, h.answer, h.sender, 8, 16, true), 16);
  events::drawItem(h.m, h.answer, h.sender, 8, false, rectangle, false);
  EXPECT_EQ(h.number(0), 8);
  EXPECT_EQ(h.number(1), 1);
  EXPECT_TRUE(h.m.system->events.listDrawBusy);
}
