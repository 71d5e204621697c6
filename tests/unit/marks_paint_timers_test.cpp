// Check boxes, radio buttons, paint boxes and timers on the null toolkit:
// the rules of the engine objects (which change runs a click handler, the
// radio groups, the paint box's paints and codes, the timer's interval
// and when its toolkit timer runs).
#include <gtest/gtest.h>

#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "image/program_image.h"
#include "objects/controls/check_buttons.h"
#include "objects/controls/paint_box.h"
#include "objects/controls/timer.h"
#include "state/store_kinds.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

struct MarkRun {
  explicit MarkRun(const std::string& source) : m(parseImage(kasm::assemble(source))) {}
  std::string run() {
    try {
      m.run();
    } catch (const RuntimeError& e) {
      return e.what();
    }
    return "";
  }
  double number(int index) { return loadNumber(5, m.vars.scalarAt(5, index)); }
  template <class T>
  T& object(int type, int index) {
    return world(m).as<T>(type, index);
  }
  Machine m;
};

}  // namespace

// Setting Checked runs the click handler when the mark changes: twice the
// same value gives one click; only the low 8 bits count. A click from the
// window turns the box over.
TEST(CheckBoxes, ProgramChangesRunTheClickHandlerOnce) {
  MarkRun r(R"(
    dim checkbox:0
    dim long:9
    goto main
.proc clicked
    let long:0 = long:0 + 1
    let long:1 = long:1 * 10 + arg.checkbox:0.Checked
    endproc
main:
    set checkbox:0.OnClick = clicked
    set checkbox:0.Checked = 1
    set checkbox:0.Checked = -1
    set checkbox:0.Checked = 256
    let long:2 = checkbox:0.Checked
    set checkbox:0.Checked = 0.6
    let long:3 = checkbox:0.Checked
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 3);
  EXPECT_EQ(r.number(1), 101);
  EXPECT_EQ(r.number(2), 0) << "256 is false";
  EXPECT_EQ(r.number(3), 1) << "-1 and 0.6 read 1";
  auto& box = r.object<CheckBox>(kCheckBoxType, 0);
  gui::InputEvent click{gui::EventKind::Click};
  box.event(click);
  EXPECT_FALSE(box.checked());
  EXPECT_FALSE(box.peer().checked());
  gui::InputEvent twice{gui::EventKind::DblClick};
  box.event(twice);
  EXPECT_TRUE(box.checked());
  EXPECT_EQ(r.number(0), 5);
}

// Radio buttons keep their flag byte; turning one on turns off the others
// of its parent (not those of another parent, nor parentless ones) and
// runs only its own click handler; turning off runs none.
TEST(RadioButtons, GroupsByParentAndFlagBytes) {
  MarkRun r(R"(
    dim form:0
    dim panel:0
    dim radiobutton:4
    dim long:9
    goto main
.proc clicked
    let long:0 = long:0 + 1
    endproc
main:
    set radiobutton:0.Parent = form:0
    set radiobutton:1.Parent = form:0
    set radiobutton:2.Parent = panel:0
    set radiobutton:0.OnClick = clicked
    set radiobutton:1.OnClick = clicked
    set radiobutton:2.OnClick = clicked
    set radiobutton:3.OnClick = clicked
    set radiobutton:0.Checked = -1
    let long:1 = radiobutton:0.Checked
    set radiobutton:0.Checked = 1
    set radiobutton:2.Checked = 1
    set radiobutton:3.Checked = 1
    set radiobutton:1.Checked = 1
    let long:2 = radiobutton:0.Checked
    let long:3 = radiobutton:2.Checked + radiobutton:3.Checked
    set radiobutton:1.Checked = 0
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(1), 255);
  EXPECT_EQ(r.number(2), 0);
  EXPECT_EQ(r.number(3), 2);
  EXPECT_EQ(r.number(0), 4) << "one click for each button turned on";
  auto& first = r.object<RadioButton>(kRadioButtonType, 0);
  EXPECT_FALSE(first.peer().checked());
  gui::InputEvent click{gui::EventKind::Click};
  first.event(click);
  first.event(click);
  EXPECT_EQ(first.checkedFlag(), 1);
  EXPECT_EQ(r.number(0), 5) << "a click on a button that is on changes nothing";
}

// The paint box's Repaint runs the paint handler at once; inside the
// handler it asks for another paint, which the event loop runs. The cursor
// is written with code 22 and read with code 19 (whose statement form
// binds the mouse-down handler); Color follows the parent's until set.
TEST(PaintBoxes, RepaintCursorCodesAndColour) {
  MarkRun r(R"(
    dim form:0
    dim paintbox:0
    dim long:9
    goto main
.proc paint
    let long:0 = long:0 + 1
    ifnot long:0 = 1 goto once
    set paintbox:0.Repaint
    let long:1 = long:0
once:
    endproc
.proc down
    endproc
main:
    set form:0.Color = 255
    set paintbox:0.Parent = form:0
    let long:2 = paintbox:0.Color
    set paintbox:0.OnPaint = paint
    set paintbox:0.Repaint
    let long:3 = long:0
    doevents
    set paintbox:0.Cursor = -3
    let long:4 = paintbox:0.OnMouseDown
    set paintbox:0.OnMouseDown = down
    set paintbox:0.Color = 65280
    set form:0.Color = 16711680
    let long:5 = paintbox:0.Color
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(2), 255);
  EXPECT_EQ(r.number(1), 1) << "the inner Repaint ran nothing at once";
  EXPECT_EQ(r.number(3), 1);
  EXPECT_EQ(r.number(0), 2) << "the event loop ran the paint asked for";
  EXPECT_EQ(r.number(4), -3);
  EXPECT_EQ(r.number(5), 65280);
  auto& box = r.object<PaintBox>(kPaintBoxType, 0);
  EXPECT_NE(box.handlerFor(gui::EventKind::MouseDown), 0);
  EXPECT_FALSE(box.peer().paintRequested());
}

// Handle: a bitmap's or another paint box's device-context number makes
// the canvas draw there; any other number is ignored; its own number
// brings it back.
TEST(PaintBoxes, HandleNamesTheCanvasDrawnOn) {
  MarkRun r(R"(
    dim paintbox:1
    dim bitmap:0
    dim long:9
    let long:0 = paintbox:0.Handle
    set paintbox:0.Handle = 12345
    let long:1 = paintbox:0.Handle
    set paintbox:0.Handle = bitmap:0.Handle
    let long:2 = paintbox:0.Handle
    set paintbox:1.Handle = long:0
    set paintbox:0.Handle = long:0 + 4
    let long:3 = paintbox:0.Handle
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(1), r.number(0));
  EXPECT_EQ(r.number(2), 0x00C00000);
  auto& first = r.object<PaintBox>(kPaintBoxType, 0);
  auto& second = r.object<PaintBox>(kPaintBoxType, 1);
  EXPECT_EQ(r.number(3), r.number(0) + 4);
  EXPECT_EQ(&first.canvasTarget().surface, &second.peer().picture());
  EXPECT_EQ(&second.canvasTarget().surface, &first.peer().picture()) << "each draws on the other's own picture";
  first.setDeviceContext(static_cast<int32_t>(r.number(0)));
  EXPECT_EQ(&first.canvasTarget().surface, &first.peer().picture());
}

// Interval is kept unsigned and read back as set; 0, a negative value,
// a disabled timer or one without a handler leave the toolkit's timer
// stopped; any value but 0 enables it.
TEST(Timers, IntervalEnabledAndWhenTheTimerRuns) {
  MarkRun r(R"(
    dim timer:1
    dim long:9
    dim double:0
    goto main
.proc tick
    let long:9 = long:9 + 1
    endproc
main:
    let long:0 = timer:0.Interval
    let long:1 = timer:0.Enabled
    set timer:0.Interval = -1
    let double:0 = timer:0.Interval
    set timer:0.Interval = 3000000000
    set timer:0.Interval = 2.5
    let long:2 = timer:0.Interval
    set timer:0.Enabled = 0.5
    let long:3 = timer:0.Enabled
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 1000);
  EXPECT_EQ(r.number(1), 1);
  EXPECT_EQ(loadNumber(7, r.m.vars.scalarAt(7, 0)), 4294967295.0);
  EXPECT_EQ(r.number(2), 2) << "rounded, ties to even";
  EXPECT_EQ(r.number(3), 1);

  auto& t = r.object<Timer>(kTimerType, 0);
  EXPECT_FALSE(t.peer().running()) << "no handler yet";
  t.bindTick(4);
  EXPECT_TRUE(t.peer().running());
  EXPECT_EQ(t.peer().interval(), 2);
  t.setInterval(0);
  EXPECT_FALSE(t.peer().running());
  t.setInterval(0xFFFFFFFFu);
  EXPECT_FALSE(t.peer().running());
  t.setInterval(50);
  EXPECT_TRUE(t.peer().running());
  t.setEnabled(false);
  EXPECT_FALSE(t.peer().running());
  t.setEnabled(true);
  t.bindTick(0);
  EXPECT_FALSE(t.peer().running());
  t.tick();  // unbound: nothing runs
  EXPECT_EQ(r.number(9), 0);
}

// A paint box is no container: naming it as a Parent is a cast error.
TEST(PaintBoxes, HoldNoControls) {
  MarkRun r("    dim paintbox:0\n    dim checkbox:0\n    set checkbox:0.Parent = paintbox:0\n");
  EXPECT_EQ(r.run(), "Invalid class typecast");
}
