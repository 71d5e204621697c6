// The window system's own events reach a control's message hook as the
// messages they stand for (mouse, keys, focus, paint, size), before the
// event itself; a label's canvas handle takes messages for its hook.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

#include "core/system_state.h"
#include "gui_support.h"
#include "objects/controls/label.h"
#include "plain_control.h"
#include "state/store_kinds.h"
#include "toolkit/qt/qt_widget_peer.h"
#include "toolkit/toolkit.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

// The hook logs "message:wParam:lParam;" into str:0 (not paint, size and
// move, whose number varies with the platform); the plain control's key
// down and mouse down handlers log "K;" and "D;" after the message.
const char* kHookedControls = R"(
    goto main
.proc hook
    ifnot arg.double:1 = 15 or arg.double:1 = 5 or arg.double:1 = 3 goto log
    goto hookdone
log:
    let str:0 = str:0 + str(arg.double:1) + ":" + str(arg.double:2) + ":" + str(arg.double:3) + ";"
    let double:0 = arg.double:0
    let double:2 = arg.double:3
hookdone:
    endproc
.proc keydown
    let str:0 = str:0 + "K;"
    endproc
.proc down
    let str:0 = str:0 + "D;"
    endproc
main:
    dim form:0
    dim label:0
    dim plain:0
    dim str:0
    dim double:0
    dim double:2
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 100
    set label:0.Parent = form:0
    set label:0.Caption = "Label"
    set label:0.OnMessage = hook
    set plain:0.Parent = form:0
    set plain:0.Top = 50
    set plain:0.OnMessage = hook
    set plain:0.OnKeyDown = keydown
    set plain:0.OnMouseDown = down
    set form:0.Show
    let double:1 = label:0.Handle
    sendmessage label:0.Handle, 1050, 7, 9
)";

template <class T>
T& object(Program& p, int type, int index) {
  return objects::world(p.machine()).as<T>(type, index);
}

void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at,
           Qt::KeyboardModifiers modifiers = {}) {
  QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, modifiers);
  QApplication::sendEvent(w, &e);
}

}  // namespace

// The label has no window handle of its own to show: its canvas handle
// takes the messages, and the hook gets the window's handle.
TEST(MessageHooks, TheLabelsCanvasHandleReachesItsHook) {
  testsupport::registerPlainControl();
  Program p(kHookedControls);
  ASSERT_EQ(p.run(), "");
  auto& label = object<objects::Label>(p, objects::kLabelType, 0);
  EXPECT_EQ(p.text(0), "1050:7:9;");
  EXPECT_EQ(p.number(kDouble, 0), static_cast<double>(label.handle()));
  EXPECT_NE(p.number(kDouble, 1), static_cast<double>(label.handle()));
  EXPECT_EQ(toolkit().sendMessage(static_cast<intptr_t>(p.number(kDouble, 1)), 14, 0, 0), 5);  // the text's length
  EXPECT_TRUE(toolkit().postMessage(static_cast<intptr_t>(p.number(kDouble, 1)), 1051, 0, 0));
  guitest::settle();
  EXPECT_EQ(p.text(0), "1050:7:9;14:0:0;1051:0:0;");
}

// Mouse messages carry the buttons held (1 left, 2 right, 16 middle, 4
// Shift, 8 Ctrl) and the place (x in the low 16 bits, y in the high); the
// message comes before the event's handler.
TEST(MessageHooks, MouseMessagesComeBeforeTheEvents) {
  testsupport::registerPlainControl();
  Program p(kHookedControls);
  ASSERT_EQ(p.run(), "");
  p.machine().vars.stringAt(0) = Str();
  QWidget* w = p.widget(testsupport::kPlainType, 0);
  mouse(w, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {3, 4}, Qt::ShiftModifier);
  mouse(w, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {5, 6});
  mouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {5, 6});
  mouse(w, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {1, 2}, Qt::ControlModifier);
  mouse(w, QEvent::MouseButtonDblClick, Qt::MiddleButton, Qt::MiddleButton, {1, 2});
  EXPECT_EQ(p.text(0), "513:5:262147;D;512:1:393221;514:0:393221;516:10:131073;D;521:16:131073;D;");
}

// Keys: key down with the virtual key, then the character, then key up
// (lParam -1073741823: bits 30 and 31 set, a repeat count of 1); with Alt
// held the system-key forms 260, 262 and 261 (bit 29 set).
TEST(MessageHooks, KeyMessagesAndFocus) {
  testsupport::registerPlainControl();
  Program p(kHookedControls);
  ASSERT_EQ(p.run(), "");
  QWidget* w = p.widget(testsupport::kPlainType, 0);
  p.form(0)->activateWindow();
  QApplication::setActiveWindow(p.form(0));
  w->setFocusPolicy(Qt::StrongFocus);
  w->setFocus();
  guitest::settle();
  EXPECT_NE(p.text(0).find("7:0:0;"), std::string::npos);
  p.machine().vars.stringAt(0) = Str();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(w, &release);
  EXPECT_EQ(p.text(0).substr(0, 28), "256:65:1;K;258:97:1;257:65:-");
  EXPECT_EQ(p.number(kDouble, 2), -1073741823);
  p.machine().vars.stringAt(0) = Str();
  QKeyEvent altPress(QEvent::KeyPress, Qt::Key_X, Qt::AltModifier, "x");
  QApplication::sendEvent(w, &altPress);
  QKeyEvent altRelease(QEvent::KeyRelease, Qt::Key_X, Qt::AltModifier, "x");
  QApplication::sendEvent(w, &altRelease);
  EXPECT_EQ(p.text(0), "260:88:536870913;K;262:120:536870913;261:88:-536870911;");
  EXPECT_EQ(p.number(kDouble, 2), -536870911);
  p.machine().vars.stringAt(0) = Str();
  w->clearFocus();
  guitest::settle();
  EXPECT_EQ(p.text(0), "8:0:0;");
}

// Paint and size reach the hook too; with dispatch suspended nothing does.
TEST(MessageHooks, PaintAndSizeAndTheSuspendedFlag) {
  testsupport::registerPlainControl();
  Program p(R"(
    goto main
.proc hook
    ifnot arg.double:1 = 15 goto notpaint
    let int:0 = int:0 + 1
notpaint:
    ifnot arg.double:1 = 5 goto done
    let int:1 = arg.double:3
done:
    endproc
main:
    dim form:0
    dim plain:0
    dim int:1
    set plain:0.Parent = form:0
    set plain:0.OnMessage = hook
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  QWidget* w = p.widget(testsupport::kPlainType, 0);
  // On a real display a window paints only once it is exposed.
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w->window()));
  guitest::settle();
  w->resize(70, 30);
  EXPECT_EQ(p.integer(1), 30 << 16 | 70);
  w->repaint();
  EXPECT_GE(p.integer(0), 1);
  const int32_t painted = p.integer(0);
  p.machine().system->events.dispatchSuspended = true;
  w->repaint();
  EXPECT_EQ(p.integer(0), painted);
  p.machine().system->events.dispatchSuspended = false;
}
