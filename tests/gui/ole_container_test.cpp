// The container of embedded objects on Qt: a placeholder in its colour
// with a single black line around it (none with BorderStyle 0), hidden
// and shown, and the mouse and key events of its widget reaching the
// program's handlers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "gui_support.h"
#include "ole/ole_container.h"
#include "screenshots.h"
#include "toolkit/qt/qt_widget_peer.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

QWidget* containerWidget(Program& p) {
  auto& c = objects::world(p.machine()).as<ole::OleContainer>(ole::kContainerType, 0);
  return dynamic_cast<qt::QtWidgetHolder&>(c.peer()).heldWidget();
}

}  // namespace

TEST(ContainerPicture, PlaceholderWithItsBorder) {
  Program p(R"(
    dim form:0
    dim container:0
    dim str:0
    goto main
.proc down
    let str:0 = str:0 + "d" + str(arg.double:1) + "," + str(arg.double:2)
    endproc
.proc up
    let str:0 = str:0 + "u"
    endproc
.proc key
    let str:0 = str:0 + "k" + str(arg.double:0)
    endproc
main:
    set form:0.Color = 16777215
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 120
    set container:0.Parent = form:0
    set container:0.Left = 20
    set container:0.Top = 10
    set container:0.Width = 100
    set container:0.Height = 60
    set container:0.Color = 255
    set container:0.OnMouseDown = down
    set container:0.OnMouseUp = up
    set container:0.OnKeyPress = key
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage framed = p.grab(0);
  guitest::saveScreenshot(framed, "container");
  EXPECT_EQ(Program::bgr(framed, 20, 10), kBlack);
  EXPECT_EQ(Program::bgr(framed, 119, 69), kBlack);
  EXPECT_EQ(Program::bgr(framed, 21, 11), kRed);
  EXPECT_EQ(Program::bgr(framed, 70, 40), kRed);
  EXPECT_EQ(Program::bgr(framed, 19, 9), kWhite);
  EXPECT_EQ(Program::bgr(framed, 120, 70), kWhite);

  QWidget* w = containerWidget(p);
  ASSERT_NE(w, nullptr);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 6), w->mapToGlobal(QPointF(5, 6)), Qt::LeftButton,
                    Qt::LeftButton, {});
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 6), w->mapToGlobal(QPointF(5, 6)), Qt::LeftButton,
                      Qt::NoButton, {});
  QApplication::sendEvent(w, &release);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QApplication::sendEvent(w, &key);
  EXPECT_EQ(p.text(0), "d5,6uk97");

  auto& c = objects::world(p.machine()).as<ole::OleContainer>(ole::kContainerType, 0);
  c.setBorderStyle(0);
  c.setVisible(1);
  guitest::settle();
  const QImage plain = p.grab(0);
  EXPECT_EQ(Program::bgr(plain, 20, 10), kRed);
  c.setVisible(0);
  guitest::settle();
  EXPECT_EQ(Program::bgr(p.grab(0), 70, 40), kWhite);
}
