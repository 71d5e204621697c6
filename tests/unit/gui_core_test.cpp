// Forms and controls on the null toolkit: the common properties with their
// docking and tab-order rules, window messages by handle, the handler call
// and what it puts back after an error, modal runs without a window system,
// and the raster operations.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "asm/kasm.h"
#include "events/dispatch.h"
#include "image/program_image.h"
#include "core/machine.h"
#include "core/system_state.h"
#include "objects/controls/form.h"
#include "plain_control.h"
#include "state/store_kinds.h"
#include "toolkit/colors.h"
#include "toolkit/gui_types.h"
#include "toolkit/surface.h"
#include "toolkit/toolkit.h"

using namespace kestrel;
using namespace kestrel::objects;
using testsupport::PlainControl;

namespace {

struct Program {
  explicit Program(const std::string& source) : m(parseImage(kasm::assemble(source))) {}
  std::string run() {
    try {
      m.run();
    } catch (const RuntimeError& e) {
      return e.what();
    }
    return "";
  }
  double number(int kind, int index) { return loadNumber(kind, m.vars.scalarAt(kind, index)); }
  PlainControl& plain(int i) { return world(m).as<PlainControl>(testsupport::kPlainType, i); }
  Form& form(int i) { return world(m).as<Form>(kFormType, i); }
  gui::Rect bounds(int i) { return plain(i).bounds(); }
  Machine m;
};

// Registers the test family before any source names it.
[[maybe_unused]] const bool registered = [] {
  testsupport::registerPlainControl();
  return true;
}();

}  // namespace

TEST(Controls, DockingFollowsTheAlignRules) {
  Program r(R"(
    dim form:0
    dim plain:4
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 100
    set plain:0.Height = 10
    set plain:0.Parent = form:0
    set plain:0.Align = 1
    set plain:1.Top = 50
    set plain:1.Height = 15
    set plain:1.Parent = form:0
    set plain:1.Align = 1
    set plain:2.Height = 20
    set plain:2.Parent = form:0
    set plain:2.Align = 2
    set plain:3.Width = 30
    set plain:3.Parent = form:0
    set plain:3.Align = 4
    set plain:4.Parent = form:0
    set plain:4.Align = 5
  )");
  ASSERT_EQ(r.run(), "");
  // Top ones stack in the order of their Top, the bottom one takes the
  // bottom, the right one the height between, the client one the rest.
  EXPECT_EQ(r.bounds(0), gui::Rect::fromSize(0, 0, 200, 10));
  EXPECT_EQ(r.bounds(1), gui::Rect::fromSize(0, 10, 200, 15));
  EXPECT_EQ(r.bounds(2), gui::Rect::fromSize(0, 80, 200, 20));
  EXPECT_EQ(r.bounds(3), gui::Rect::fromSize(170, 25, 30, 55));
  EXPECT_EQ(r.bounds(4), gui::Rect::fromSize(0, 25, 170, 55));

  // The parent's new size docks them again; a hidden child takes no room.
  r.form(0).setClientSize({300, 120});
  r.plain(0).setVisible(0);
  EXPECT_EQ(r.bounds(1), gui::Rect::fromSize(0, 0, 300, 15));
  EXPECT_EQ(r.bounds(4), gui::Rect::fromSize(0, 15, 270, 85));
}

TEST(Controls, TabOrderFollowsThePositionsSet) {
  Program r(R"(
    dim form:0
    dim form:1
    dim plain:3
    dim font:0
    set plain:2.TabOrder = 0
    stdout plain:2.TabOrder
    set plain:0.Parent = form:0
    set plain:1.Parent = form:0
    set plain:2.Parent = form:0
    set plain:3.Parent = form:0
    set plain:3.TabOrder = 1
    set plain:1.TabOrder = 99
  )");
  ASSERT_EQ(r.run(), "");
  // Plain 2 asked for the first place before it had a parent; 3 moved to
  // the second place, 1 to the last (the position is clamped).
  EXPECT_EQ(r.plain(2).tabOrder(), 0);
  EXPECT_EQ(r.plain(3).tabOrder(), 1);
  EXPECT_EQ(r.plain(0).tabOrder(), 2);
  EXPECT_EQ(r.plain(1).tabOrder(), 3);
}

// One machine at a time: each keeps its stores in the low arena.
TEST(Controls, ParentsMustBeContainersOutsideTheControl) {
  auto fails = [](const std::string& statement) {
    Program e("    dim form:0\n    dim plain:1\n    dim stringlist:0\n" + statement);
    return e.run();
  };
  // Of the types so far only forms hold controls (the container lookup
  // asks any other type for a tab control).
  EXPECT_EQ(fails("    set plain:0.Parent = plain:1\n"), "Invalid class typecast");
  EXPECT_EQ(fails("    set plain:0.Font = form:0\n"), "Invalid class typecast");
  EXPECT_EQ(fails("    set plain:0.Parent = stringlist:0\n"), "Invalid class typecast");
  Program r("    dim plain:1\n");
  ASSERT_EQ(r.run(), "");
  r.plain(1).setParent(&r.plain(0));
  EXPECT_THROW(r.plain(0).setParent(&r.plain(0)), RuntimeError);
  EXPECT_THROW(r.plain(0).setParent(&r.plain(1)), RuntimeError);
  EXPECT_EQ(r.plain(0).parent(), nullptr);
}

TEST(Controls, NumbersRoundFlagsKeepTheirByteAndMissingValuesReadZero) {
  Program r(R"(
    dim plain:0
    dim double:5
    set plain:0.Left = 2.5
    let double:0 = plain:0.Left
    set plain:0.Left = 3.5
    let double:1 = plain:0.Left
    set plain:0.Visible = -1
    let double:2 = plain:0.Visible
    set plain:0.Visible = 256
    let double:3 = plain:0.Visible
    let double:4 = plain:0.Forgetful + 5
    set plain:0.FontSize = -7.9
    let double:5 = plain:0.FontSize
  )");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(kDouble, 0), 2);
  EXPECT_EQ(r.number(kDouble, 1), 4);
  EXPECT_EQ(r.number(kDouble, 2), 255);
  EXPECT_EQ(r.number(kDouble, 3), 0);
  EXPECT_EQ(r.number(kDouble, 4), 5);
  EXPECT_EQ(r.number(kDouble, 5), -7);
}

TEST(WindowMessages, DefaultHandlingByHandle) {
  Program r(R"(
    dim form:0
    dim plain:0
    set form:0.Caption = "Title"
  )");
  ASSERT_EQ(r.run(), "");
  const intptr_t form = r.form(0).handle();
  Toolkit& t = toolkit();
  EXPECT_EQ(t.sendMessage(form, gui::wm::kGetTextLength, 0, 0), 5);
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(t.sendMessage(form, gui::wm::kGetText, 4, reinterpret_cast<intptr_t>(buffer)), 3);
  EXPECT_STREQ(buffer, "Tit");
  const char* title = "New";
  EXPECT_EQ(t.sendMessage(form, gui::wm::kSetText, 0, reinterpret_cast<intptr_t>(title)), 1);
  EXPECT_EQ(r.form(0).caption().str(), "New");
  // A bad address is reported and the message yields 0.
  EXPECT_EQ(t.sendMessage(form, gui::wm::kSetText, 0, 8), 0);
  EXPECT_EQ(r.form(0).caption().str(), "New");

  EXPECT_FALSE(t.showWindow(form, gui::sw::kShow));
  EXPECT_EQ(r.form(0).visibleFlag(), 1);
  t.sendMessage(form, gui::wm::kEnable, 0, 0);
  EXPECT_EQ(r.form(0).enabledFlag(), 0);
  t.sendMessage(form, gui::wm::kShowWindow, 0, 0);
  EXPECT_EQ(r.form(0).visibleFlag(), 0);

  std::string text;
  EXPECT_TRUE(t.windowText(form, text));
  EXPECT_EQ(text, "New");
  EXPECT_FALSE(t.windowText(12345, text));
  const std::string cls = "TForm", name = "New";
  EXPECT_EQ(t.findWindow(&cls, &name), form);
  EXPECT_EQ(t.findWindow(nullptr, &name), form);
  const std::string plainClass = "TPlain";
  EXPECT_EQ(t.findWindow(&plainClass, nullptr), 0);  // controls are not top-level
  EXPECT_EQ(t.sendMessage(99999, gui::wm::kClose, 0, 0), 0);
  EXPECT_FALSE(t.postMessage(99999, gui::wm::kClose, 0, 0));
}

// Two hooked forms each keep their own hook: messages never reach the
// other one, and hooking a form again just replaces its handler.
TEST(WindowMessages, HooksArePerFormAndPostedMessagesWaitForTheLoop) {
  Program r(R"(
    dim form:1
    dim double:1
    set form:0.OnMessage = first
    set form:1.OnMessage = second
    set form:1.OnMessage = second
    goto done
.proc first
    let double:0 = double:0 + arg.double:1
    endproc
.proc second
    let double:1 = double:1 + arg.double:1
    endproc
done:
    dim int:0
  )");
  ASSERT_EQ(r.run(), "");
  toolkit().sendMessage(r.form(0).handle(), 1100, 0, 0);
  toolkit().sendMessage(r.form(1).handle(), 1200, 0, 0);
  EXPECT_EQ(r.number(kDouble, 0), 1100);
  EXPECT_EQ(r.number(kDouble, 1), 1200);
  EXPECT_TRUE(toolkit().postMessage(r.form(1).handle(), 5, 0, 0));
  EXPECT_EQ(r.number(kDouble, 1), 1200);
  events::processPending(r.m);
  EXPECT_EQ(r.number(kDouble, 1), 1205);
  EXPECT_EQ(r.m.frames.depth, 0);
}

// The mended fault: an error that escapes a handler leaves the read
// position, the call depth, the loops and the busy flag as a normal return
// does, so that the program and later events go on.
TEST(HandlerCall, AnErrorPutsTheInterpreterBack) {
  Program r(R"(
    dim form:0
    dim double:0
    set form:0.OnMouseMove = moved
    for double:0 = 1 to 3 step 1 else done
    next done
    goto done
.proc moved
    for double:0 = 1 to 3 step 1 else out
    gosub out
out:
    stdout 1 / 0
    endproc
done:
    dim int:0
  )");
  ASSERT_EQ(r.run(), "");
  const int32_t pos = r.m.pos;
  const size_t loops = r.m.ctl.loopTop;
  gui::InputEvent move{gui::EventKind::MouseMove};
  move.x = 4;
  move.y = 9;
  ::testing::internal::CaptureStderr();
  r.form(0).event(move);
  r.form(0).event(move);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("kestrel: error in an event handler: Floating point division by zero"), std::string::npos);
  // Both moves ran the handler: the mouse was not left busy.
  EXPECT_NE(err.find("zero", err.find("zero") + 1), std::string::npos);
  EXPECT_EQ(r.m.pos, pos);
  EXPECT_EQ(r.m.frames.depth, 0);
  EXPECT_EQ(r.m.ctl.loopTop, loops);
  EXPECT_EQ(r.m.ctl.subroutineCount, 0);
  EXPECT_FALSE(r.m.system->events.mouseBusy);
  EXPECT_EQ(r.m.system->events.mouseX, 4);
  EXPECT_EQ(r.m.system->events.mouseY, 9);
}

// The end statement in a handler ends the run once the byte code is back
// in control, and no handler runs until then.
TEST(HandlerCall, EndStatementWaitsForTheByteCode) {
  Program r(R"(
    dim form:0
    dim double:0
    set form:0.OnMessage = hook
    goto done
.proc hook
    let double:0 = double:0 + 1
    endprogram
    endproc
done:
    dim int:0
  )");
  ASSERT_EQ(r.run(), "");
  toolkit().postMessage(r.form(0).handle(), 1024, 0, 0);
  toolkit().postMessage(r.form(0).handle(), 1024, 0, 0);
  EXPECT_THROW(events::processPending(r.m), ProgramEnd);
  EXPECT_EQ(r.number(kDouble, 0), 1);
}

TEST(Forms, ModalRunsWithoutAWindowSystem) {
  Program r(R"(
    dim form:1
    dim double:2
    let double:0 = form:0.ShowModal
    set form:1.OnShow = shown
    set form:1.OnClose = closing
    let double:1 = form:1.ShowModal
    goto done
.proc shown
    set form:1.ModalResult = 6
    endproc
.proc closing
    let double:2 = arg.double:0
    endproc
done:
    dim int:0
  )");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(kDouble, 0), 2);  // nobody can answer: cancelled
  EXPECT_EQ(r.number(kDouble, 1), 6);
  EXPECT_EQ(r.number(kDouble, 2), 1);  // the close action offered: hide
  EXPECT_EQ(r.form(1).visibleFlag(), 0);
  // The form without a close handler suspended message hooks; Repaint
  // lets them run again.
  EXPECT_TRUE(r.m.system->events.dispatchSuspended);
  r.form(0).repaint();
  EXPECT_FALSE(r.m.system->events.dispatchSuspended);
}

TEST(Canvas, RasterOperationsAndColours) {
  using gui::rop::apply;
  const uint32_t p = 0x0000FF, s = 0x00FF00, d = 0x0F0F0F;
  EXPECT_EQ(apply(gui::rop::kSrcCopy, p, s, d), s);
  EXPECT_EQ(apply(gui::rop::kSrcPaint, p, s, d), s | d);
  EXPECT_EQ(apply(gui::rop::kSrcAnd, p, s, d), s & d);
  EXPECT_EQ(apply(gui::rop::kSrcInvert, p, s, d), s ^ d);
  EXPECT_EQ(apply(gui::rop::kSrcErase, p, s, d), s & (~d & 0xFFFFFF));
  EXPECT_EQ(apply(gui::rop::kNotSrcCopy, p, s, d), ~s & 0xFFFFFF);
  EXPECT_EQ(apply(gui::rop::kMergePaint, p, s, d), (~s | d) & 0xFFFFFF);
  EXPECT_EQ(apply(gui::rop::kPatCopy, p, s, d), p);
  EXPECT_EQ(apply(gui::rop::kPatInvert, p, s, d), p ^ d);
  EXPECT_EQ(apply(gui::rop::kDstInvert, p, s, d), ~d & 0xFFFFFF);
  EXPECT_EQ(apply(gui::rop::kBlackness, p, s, d), 0u);
  EXPECT_EQ(apply(gui::rop::kWhiteness, p, s, d), 0xFFFFFFu);

  EXPECT_EQ(gui::colorToRgb(0x12345678), 0x345678u);
  EXPECT_EQ(gui::colorToRgb(gui::kColorWindow), 0xFFFFFFu);
  EXPECT_EQ(gui::colorToRgb(gui::kColorButtonFace), 0xC8D0D4u);
  EXPECT_EQ(gui::FontDesc{}.pixelHeight(), 11);
  EXPECT_EQ(gui::longHint("short|long"), "long");
  EXPECT_EQ(gui::longHint("only"), "only");
}
