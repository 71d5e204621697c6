// Docking and splitters on the null toolkit: the order aligned controls
// take on each side, a splitter's drag resizing the control docked before
// it on every side, the MinSize limits both ways, and splitters that have
// nothing to resize.
#include <gtest/gtest.h>

#include <string>

#include "objects/controls/form.h"
#include "objects/controls/panel.h"
#include "objects/controls/splitter.h"
#include "unit_program.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

struct DockProgram : testsupport::UnitProgram {
  using UnitProgram::UnitProgram;
  Panel& panel(int index) { return world(m).as<Panel>(kPanelType, index); }
  Splitter& splitter(int index = 0) { return world(m).as<Splitter>(kSplitterType, index); }
  std::string text() { return UnitProgram::text(0); }
};

// Presses the left button on the splitter, moves the mouse by (dx, dy)
// and lets go, with positions relative to the splitter as the toolkit
// gives them.
void drag(Splitter& s, int dx, int dy) {
  gui::InputEvent down{gui::EventKind::MouseDown};
  down.x = 1;
  down.y = 1;
  const gui::Rect start = s.bounds();
  s.event(down);
  gui::InputEvent move{gui::EventKind::MouseMove};
  move.x = 1 + dx;
  move.y = 1 + dy;
  s.event(move);
  const gui::Rect now = s.bounds();
  gui::InputEvent up{gui::EventKind::MouseUp};
  up.x = move.x - (now.left - start.left);
  up.y = move.y - (now.top - start.top);
  s.event(up);
}

gui::Rect rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

// A form 400 x 300 with panel 0 docked to `align` (size 100), the
// splitter docked to the same side after it and panel 1 filling the rest.
std::string splitForm(int align) {
  const std::string a = std::to_string(align);
  return "dim form:0\ndim panel:1\ndim splitter:0\ndim str:0\ngoto main\n"
         ".proc moved\n    let str:0 = str:0 + \"m\"\n    endproc\n"
         "main:\n"
         "    set form:0.ClientWidth = 400\n    set form:0.ClientHeight = 300\n"
         "    set panel:0.Width = 100\n    set panel:0.Height = 100\n"
         "    set panel:0.Align = " + a + "\n    set panel:0.Parent = form:0\n"
         "    set splitter:0.Align = " + a + "\n    set splitter:0.Width = 3\n    set splitter:0.Height = 3\n"
         "    set splitter:0.OnMoved = moved\n    set splitter:0.Parent = form:0\n"
         "    set panel:1.Align = 5\n    set panel:1.Parent = form:0\n";
}

}  // namespace

// Several controls per side: each side in the order of their places,
// creation order between equal places; hidden ones take no room.
TEST(Docking, SidesInPlaceThenCreationOrder) {
  DockProgram p(R"(
    dim form:0
    dim panel:6
    set form:0.ClientWidth = 400
    set form:0.ClientHeight = 300
    set panel:0.Height = 20
    set panel:0.Align = 1
    set panel:1.Height = 30
    set panel:1.Align = 1
    set panel:2.Height = 10
    set panel:2.Align = 2
    set panel:3.Width = 50
    set panel:3.Align = 3
    set panel:4.Width = 60
    set panel:4.Align = 3
    set panel:5.Width = 40
    set panel:5.Align = 4
    set panel:6.Align = 5
    set panel:6.Parent = form:0
    set panel:5.Parent = form:0
    set panel:4.Parent = form:0
    set panel:3.Parent = form:0
    set panel:2.Parent = form:0
    set panel:1.Parent = form:0
    set panel:0.Parent = form:0
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.panel(0).bounds(), rect(0, 0, 400, 20));
  EXPECT_EQ(p.panel(1).bounds(), rect(0, 20, 400, 50));
  EXPECT_EQ(p.panel(2).bounds(), rect(0, 290, 400, 300));
  EXPECT_EQ(p.panel(3).bounds(), rect(0, 50, 50, 290));
  EXPECT_EQ(p.panel(4).bounds(), rect(50, 50, 110, 290));
  EXPECT_EQ(p.panel(5).bounds(), rect(360, 50, 400, 290));
  EXPECT_EQ(p.panel(6).bounds(), rect(110, 50, 360, 290));

  // A place before the others puts a later control first.
  p.panel(4).setLeft(-1);
  EXPECT_EQ(p.panel(4).bounds(), rect(0, 50, 60, 290));
  EXPECT_EQ(p.panel(3).bounds(), rect(60, 50, 110, 290));

  p.panel(0).setVisible(0);
  EXPECT_EQ(p.panel(1).bounds(), rect(0, 0, 400, 30));
  EXPECT_EQ(p.panel(6).bounds(), rect(110, 30, 360, 290));
}

TEST(Splitters, DragBy30ResizesTheNeighbourOnEverySide) {
  struct Case {
    int align, dx, dy;
    gui::Rect neighbour, splitter;
  };
  const Case cases[] = {
      {kAlignLeft, 30, 0, rect(0, 0, 130, 300), rect(130, 0, 133, 300)},
      {kAlignRight, -30, 0, rect(270, 0, 400, 300), rect(267, 0, 270, 300)},
      {kAlignTop, 0, 30, rect(0, 0, 400, 130), rect(0, 130, 400, 133)},
      {kAlignBottom, 0, -30, rect(0, 170, 400, 300), rect(0, 167, 400, 170)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.align);
    DockProgram p(splitForm(c.align));
    ASSERT_EQ(p.run(), "");
    EXPECT_EQ(p.splitter().neighbour(), &p.panel(0));
    drag(p.splitter(), c.dx, c.dy);
    EXPECT_EQ(p.panel(0).bounds(), c.neighbour);
    EXPECT_EQ(p.splitter().bounds(), c.splitter);
    EXPECT_EQ(p.text(), "m");
    // Dragging back the other way shrinks it again.
    drag(p.splitter(), -c.dx, -c.dy);
    EXPECT_EQ(c.align <= kAlignBottom ? p.panel(0).height() : p.panel(0).width(), 100);
    EXPECT_EQ(p.text(), "mm");
  }
}

// MinSize holds on both sides: the neighbour keeps it, and so does the
// rest of the parent; a neighbour already below it is not pushed up.
TEST(Splitters, MinSizeLimitsTheDrag) {
  DockProgram p(splitForm(kAlignLeft));
  ASSERT_EQ(p.run(), "");
  Splitter& s = p.splitter();
  drag(s, -200, 0);
  EXPECT_EQ(p.panel(0).width(), 30);
  drag(s, 1000, 0);
  EXPECT_EQ(p.panel(0).width(), 367);
  EXPECT_EQ(p.panel(1).width(), 30);

  s.setMinSize(50);
  EXPECT_FALSE(s.moveBy(10)) << "the rest is already below MinSize";
  EXPECT_TRUE(s.moveBy(-10));
  EXPECT_EQ(p.panel(0).width(), 357);

  p.panel(0).setWidth(20);
  EXPECT_FALSE(s.moveBy(-5));
  EXPECT_TRUE(s.moveBy(5));
  EXPECT_EQ(p.panel(0).width(), 25);
}

// Nothing to resize: alone, first on its side, not docked to a side, or
// hidden. The drag changes nothing and OnMoved does not run.
TEST(Splitters, WithoutANeighbourDoNothing) {
  DockProgram p(R"(
    dim form:0
    dim panel:1
    dim splitter:2
    dim str:0
    goto main
.proc moved
    let str:0 = str:0 + "m"
    endproc
main:
    set form:0.ClientWidth = 400
    set form:0.ClientHeight = 300
    set splitter:0.OnMoved = moved
    set splitter:0.Parent = form:0
    set splitter:1.Align = 4
    set splitter:1.OnMoved = moved
    set splitter:1.Parent = form:0
    set panel:0.Align = 4
    set panel:0.Width = 100
    set panel:0.Parent = form:0
    set splitter:2.Align = 0
    set splitter:2.Parent = form:0
)");
  ASSERT_EQ(p.run(), "");
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const gui::Rect before = p.splitter(i).bounds();
    EXPECT_EQ(p.splitter(i).neighbour(), nullptr);
    drag(p.splitter(i), 30, 30);
    EXPECT_EQ(p.splitter(i).bounds(), before);
  }
  EXPECT_EQ(p.panel(0).width(), 100);
  EXPECT_EQ(p.text(), "");

  // Hidden while it has a neighbour, or without a parent.
  p.panel(1).setWidth(50);
  p.panel(1).setLeft(-1);
  p.panel(1).setAlign(kAlignLeft);
  p.panel(1).setParent(p.splitter(0).parent());
  EXPECT_EQ(p.splitter(0).neighbour(), &p.panel(1));
  p.splitter(0).setVisible(0);
  EXPECT_FALSE(p.splitter(0).moveBy(5));
  p.splitter(2).setParent(nullptr);
  p.splitter(2).setSplitterAlign(kAlignLeft);
  EXPECT_FALSE(p.splitter(2).moveBy(5));
  EXPECT_EQ(p.text(), "");
}
