// Events delivered to forms on the offscreen platform: mouse, keys, paint,
// resize, close with its close action, modal runs ended by a handler, the
// busy and suspended flags, the message hook's minimize rule and hints.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include "gui_support.h"
#include "core/system_state.h"
#include "objects/controls/form.h"
#include "plain_control.h"
#include "state/store_kinds.h"
#include "toolkit/qt/qt_widget_peer.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : button;
  QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, modifiers);
  QApplication::sendEvent(w, &e);
}

// Handlers that log what they were given into str:0 and the last numbers
// into double:0 to double:3.
const char* kLoggingHandlers = R"(
    goto main
.proc down
    let str:0 = str:0 + "D"
    let double:0 = arg.double:0
    let double:1 = arg.double:1
    let double:2 = arg.double:2
    let double:3 = arg.double:3
    let str:1 = arg.form:4.Caption
    endproc
.proc up
    let str:0 = str:0 + "U"
    endproc
.proc click
    let str:0 = str:0 + "C"
    let str:1 = arg.form:0.Caption
    endproc
.proc moved
    let str:0 = str:0 + "M"
    let double:0 = arg.double:0
    let double:1 = arg.double:1
    let double:2 = arg.double:2
    endproc
.proc keydown
    let str:0 = str:0 + "K" + str(arg.double:0) + "/" + str(arg.double:1)
    endproc
.proc keyup
    let str:0 = str:0 + "k" + str(arg.double:0)
    endproc
.proc keypress
    let str:0 = str:0 + "P" + str(arg.double:0)
    endproc
main:
    dim form:0
    dim str:1
    dim double:3
    set form:0.Caption = "Target"
    set form:0.OnMouseDown = down
    set form:0.OnMouseUp = up
    set form:0.OnClick = click
    set form:0.OnMouseMove = moved
    set form:0.OnKeyDown = keydown
    set form:0.OnKeyUp = keyup
    set form:0.OnKeyPress = keypress
    set form:0.Show
)";

}  // namespace

TEST(FormEvents, MouseButtonsClicksAndShiftCodes) {
  Program p(kLoggingHandlers);
  ASSERT_EQ(p.run(), "");
  QWidget* w = p.form(0);
  ASSERT_NE(w, nullptr);
  mouse(w, QEvent::MouseButtonPress, Qt::LeftButton, {30, 40}, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(p.number(kDouble, 0), 0);  // the left button
  EXPECT_EQ(p.number(kDouble, 1), 30);
  EXPECT_EQ(p.number(kDouble, 2), 40);
  EXPECT_EQ(p.number(kDouble, 3), 257);  // Shift and Ctrl
  EXPECT_EQ(p.text(1), "Target");       // the sender
  mouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, {30, 40});
  EXPECT_EQ(p.text(0), "DCU");
  // The right button has no click; Alt is 16; a double click is a mouse down.
  mouse(w, QEvent::MouseButtonPress, Qt::RightButton, {1, 2}, Qt::AltModifier);
  EXPECT_EQ(p.number(kDouble, 0), 1);
  EXPECT_EQ(p.number(kDouble, 3), 16);
  mouse(w, QEvent::MouseButtonRelease, Qt::RightButton, {1, 2});
  mouse(w, QEvent::MouseButtonDblClick, Qt::MiddleButton, {1, 2});
  EXPECT_EQ(p.number(kDouble, 0), 2);
  EXPECT_EQ(p.text(0), "DCUDUD");
  // A left button released outside the form is no click.
  mouse(w, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  mouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, {-5, 5});
  EXPECT_EQ(p.text(0), "DCUDUDDU");
  EXPECT_EQ(p.machine().frames.depth, 0);
}

TEST(FormEvents, MouseMovesRecordThePositionAndBusyDropsEvents) {
  Program p(std::string(kLoggingHandlers) + R"(
    set form:0.OnMouseMove = slowmove
    goto done
.proc slowmove
    let str:0 = str:0 + "M"
    doevents
    endproc
done:
    dim int:0
)");
  ASSERT_EQ(p.run(), "");
  QWidget* w = p.form(0);
  // A press waits in the queue; the move handler lets it through while the
  // mouse is busy, so the press is dropped.
  QApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonPress, QPointF(3, 4), w->mapToGlobal(QPointF(3, 4)),
                                             Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  mouse(w, QEvent::MouseMove, Qt::NoButton, {7, 8});
  EXPECT_EQ(p.text(0), "M");
  EXPECT_EQ(p.machine().system->events.mouseX, 7);
  EXPECT_EQ(p.machine().system->events.mouseY, 8);
  EXPECT_FALSE(p.machine().system->events.mouseBusy);
  mouse(w, QEvent::MouseButtonPress, Qt::LeftButton, {3, 4});
  EXPECT_EQ(p.text(0), "MD");
}

void key(QWidget* w, int code, Qt::KeyboardModifiers modifiers = {}, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
  QApplication::sendEvent(w, &release);
}

TEST(FormEvents, KeysGiveVirtualKeysCharactersAndShiftCodes) {
  Program p(kLoggingHandlers);
  ASSERT_EQ(p.run(), "");
  QWidget* w = p.form(0);
  key(w, Qt::Key_A, Qt::ShiftModifier, "A");
  EXPECT_EQ(p.text(0), "K65/256P65k65");
  p.machine().vars.stringAt(0) = Str();
  key(w, Qt::Key_Return, {}, "\r");
  key(w, Qt::Key_F5, Qt::ControlModifier);
  key(w, Qt::Key_Left);
  key(w, Qt::Key_Exclam, Qt::ShiftModifier | Qt::AltModifier, "!");
  key(w, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(p.text(0), "K13/0P13k13K116/1k116K37/0k37K49/272P33k49K67/1P3k67");
  // The real keyboard's sequence, with the modifier keys.
  p.machine().vars.stringAt(0) = Str();
  QTest::keyClick(w, Qt::Key_Z, Qt::ShiftModifier);
  EXPECT_EQ(p.text(0).substr(0, 12), "K16/256K90/2");
}

TEST(FormEvents, PaintResizeAndShow) {
  Program p(R"(
    goto main
.proc painted
    let int:0 = int:0 + 1
    set form:0.FillRect = 0, 0, 10, 10, 255
    endproc
.proc resized
    let int:1 = int:1 + 1
    let int:2 = form:0.ClientWidth
    endproc
.proc shown
    let int:3 = int:3 + 1
    endproc
main:
    dim form:0
    dim int:3
    set form:0.Color = 16777215
    set form:0.OnPaint = painted
    set form:0.OnResize = resized
    set form:0.OnShow = shown
    set form:0.ClientWidth = 120
    set form:0.Show
    set form:0.Visible = 1
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(1), 1);  // the program's own resize
  EXPECT_EQ(p.integer(2), 120);
  EXPECT_EQ(p.integer(3), 1);  // shown once: it was visible already
  const QImage picture = p.grab(0);
  EXPECT_GE(p.integer(0), 1);
  EXPECT_EQ(Program::bgr(picture, 5, 5), 0x0000FFu);
  EXPECT_EQ(Program::bgr(picture, 15, 15), 0xFFFFFFu);
  // A resize by the window system runs the handler once for the new size.
  p.form(0)->resize(150, 90);
  guitest::settle();
  EXPECT_EQ(p.integer(1), 2);
  EXPECT_EQ(p.integer(2), 150);
}

// The close handler gets the close action 1 (hide) and can change it: 0
// keeps the form, 2 hides it and suspends message hooks until a resize,
// which then runs no handler.
TEST(FormEvents, CloseActionsAndTheSuspendedFlag) {
  Program p(R"(
    goto main
.proc closing
    let int:0 = arg.double:0
    let arg.double:0 = int:1
    endproc
.proc resized
    let int:2 = int:2 + 1
    endproc
main:
    dim form:0
    dim int:2
    set form:0.OnClose = closing
    set form:0.OnResize = resized
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  QWidget* w = p.form(0);
  w->close();
  EXPECT_EQ(p.integer(0), 1);
  EXPECT_TRUE(w->isVisible());  // the handler answered 0: stay open
  EXPECT_FALSE(p.machine().system->events.dispatchSuspended);

  *reinterpret_cast<int32_t*>(p.machine().vars.scalarAt(kInteger, 1)) = 2;
  w->close();
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(p.machine().system->events.dispatchSuspended);
  w->show();
  w->resize(w->width() + 10, w->height());
  guitest::settle();
  EXPECT_FALSE(p.machine().system->events.dispatchSuspended);
  EXPECT_EQ(p.integer(2), 0);
  w->resize(w->width() + 10, w->height());
  guitest::settle();
  EXPECT_EQ(p.integer(2), 1);
}

// A modal run ends when a handler sets the modal result; the statement
// form goes on after itself.
TEST(FormEvents, ModalRunEndedByAHandler) {
  Program p(R"(
    goto main
.proc click
    set form:0.ModalResult = 3
    endproc
main:
    dim form:0
    dim int:1
    set form:0.OnClick = click
    let int:0 = form:0.ShowModal
    let int:1 = 5
)");
  QTimer::singleShot(30, [&p] {
    QWidget* w = p.form(0);
    mouse(w, QEvent::MouseButtonPress, Qt::LeftButton, {2, 2});
    mouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, {2, 2});
  });
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(0), 3);
  EXPECT_EQ(p.integer(1), 5);
  EXPECT_FALSE(p.form(0)->isVisible());
  EXPECT_EQ(p.form(0)->windowModality(), Qt::NonModal);
}

TEST(FormEvents, ClosingAModalFormCancelsIt) {
  Program p(R"(
    dim form:0
    dim int:1
    set form:0.ShowModal
    let int:1 = 5
)");
  QTimer::singleShot(30, [&p] { p.form(0)->close(); });
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(1), 5);
  EXPECT_EQ(objects::world(p.machine()).as<objects::Form>(objects::kFormType, 0).modalResult, 2);
}

// The minimize command on a hooked form minimizes every window of a
// program without a console; with a console only that window.
TEST(FormEvents, MinimizeCommandOnAHookedForm) {
  const char* source = R"(
    goto main
.proc hook
    let int:0 = arg.double:2
    endproc
main:
    dim form:1
    dim int:0
    set form:0.OnMessage = hook
    set form:0.Show
    set form:1.Show
    sendmessage form:0.Handle, 274, 61472, 0
)";
  {
    MachineOptions windowed;
    windowed.windowed = true;
    Program p(source, windowed);
    ASSERT_EQ(p.run(), "");
    EXPECT_EQ(p.integer(0), 61472);
    EXPECT_TRUE(p.form(0)->isMinimized());
    EXPECT_TRUE(p.form(1)->isMinimized());
  }
  Program p(source);
  ASSERT_EQ(p.run(), "");
  EXPECT_TRUE(p.form(0)->isMinimized());
  EXPECT_FALSE(p.form(1)->isMinimized());
}

TEST(FormEvents, HintsAndKeyPreviewReachTheForm) {
  testsupport::registerPlainControl();
  Program p(R"(
    goto main
.proc hinted
    let str:0 = arg.str:0
    endproc
.proc keydown
    let int:0 = arg.double:0
    endproc
main:
    dim form:0
    dim plain:0
    dim int:0
    dim str:0
    set plain:0.Hint = "Save|Saves the file"
    set plain:0.Parent = form:0
    set form:0.OnHint = hinted
    set form:0.OnKeyDown = keydown
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  auto& control = objects::world(p.machine()).as<testsupport::PlainControl>(testsupport::kPlainType, 0);
  QWidget* child = dynamic_cast<qt::ControlPeer&>(control.peer()).widget();
  ASSERT_TRUE(child->isVisible());
  EXPECT_EQ(child->parentWidget(), p.form(0));
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), child->mapToGlobal(QPointF(1, 1)));
  QApplication::sendEvent(child, &enter);
  EXPECT_EQ(p.text(0), "Saves the file");

  QTest::keyClick(child, Qt::Key_B);
  EXPECT_EQ(p.integer(0), 0);  // without key preview the form does not see it
  objects::world(p.machine()).as<objects::Form>(objects::kFormType, 0).peer().setKeyPreview(true);
  QTest::keyClick(child, Qt::Key_B);
  EXPECT_EQ(p.integer(0), 'B');
}
