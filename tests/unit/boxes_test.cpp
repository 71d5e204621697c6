// Scroll boxes, oval buttons and glass frames on the null toolkit: the
// scroll range and position rules and the children that move with them,
// the oval button's ellipse and its group, and glass frames whose entries
// stay with their own index whatever order they are created in.
#include <gtest/gtest.h>

#include <string>

#include "objects/controls/boxes.h"
#include "objects/controls/glass_frame.h"
#include "objects/controls/oval_button.h"
#include "objects/controls/panel.h"
#include "unit_program.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

using BoxProgram = testsupport::UnitProgram;

}  // namespace

TEST(ScrollBoxes, PositionStaysInRangeAndMovesTheChildren) {
  BoxProgram p(R"(
    dim scrollbox:0
    dim panel:0
    dim panel:1
    set scrollbox:0.Width = 200
    set scrollbox:0.Height = 100
    set panel:0.Parent = scrollbox:0
    set panel:0.Left = 10
    set panel:0.Top = 30
)");
  ASSERT_EQ(p.run(), "");
  ScrollBox& box = p.object<ScrollBox>(kScrollBoxType);
  Panel& child = p.object<Panel>(kPanelType, 0);
  const int32_t visible = box.clientWidth();

  box.setPosition(0, 50);
  EXPECT_EQ(box.axis(0).bar.position, 0) << "nothing to scroll without a range";
  box.setRange(0, 1000);
  box.setPosition(0, 50);
  EXPECT_EQ(child.left(), -40);
  box.setPosition(0, 5000);
  EXPECT_EQ(box.axis(0).bar.position, 1000 - visible) << "past the range";
  EXPECT_EQ(child.left(), 10 - (1000 - visible));
  box.setPosition(0, -20);
  EXPECT_EQ(box.axis(0).bar.position, 0);
  EXPECT_EQ(child.left(), 10);

  box.setRange(1, 400);
  box.setPosition(1, 100);
  EXPECT_EQ(child.top(), -70);
  EXPECT_EQ(child.left(), 10) << "the other axis stays";
  box.setRange(1, -5);
  EXPECT_EQ(box.axis(1).bar.range, 0);
  EXPECT_EQ(box.axis(1).bar.position, 0);
  EXPECT_EQ(child.top(), 30) << "a shrinking range scrolls back";

  // A child placed while scrolled is placed in what is in view.
  box.setRange(0, 1000);
  box.setPosition(0, 50);
  Panel& later = p.object<Panel>(kPanelType, 1);
  later.setParent(&box);
  later.setLeft(5);
  EXPECT_EQ(later.left(), 5);
  box.setPosition(0, 0);
  EXPECT_EQ(later.left(), 55);
}

TEST(ScrollBoxes, UserScrollComesThroughTheEvent) {
  BoxProgram p("dim scrollbox:0\ndim panel:0\nset panel:0.Parent = scrollbox:0\n"
               "set scrollbox:0.VertRange = 500\n");
  ASSERT_EQ(p.run(), "");
  ScrollBox& box = p.object<ScrollBox>(kScrollBoxType);
  gui::InputEvent e{gui::EventKind::Scroll};
  e.key = 1;
  e.x = 60;
  box.event(e);
  EXPECT_EQ(box.axis(1).bar.position, 60);
  EXPECT_EQ(p.object<Panel>(kPanelType).top(), -60);
}

TEST(OvalButtons, GlyphCountGroupAndEllipse) {
  BoxProgram p(R"(
    dim ovalbtn:0
    dim ovalbtn:1
    dim int:0
    goto main
.proc pressed
    let int:0 = int:0 + 1
    endproc
main:
    set ovalbtn:0.Width = 80
    set ovalbtn:0.Height = 40
    set ovalbtn:0.OnMouseDown = pressed
    set ovalbtn:0.NumGlyphs = 0
)");
  ASSERT_EQ(p.run(), "");
  OvalButton& a = p.object<OvalButton>(kOvalButtonType, 0);
  OvalButton& b = p.object<OvalButton>(kOvalButtonType, 1);
  EXPECT_EQ(a.numGlyphs(), 1);
  a.setNumGlyphs(7);
  EXPECT_EQ(a.numGlyphs(), 4);

  a.setDown(1);
  EXPECT_EQ(a.downFlag(), 0) << "no group: never stays down";
  a.setGroupIndex(3);
  b.setGroupIndex(3);
  a.setDown(1);
  b.setDown(1);
  EXPECT_EQ(a.downFlag(), 0);
  EXPECT_EQ(b.downFlag(), 1);

  gui::InputEvent corner{gui::EventKind::MouseDown};
  corner.x = 2;
  corner.y = 2;
  a.event(corner);
  gui::InputEvent middle{gui::EventKind::MouseDown};
  middle.x = 40;
  middle.y = 20;
  const auto presses = [&] { return loadNumber(kInteger, p.m.vars.scalarAt(kInteger, 0)); };
  EXPECT_EQ(presses(), 0) << "a corner of the rectangle is outside the ellipse";
  a.event(middle);
  EXPECT_EQ(presses(), 1);
}

TEST(GlassFrames, EntriesKeepTheirIndex) {
  BoxProgram p(R"(
    dim form:0
    dim panel:0
    dim glassframe:0
    dim glassframe:1
    dim glassframe:2
    set glassframe:2.Create = form:0
    set glassframe:0.Create = panel:0
    set glassframe:1.Create = form:0
    set glassframe:2.Left = 20
    set glassframe:0.Left = 1
)");
  ASSERT_EQ(p.run(), "");
  auto& g0 = p.object<GlassFrame>(kGlassFrameType, 0);
  auto& g2 = p.object<GlassFrame>(kGlassFrameType, 2);
  EXPECT_EQ(g0.left(), 1);
  EXPECT_EQ(g2.left(), 20);
  EXPECT_EQ(g0.tag, 0);
  EXPECT_EQ(g2.tag, 2);
  EXPECT_EQ(g0.parent(), &p.object<Control>(kPanelType));

  g0.setTransparency(-4);
  EXPECT_EQ(g0.transparency(), 0);
  g0.setTransparency(999);
  EXPECT_EQ(g0.transparency(), 255);
}

// One machine at a time: each reserves its own arena.
TEST(GlassFrames, UseBeforeCreateAndForeignHandlesRaise) {
  {
    BoxProgram early("dim glassframe:0\ndim glassframe:1\nset glassframe:1.Left = 3\n");
    EXPECT_EQ(early.run(), "Glass frame 1 not created");
  }
  {
    BoxProgram read("dim glassframe:0\nstdout glassframe:0.Color\n");
    EXPECT_EQ(read.run(), "Glass frame 0 not created");
  }
  BoxProgram dc("dim glassframe:0\ndim form:0\nset glassframe:0.Create = form:0\nset glassframe:0.DC = 12345\n");
  EXPECT_EQ(dc.run(), "Invalid device context handle 12345");
}
