// Check boxes, radio buttons, paint boxes and timers on Qt, offscreen:
// clicks and Space reach the program as state changes, radio buttons are
// grouped by parent, a paint box paints from the event loop and keeps its
// picture, timers tick, stay idle at interval 0 and never nest; the large
// canvas cases (a flood fill of a big area, Rotate of thin pictures).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <ctime>

#include "gui_support.h"
#include "objects/controls/check_buttons.h"
#include "objects/controls/paint_box.h"
#include "objects/controls/timer.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

template <class T>
T& object(Program& p, int type, int index) {
  return objects::world(p.machine()).as<T>(type, index);
}

QWidget* widgetOf(objects::Control& c) { return dynamic_cast<qt::QtWidgetHolder&>(c.peer()).heldWidget(); }

// Lets the event loop run until `done` holds (at most two seconds).
template <class F>
bool waitFor(F done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 2000) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  return done();
}

double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace

// A mouse click anywhere on a check box, its caption too, and Space turn
// it over; each change runs the click handler once. Radio buttons of one
// parent are one group, those of another parent another.
TEST(MarkButtons, ClicksSpaceAndGroupsByParent) {
  Program p(R"(
    dim form:0
    dim panel:0
    dim checkbox:0
    dim radiobutton:3
    dim int:1
    goto main
.proc clicked
    let int:0 = int:0 + 1
    endproc
.proc radio
    let int:1 = int:1 + 1
    endproc
main:
    set form:0.Show
    set panel:0.Parent = form:0
    set panel:0.Top = 100
    set checkbox:0.Parent = form:0
    set checkbox:0.Caption = "A long caption"
    set checkbox:0.Width = 200
    set checkbox:0.OnClick = clicked
    set radiobutton:0.Parent = form:0
    set radiobutton:0.Top = 30
    set radiobutton:1.Parent = form:0
    set radiobutton:1.Top = 50
    set radiobutton:2.Parent = panel:0
    set radiobutton:3.Parent = panel:0
    set radiobutton:3.Top = 20
    set radiobutton:0.OnClick = radio
    set radiobutton:1.OnClick = radio
    set radiobutton:2.OnClick = radio
    set radiobutton:2.Checked = 1
)");
  ASSERT_EQ(p.run(), "");
  auto& box = object<objects::CheckBox>(p, objects::kCheckBoxType, 0);
  auto* boxWidget = qobject_cast<QCheckBox*>(widgetOf(box));
  ASSERT_NE(boxWidget, nullptr);
  EXPECT_EQ(boxWidget->text(), "A long caption");
  QTest::mouseClick(boxWidget, Qt::LeftButton, {}, QPoint(190, 8));  // far right of the caption
  EXPECT_TRUE(box.checked());
  EXPECT_TRUE(boxWidget->isChecked());
  EXPECT_EQ(p.integer(0), 1);
  boxWidget->setFocus();
  QTest::keyClick(boxWidget, Qt::Key_Space);
  EXPECT_FALSE(box.checked());
  EXPECT_FALSE(boxWidget->isChecked());
  EXPECT_EQ(p.integer(0), 2);

  auto radio = [&](int i) -> objects::RadioButton& { return object<objects::RadioButton>(p, objects::kRadioButtonType, i); };
  auto* first = qobject_cast<QRadioButton*>(widgetOf(radio(0)));
  ASSERT_NE(first, nullptr);
  QTest::mouseClick(first, Qt::LeftButton);
  EXPECT_EQ(radio(0).checkedFlag(), 1);
  EXPECT_EQ(radio(2).checkedFlag(), 1) << "another parent, another group";
  EXPECT_EQ(p.integer(1), 2);
  QTest::mouseClick(first, Qt::LeftButton);
  EXPECT_EQ(radio(0).checkedFlag(), 1) << "a click leaves a checked radio button on";
  EXPECT_EQ(p.integer(1), 2) << "and runs no handler";
  QTest::mouseClick(widgetOf(radio(1)), Qt::LeftButton);
  EXPECT_EQ(radio(0).checkedFlag(), 0);
  EXPECT_FALSE(first->isChecked());
  EXPECT_EQ(radio(1).checkedFlag(), 1);
  EXPECT_EQ(p.integer(1), 3);
  QTest::mouseClick(widgetOf(radio(3)), Qt::LeftButton);
  EXPECT_EQ(radio(2).checkedFlag(), 0);
  EXPECT_EQ(radio(1).checkedFlag(), 1);
}

// The paint handler runs from the event loop once the box is shown, and
// the window shows the picture; Repaint clears to the parent's colour and
// runs it again; a Repaint inside the handler only asks for another paint.
TEST(PaintBoxes, PaintFromTheEventLoopAndRepaintInside) {
  Program p(R"(
    dim form:0
    dim paintbox:0
    dim int:2
    goto main
.proc paint
    let int:0 = int:0 + 1
    let int:1 = int:1 + 1
    ifnot int:1 > int:2 goto deeper
    let int:2 = int:1
deeper:
    set paintbox:0.FillRect = int:0 * 10, 0, int:0 * 10 + 10, 10, 255
    ifnot int:0 < 3 goto again
    set paintbox:0.Repaint
again:
    let int:1 = int:1 - 1
    endproc
main:
    set form:0.Color = 16777215
    set form:0.Show
    set paintbox:0.Parent = form:0
    set paintbox:0.Left = 20
    set paintbox:0.Top = 20
    set paintbox:0.Color = 65280
    set paintbox:0.FillRect = 0, 0, 5, 5, 16711680
    set paintbox:0.OnPaint = paint
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(0), 0) << "nothing runs before the event loop";
  ASSERT_TRUE(waitFor([&] { return p.integer(0) >= 3; }));
  guitest::settle();
  EXPECT_EQ(p.integer(0), 3);
  EXPECT_EQ(p.integer(2), 1) << "never nested";
  QImage shown = p.grab(0);
  EXPECT_EQ(Program::bgr(shown, 22, 22), 0xFFFFFFu) << "the paint cleared the first drawing to the form's colour";
  EXPECT_EQ(Program::bgr(shown, 20 + 35, 25), 0x0000FFu) << "the third paint's square";
  EXPECT_EQ(Program::bgr(shown, 20 + 15, 25), 0xFFFFFFu) << "each paint starts clear";
  EXPECT_EQ(Program::bgr(shown, 20 + 110, 25), 0xFFFFFFu);

  // Without a handler the picture stays through Repaint and covering.
  auto& box = object<objects::PaintBox>(p, objects::kPaintBoxType, 0);
  box.bindHandler(gui::EventKind::Paint, 0);
  box.repaint();
  p.form(0)->hide();
  p.form(0)->show();
  guitest::settle();
  shown = p.grab(0);
  EXPECT_EQ(Program::bgr(shown, 55, 25), 0x0000FFu);
  EXPECT_EQ(shown.copy(20, 20, 105, 105), qt::imageOf(box.peer().picture()).convertToFormat(QImage::Format_RGB32));
}

// A timer ticks from the event loop until its handler stops it; binding,
// Enabled and Interval start and stop the toolkit's timer.
TEST(Timers, TickUntilStopped) {
  Program p(R"(
    dim form:0
    dim timer:0
    dim int:0
    goto main
.proc tick
    let int:0 = int:0 + 1
    ifnot int:0 = 3 goto more
    set timer:0.Enabled = 0
    set form:0.Close
more:
    endproc
main:
    set timer:0.Interval = 5
    set timer:0.OnTimer = tick
    set form:0.ShowModal
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(0), 3);
  EXPECT_FALSE(object<objects::Timer>(p, objects::kTimerType, 0).peer().running());
}

// Interval 0 gives no ticks and leaves the machine idle while the program
// waits.
TEST(Timers, IdleAtIntervalZero) {
  Program idle(R"(
    dim form:0
    dim timer:0
    dim int:0
    goto main
.proc tick
    let int:0 = int:0 + 1
    endproc
main:
    set timer:0.Interval = 0
    set timer:0.OnTimer = tick
    set form:0.ShowModal
)");
  double cpuAtStart = 0, cpuAtEnd = 0;
  QTimer::singleShot(50, [&] { cpuAtStart = cpuSeconds(); });
  QTimer::singleShot(350, [&] {
    cpuAtEnd = cpuSeconds();
    idle.form(0)->close();
  });
  ASSERT_EQ(idle.run(), "");
  EXPECT_EQ(idle.integer(0), 0);
  EXPECT_LT(cpuAtEnd - cpuAtStart, 0.1) << "300 ms of waiting took the processor";
}

// A tick that comes while the timer's handler still runs is dropped.
TEST(Timers, NeverNested) {
  Program busy(R"(
    dim form:0
    dim timer:0
    dim int:3
    goto main
.proc tick
    let int:0 = int:0 + 1
    let int:1 = int:1 + 1
    ifnot int:1 > int:2 goto deeper
    let int:2 = int:1
deeper:
    ifnot int:0 = 1 goto quick
    // The first handler waits a while, handling what comes.
    for int:3 = 1 to 10 step 1 else quick
wait:
    sleep 0.005
    doevents
    next wait
quick:
    let int:1 = int:1 - 1
    ifnot int:0 >= 3 goto more
    set form:0.Close
more:
    endproc
main:
    set timer:0.Interval = 2
    set timer:0.OnTimer = tick
    set form:0.ShowModal
)");
  ASSERT_EQ(busy.run(), "");
  EXPECT_GE(busy.integer(0), 3);
  EXPECT_EQ(busy.integer(2), 1) << "a tick ran inside its own handler";
}

// A 2000 x 2000 area fills without running out of stack; Rotate of a
// picture one pixel large and of a wide, low one stays inside the scratch
// bitmap; pixels outside the picture read -1.
TEST(PaintBoxes, LargeFillsAndThinRotations) {
  Program p(R"(
    dim paintbox:1
    dim bitmap:0
    dim int:5
    set bitmap:0.Width = 2000
    set bitmap:0.Height = 2000
    set bitmap:0.FillRect = 0, 0, 2000, 2000, 16777215
    set bitmap:0.Line = 0, 1000, 1999, 1000, 0
    set bitmap:0.FloodFill = 1000, 500, 255, 0
    let int:0 = bitmap:0.Pixel(0, 0)
    let int:1 = bitmap:0.Pixel(1999, 999)
    let int:2 = bitmap:0.Pixel(1999, 1001)
    set paintbox:0.Width = 1
    set paintbox:0.Height = 1
    set paintbox:0.Pset = 0, 0, 255
    set paintbox:0.Rotate = 0, 0, 90
    let int:3 = paintbox:0.Pixel(0, 0)
    set paintbox:1.Width = 400
    set paintbox:1.Height = 10
    set paintbox:1.FillRect = 0, 0, 400, 10, 65280
    set paintbox:1.Rotate = 200, 5, 45
    set paintbox:1.Rotate = 0, 0, 180
    let int:4 = paintbox:1.Pixel(400, 0)
    let int:5 = paintbox:1.Pixel(-1, 5)
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(0), 255);
  EXPECT_EQ(p.integer(1), 255);
  EXPECT_EQ(p.integer(2), 0xFFFFFF) << "below the line is another area";
  EXPECT_EQ(p.integer(3), 255) << "turned about its own pixel";
  EXPECT_EQ(p.integer(4), -1);
  EXPECT_EQ(p.integer(5), -1);
}
