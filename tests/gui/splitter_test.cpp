// Splitters and window drags on Qt: a splitter dragged with the mouse
// widens the panel docked before it (checked in the grabbed picture), and
// a control moved by the system command follows the mouse by the same
// amount and stops at its parent's edges.
#include <gtest/gtest.h>

#include "gui_support.h"
#include "objects/controls/panel.h"
#include "objects/controls/splitter.h"
#include "toolkit/gui_types.h"

using namespace kestrel;
using kestrel::guitest::Program;
using kestrel::guitest::mouse;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;

}  // namespace

TEST(SplitterDrag, WidensTheNeighbourOnScreen) {
  Program p(R"(
    dim form:0
    dim panel:1
    dim splitter:0
    dim str:0
    goto main
.proc moved
    let str:0 = str:0 + "m"
    endproc
main:
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 200
    set panel:0.Width = 100
    set panel:0.Align = 3
    set panel:0.Color = 255
    set panel:0.Parent = form:0
    set splitter:0.Width = 4
    set splitter:0.Color = 65280
    set splitter:0.OnMoved = moved
    set splitter:0.Parent = form:0
    set panel:1.Align = 5
    set panel:1.Color = 16777215
    set panel:1.Parent = form:0
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  QWidget* bar = p.widget(objects::kSplitterType, 0);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->geometry(), QRect(100, 0, 4, 200));
  EXPECT_EQ(bar->cursor().shape(), Qt::SizeHorCursor);
  mouse(bar, QEvent::MouseButtonPress, QPoint(2, 50));
  mouse(bar, QEvent::MouseMove, QPoint(32, 50));
  mouse(bar, QEvent::MouseButtonRelease, QPoint(2, 50));
  guitest::settle();
  EXPECT_EQ(p.widget(objects::kPanelType, 0)->width(), 130);
  EXPECT_EQ(bar->geometry(), QRect(130, 0, 4, 200));
  EXPECT_EQ(p.text(0), "m");
  const QImage shot = p.grab(0);
  EXPECT_EQ(Program::bgr(shot, 120, 100), kRed);
  EXPECT_EQ(Program::bgr(shot, 131, 100), kGreen);
  EXPECT_EQ(Program::bgr(shot, 140, 100), kWhite);
}

// The drag of the system command on a panel: by the mouse's amount, then
// no further than the parent's right and bottom edges or its origin.
TEST(WindowDrag, FollowsTheMouseInsideTheParent) {
  Program p(R"(
    dim form:0
    dim panel:0
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 150
    set panel:0.Left = 20
    set panel:0.Top = 20
    set panel:0.Width = 50
    set panel:0.Height = 40
    set panel:0.Parent = form:0
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  QWidget* w = p.widget(objects::kPanelType, 0);
  auto& panel = objects::world(p.machine()).as<objects::Panel>(objects::kPanelType, 0);
  auto dragBy = [&](QPoint by) {
    mouse(w, QEvent::MouseButtonPress, QPoint(5, 5));
    panel.message(gui::wm::kSysCommand, 61458, 0);
    mouse(w, QEvent::MouseMove, QPoint(5, 5) + by);
    mouse(w, QEvent::MouseButtonRelease, QPoint(5, 5) + by);
  };
  dragBy({30, 20});
  EXPECT_EQ(w->pos(), QPoint(50, 40));
  EXPECT_EQ(panel.left(), 50);
  EXPECT_EQ(panel.top(), 40);
  dragBy({500, 500});
  EXPECT_EQ(w->pos(), QPoint(150, 110));
  EXPECT_EQ(panel.bounds(), (gui::Rect{150, 110, 200, 150}));
  dragBy({-500, -500});
  EXPECT_EQ(w->pos(), QPoint(0, 0));

  // Without a held button the command moves nothing.
  panel.message(gui::wm::kSysCommand, 61458, 0);
  mouse(w, QEvent::MouseMove, QPoint(40, 40));
  EXPECT_EQ(w->pos(), QPoint(0, 0));
}
