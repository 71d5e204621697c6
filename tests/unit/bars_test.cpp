// Status bars, gauges, track bars and headers on the null toolkit: the
// gauge's percentage over empty and 32-bit-wide ranges, the track bar's
// range rules and its change event, section widths kept between their
// limits whoever sets them, and the panel index error.
#include <gtest/gtest.h>

#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "image/program_image.h"
#include "objects/controls/gauge.h"
#include "objects/controls/header_control.h"
#include "objects/controls/status_bar.h"
#include "objects/controls/track_bar.h"
#include "state/store_kinds.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

struct BarProgram {
  explicit BarProgram(const std::string& source) : m(parseImage(kasm::assemble(source))) {}
  std::string run() {
    try {
      m.run();
    } catch (const RuntimeError& e) {
      return e.what();
    }
    return "";
  }
  template <class T>
  T& object(int type, int index = 0) {
    return world(m).as<T>(type, index);
  }
  Machine m;
};

}  // namespace

TEST(Gauges, PercentageGuardsTheRangeAndWidth) {
  BarProgram p("dim gauge:0\n");
  ASSERT_EQ(p.run(), "");
  Gauge& g = p.object<Gauge>(kGaugeType);
  EXPECT_EQ(g.percentDone(), 0);
  g.setProgress(50);
  EXPECT_EQ(g.percentDone(), 50);

  g.setMinValue(5);
  g.setMaxValue(5);
  g.setProgress(5);
  EXPECT_EQ(g.percentDone(), 0) << "an empty range";

  g.setMinValue(0);
  g.setMaxValue(2147483647);
  g.setProgress(2147483646);
  EXPECT_EQ(g.progress(), 2147483646);
  EXPECT_EQ(g.percentDone(), 99) << "no 32-bit overflow";

  g.setMinValue(-2147483647 - 1);
  g.setProgress(2147483647);
  EXPECT_EQ(g.percentDone(), 100);
  g.setProgress(-2147483647 - 1);
  EXPECT_EQ(g.percentDone(), 0);

  // A reversed range keeps the progress as set and shows nothing done.
  g.setMinValue(10);
  g.setMaxValue(0);
  g.setProgress(5);
  EXPECT_EQ(g.progress(), 5);
  EXPECT_EQ(g.percentDone(), 0);

  // Painting every kind at odd sizes does not fail.
  for (int kind = 0; kind <= 5; ++kind) {
    g.setKind(kind);
    g.setWidth(kind);
    g.setHeight(1);
  }
}

TEST(TrackBars, RangeRulesAndUserMoves) {
  BarProgram p(R"(
    dim trackbar:0
    dim int:0
    goto main
.proc changed
    let int:0 = int:0 + 1
    endproc
main:
    set trackbar:0.OnChange = changed
    set trackbar:0.Position = 7
)");
  ASSERT_EQ(p.run(), "");
  TrackBar& t = p.object<TrackBar>(kTrackBarType);
  const auto changes = [&] { return loadNumber(kInteger, p.m.vars.scalarAt(kInteger, 0)); };
  EXPECT_EQ(changes(), 0) << "positions the program sets raise nothing";
  EXPECT_EQ(t.peer().look().position, 7);

  t.setFrequency(0);
  EXPECT_EQ(t.frequency(), 1);
  t.setFrequency(-2147483647 - 1);
  EXPECT_EQ(t.frequency(), 1);

  t.setMaxValue(-5);
  EXPECT_EQ(t.minValue(), -5);
  EXPECT_EQ(t.position(), -5);
  t.setMinValue(30);
  EXPECT_EQ(t.maxValue(), 30);
  EXPECT_EQ(t.position(), 30);
  t.setMinValue(0);
  t.setPosition(-1);
  EXPECT_EQ(t.position(), 0);

  // The window reports a move: the position follows (kept in range) and
  // OnChange runs with the track bar as sender.
  gui::InputEvent e{gui::EventKind::Change};
  e.x = 12;
  t.event(e);
  EXPECT_EQ(t.position(), 12);
  e.x = 1000;
  t.event(e);
  EXPECT_EQ(t.position(), 30);
  EXPECT_EQ(changes(), 2);

  // Turning the bar swaps its width and height, once.
  t.setBounds(gui::Rect::fromSize(0, 0, 150, 45));
  t.setOrientation(1);
  t.setOrientation(1);
  EXPECT_EQ(t.width(), 45);
  EXPECT_EQ(t.height(), 150);
  EXPECT_TRUE(t.peer().look().vertical);
}

// The handler sits in the event's own slot: another track bar's handler
// names that track bar as its sender.
TEST(TrackBars, HandlerNamesItsOwnSender) {
  BarProgram q(R"(
    dim trackbar:0
    dim trackbar:1
    dim int:0
    goto main
.proc changed
    let int:0 = arg.trackbar:0.Position
    endproc
main:
    set trackbar:1.OnChange = changed
)");
  ASSERT_EQ(q.run(), "");
  gui::InputEvent move{gui::EventKind::Change};
  move.x = 9;
  q.object<TrackBar>(kTrackBarType, 1).event(move);
  EXPECT_EQ(loadNumber(kInteger, q.m.vars.scalarAt(kInteger, 0)), 9);
  EXPECT_EQ(q.object<TrackBar>(kTrackBarType, 0).handlerFor(gui::EventKind::Change), 0);
}

TEST(Headers, WidthsStayWithinTheSectionLimits) {
  BarProgram p(R"(
    dim header:0
    dim int:0
    goto main
.proc tracked
    let int:0 = arg.double:0 + 10
    endproc
main:
    set header:0.AddSections = "A", "B"
    set header:0.OnSectionTrack = tracked
    set header:0.Section = 1, 7, 30
    set header:0.Section = 1, 6, 80
)");
  ASSERT_EQ(p.run(), "");
  HeaderControl& h = p.object<HeaderControl>(kHeaderType);
  EXPECT_EQ(h.sections()[1].width, 50);
  EXPECT_EQ(h.peer().sections().size(), 2u);

  gui::InputEvent e{gui::EventKind::SectionTrack};
  e.x = 1;
  e.y = 500;
  h.event(e);
  EXPECT_EQ(h.sections()[1].width, 80) << "the user's width is kept under MaxWidth";
  EXPECT_EQ(loadNumber(kInteger, p.m.vars.scalarAt(kInteger, 0)), 11) << "the handler gets the section index";
  e.y = 3;
  h.event(e);
  EXPECT_EQ(h.sections()[1].width, 30);

  // Limits the wrong way round: MinWidth wins.
  h.sectionAt(0).minWidth = 100;
  h.sectionAt(0).maxWidth = 20;
  h.sectionChanged(h.sectionAt(0));
  EXPECT_EQ(h.sections()[0].width, 100);

  // An event for a section that is gone is dropped.
  e.x = 5;
  h.event(e);
  EXPECT_THROW(h.sectionAt(2), RuntimeError);
}

TEST(StatusBars, PanelsAndTheirIndexError) {
  BarProgram p(R"(
    dim statusbar:0
    set statusbar:0.AddPanels = "a", "b", "c"
    set statusbar:0.Panel = 1, 3, 120
    set statusbar:0.Panel = -1, 3, 10
)");
  EXPECT_EQ(p.run(), "List index out of bounds (-1)");
  StatusBar& bar = p.object<StatusBar>(kStatusBarType);
  ASSERT_EQ(bar.panels().size(), 3u);
  EXPECT_EQ(bar.panels()[0].text.str(), "a");
  EXPECT_EQ(bar.panels()[2].text.str(), "c");
  EXPECT_EQ(bar.panels()[1].width, 120);
  EXPECT_EQ(bar.align(), kAlignBottom);
  // Panels far wider than the bar paint without trouble.
  bar.panelAt(0).width = 2147483647;
  bar.panelChanged();
}

// A section of Style 1 is drawn by OnDrawSection with its index and its
// rectangle in rect:50, again after each change; a handler that changes
// the sections is not re-entered.
TEST(Headers, OwnerDrawnSectionsGetTheirRectangle) {
  BarProgram p(R"(
    dim header:0
    dim rect:50
    dim int:0
    dim int:1
    dim int:2
    goto main
.proc draw
    let int:0 = int:0 + 1
    let int:1 = arg.double:0 * 1000 + arg.rect:2.Left
    let int:2 = arg.rect:2.Right
    set header:0.Section = 1, 0, "drawn"
    endproc
main:
    set header:0.Height = 20
    set header:0.AddSections = "A", "B"
    set header:0.OnDrawSection = draw
    set header:0.Section = 0, 3, 70
    set header:0.Section = 1, 8, 1
)");
  ASSERT_EQ(p.run(), "");
  const auto number = [&](int i) { return loadNumber(kInteger, p.m.vars.scalarAt(kInteger, i)); };
  EXPECT_EQ(number(0), 1);
  EXPECT_EQ(number(1), 1070) << "section 1 starts where section 0 ends";
  EXPECT_EQ(number(2), 120);
  HeaderControl& h = p.object<HeaderControl>(kHeaderType);
  EXPECT_EQ(h.sections()[1].text, "drawn");
  h.setHeight(30);
  EXPECT_EQ(number(0), 2) << "drawn again at the new size";
}
