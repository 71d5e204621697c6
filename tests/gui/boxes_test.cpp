// Group boxes, scroll boxes, oval buttons and glass frames on Qt: children
// that follow the scrolled origin and a user's scroll, an oval button that
// ignores a click in its rectangle's corner, and a glass frame's tint
// blended over the form.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QScrollBar>

#include "gui_support.h"
#include "screenshots.h"

using namespace kestrel;
using kestrel::guitest::Program;
using kestrel::guitest::mouse;

namespace {

constexpr int kScrollBoxType = 70;
constexpr int kPanelType = 33;
constexpr int kOvalButtonType = 64;

}  // namespace

TEST(GroupBoxWidget, CaptionIsTheTitleAndChildrenSitInside) {
  Program p(R"(
    dim form:0
    dim groupbox:0
    dim panel:0
    set groupbox:0.Parent = form:0
    set groupbox:0.Caption = "Options"
    set panel:0.Parent = groupbox:0
    set panel:0.Left = 10
    set panel:0.Top = 20
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* box = qobject_cast<QGroupBox*>(p.widget(69, 0));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->title(), "Options");
  QWidget* panel = p.widget(kPanelType, 0);
  EXPECT_EQ(panel->parentWidget(), box);
  EXPECT_EQ(panel->pos(), QPoint(10, 20));
}

// Scrolling by 50 moves the child 50 to the left, in the engine and on
// screen; the user's drag of the bar does the same through the box.
TEST(ScrollBoxWidget, ChildrenFollowTheScrolledOrigin) {
  Program p(R"(
    dim form:0
    dim scrollbox:0
    dim panel:0
    dim int:0
    dim int:1
    set scrollbox:0.Parent = form:0
    set scrollbox:0.Width = 200
    set scrollbox:0.Height = 120
    set panel:0.Parent = scrollbox:0
    set panel:0.Left = 10
    set scrollbox:0.HorzRange = 600
    set form:0.Show
    set scrollbox:0.HorzPosition = 50
    let int:0 = panel:0.Left
    let int:1 = scrollbox:0.HorzPosition
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  EXPECT_EQ(p.integer(0), -40);
  EXPECT_EQ(p.integer(1), 50);
  QWidget* panel = p.widget(kPanelType, 0);
  EXPECT_EQ(panel->x(), -40);

  QScrollBar* bar = nullptr;
  for (auto* b : p.widget(kScrollBoxType, 0)->findChildren<QScrollBar*>())
    if (b->orientation() == Qt::Horizontal) bar = b;
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->value(), 50);
  bar->setValue(80);  // as the user's drag does
  guitest::settle();
  EXPECT_EQ(panel->x(), 10 - 80);
  bar->setValue(100000);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(panel->x(), 10 - bar->maximum());
}

// A press and release in the corner of the rectangle, outside the
// ellipse, is no click; the middle is one.
TEST(OvalButtonWidget, ClicksCountOnlyInsideTheEllipse) {
  Program p(R"(
    dim form:0
    dim ovalbtn:0
    dim int:0
    goto main
.proc clicked
    let int:0 = int:0 + 1
    endproc
main:
    set ovalbtn:0.Parent = form:0
    set ovalbtn:0.Width = 80
    set ovalbtn:0.Height = 40
    set ovalbtn:0.OnClick = clicked
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  QWidget* button = p.widget(kOvalButtonType, 0);
  ASSERT_NE(button, nullptr);
  mouse(button, QEvent::MouseButtonPress, QPoint(2, 2));
  mouse(button, QEvent::MouseButtonRelease, QPoint(2, 2));
  guitest::settle();
  EXPECT_EQ(p.integer(0), 0);
  mouse(button, QEvent::MouseButtonPress, QPoint(40, 20));
  mouse(button, QEvent::MouseButtonRelease, QPoint(40, 20));
  guitest::settle();
  EXPECT_EQ(p.integer(0), 1);
  EXPECT_FALSE(button->mask().contains(QPoint(1, 1)));
  EXPECT_TRUE(button->mask().contains(QPoint(40, 20)));
}

// Red at an opacity of 128 over a white form gives half red; the form
// shows unchanged beside the frame.
TEST(GlassFrameWidget, TintBlendsOverTheParent) {
  Program p(R"(
    dim form:0
    dim glassframe:0
    set form:0.Color = 16777215
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 150
    set glassframe:0.Create = form:0
    set glassframe:0.Left = 20
    set glassframe:0.Top = 20
    set glassframe:0.Width = 60
    set glassframe:0.Height = 60
    set glassframe:0.Color = 255
    set glassframe:0.Transparency = 128
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "glass-frame");
  const uint32_t inside = Program::bgr(shot, 50, 50);
  EXPECT_EQ(inside & 0xFF, 0xFFu) << "red stays full";
  EXPECT_NEAR(static_cast<int>((inside >> 8) & 0xFF), 127, 2) << "green halved";
  EXPECT_NEAR(static_cast<int>((inside >> 16) & 0xFF), 127, 2) << "blue halved";
  EXPECT_EQ(Program::bgr(shot, 150, 100), 0xFFFFFFu);
}

// The face fills the ellipse in the button's colour; the rectangle's
// corners show the form.
TEST(OvalButtonWidget, FacePaintedInsideTheEllipseOnly) {
  Program p(R"(
    dim form:0
    dim ovalbtn:0
    set form:0.Color = 16777215
    set form:0.ClientWidth = 120
    set form:0.ClientHeight = 60
    set ovalbtn:0.Parent = form:0
    set ovalbtn:0.Width = 80
    set ovalbtn:0.Height = 40
    set ovalbtn:0.Color = 255
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "oval-button");
  EXPECT_EQ(Program::bgr(shot, 40, 20), 0x0000FFu) << "the face";
  EXPECT_EQ(Program::bgr(shot, 1, 1), 0xFFFFFFu) << "a corner outside the ellipse";
  EXPECT_EQ(Program::bgr(shot, 78, 38), 0xFFFFFFu) << "the opposite corner";
}
