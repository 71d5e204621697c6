// Status bars, gauges, track bars and headers on Qt: the bar's sunken
// panels and simple text, each gauge kind's share in its colours, a click
// above a vertical track bar's thumb moving it toward Min, and a header's
// clicks and edge drags with widths kept inside the section's limits.
#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSlider>

#include "gui_support.h"
#include "objects/controls/gauge.h"
#include "objects/controls/header_control.h"
#include "objects/controls/status_bar.h"
#include "objects/controls/track_bar.h"
#include "screenshots.h"
#include "toolkit/qt/qt_widget_peer.h"
#include "toolkit/toolkit.h"

using namespace kestrel;
using kestrel::guitest::Program;
using kestrel::guitest::mouse;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;

}  // namespace

// Panels side by side from the left, each sunken (shadow on its top and
// left edges), the last one to the size grip; the simple text replaces them.
TEST(StatusBarPicture, PanelsDockedAtTheBottom) {
  Program p(R"(
    dim form:0
    dim statusbar:0
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 100
    set form:0.Color = 16777215
    set statusbar:0.Parent = form:0
    set statusbar:0.AddPanels = "Ready", "Line 1"
    set statusbar:0.Panel = 0, 3, 100
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "status-bar");
  const uint32_t shadow = toolkit().systemColor(16);
  const uint32_t highlight = toolkit().systemColor(20);
  EXPECT_EQ(Program::bgr(shot, 150, 70), kWhite) << "the form above the bar";
  EXPECT_EQ(Program::bgr(shot, 0, 83), shadow) << "first panel's left edge";
  EXPECT_EQ(Program::bgr(shot, 50, 83), shadow) << "first panel's top edge";
  EXPECT_EQ(Program::bgr(shot, 99, 90), highlight) << "first panel's right edge";
  EXPECT_EQ(Program::bgr(shot, 102, 90), shadow) << "second panel's left edge";
  const uint32_t face = toolkit().systemColor(15);
  EXPECT_NE(guitest::inkBounds(shot, QRect(2, 84, 96, 15), face).width(), 0) << "the first panel's text";

  objects::world(p.machine()).as<objects::StatusBar>(objects::kStatusBarType, 0).setSimplePanel(1);
  guitest::settle();
  const QImage simple = p.grab(0);
  EXPECT_NE(Program::bgr(simple, 102, 90), shadow) << "no panel edge in simple mode";
}

// Each kind shows the share done in ForeColor over BackColor.
TEST(GaugePicture, BarsPieAndNeedle) {
  Program p(R"(
    dim form:0
    dim gauge:0
    dim gauge:1
    dim gauge:2
    dim gauge:3
    set form:0.ClientWidth = 260
    set form:0.ClientHeight = 120
    set gauge:0.Parent = form:0
    set gauge:0.Width = 100
    set gauge:0.Height = 20
    set gauge:0.Progress = 50
    set gauge:0.ShowText = 0
    set gauge:0.ForeColor = 255
    set gauge:1.Parent = form:0
    set gauge:1.Left = 110
    set gauge:1.Width = 20
    set gauge:1.Height = 100
    set gauge:1.Kind = 2
    set gauge:1.Progress = 25
    set gauge:1.ForeColor = 255
    set gauge:2.Parent = form:0
    set gauge:2.Left = 140
    set gauge:2.Width = 100
    set gauge:2.Height = 100
    set gauge:2.Kind = 3
    set gauge:2.Progress = 25
    set gauge:2.ForeColor = 255
    set gauge:2.BackColor = 65280
    set gauge:3.Parent = form:0
    set gauge:3.Top = 30
    set gauge:3.Width = 100
    set gauge:3.Height = 50
    set gauge:3.MinValue = 5
    set gauge:3.MaxValue = 5
    set gauge:3.Kind = 4
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "gauges");
  EXPECT_EQ(Program::bgr(shot, 0, 0), 0u) << "the single border";
  EXPECT_EQ(Program::bgr(shot, 25, 10), kRed);
  EXPECT_EQ(Program::bgr(shot, 75, 10), kWhite);
  EXPECT_EQ(Program::bgr(shot, 120, 90), kRed) << "a vertical bar fills from the bottom";
  EXPECT_EQ(Program::bgr(shot, 120, 20), kWhite);
  EXPECT_EQ(Program::bgr(shot, 215, 25), kRed) << "a quarter pie: twelve to three o'clock";
  EXPECT_EQ(Program::bgr(shot, 165, 75), kGreen);
  EXPECT_EQ(Program::bgr(shot, 215, 75), kGreen);
  EXPECT_EQ(Program::bgr(shot, 20, 70), kWhite) << "an empty range shows nothing done";
}

// Min is at the top of a vertical bar: a click above the thumb pages
// toward Min. Only the user's moves run OnChange.
TEST(TrackBarInput, ClickAboveVerticalThumbLowersPosition) {
  Program p(R"(
    dim form:0
    dim trackbar:0
    dim int:0
    goto main
.proc changed
    let int:0 = int:0 + 1
    endproc
main:
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 220
    set trackbar:0.Parent = form:0
    set trackbar:0.OnChange = changed
    set trackbar:0.Orientation = 1
    set trackbar:0.Height = 200
    set trackbar:0.Max = 10
    set trackbar:0.Position = 5
    set trackbar:0.PageSize = 2
    set trackbar:0.SelStart = 2
    set trackbar:0.SelEnd = 8
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  EXPECT_EQ(p.integer(0), 0);
  auto* slider = dynamic_cast<QSlider*>(p.widget(objects::kTrackBarType, 0));
  ASSERT_NE(slider, nullptr);
  EXPECT_EQ(slider->orientation(), Qt::Vertical);
  EXPECT_EQ(slider->value(), 5);
  guitest::saveScreenshot(p.grab(0), "track-bar");
  mouse(slider, QEvent::MouseButtonPress, QPoint(slider->width() / 2, 12));
  mouse(slider, QEvent::MouseButtonRelease, QPoint(slider->width() / 2, 12));
  guitest::settle();
  auto& t = objects::world(p.machine()).as<objects::TrackBar>(objects::kTrackBarType, 0);
  EXPECT_LT(t.position(), 5);
  EXPECT_EQ(slider->value(), t.position());
  EXPECT_EQ(p.integer(0), 1);
}

// Clicks reach OnSectionClick only for sections that allow them; dragging
// an edge tracks and then resizes, never past MaxWidth.
TEST(HeaderInput, ClicksAndDragsWithinLimits) {
  Program p(R"(
    dim form:0
    dim header:0
    dim int:0
    dim int:1
    dim int:2
    goto main
.proc clicked
    let int:0 = int:0 * 10 + arg.double:0 + 1
    endproc
.proc resized
    let int:1 = header:0.Section(arg.double:0, 3)
    endproc
.proc tracked
    let int:2 = int:2 + 1
    endproc
main:
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 100
    set header:0.Parent = form:0
    set header:0.Width = 300
    set header:0.Height = 20
    set header:0.AddSections = "Name", "Size", "Date"
    set header:0.Section = 0, 3, 100
    set header:0.Section = 0, 6, 120
    set header:0.Section = 2, 5, 0
    set header:0.OnSectionClick = clicked
    set header:0.OnSectionResize = resized
    set header:0.OnSectionTrack = tracked
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* header = dynamic_cast<QHeaderView*>(p.widget(objects::kHeaderType, 0));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->count(), 3);
  EXPECT_EQ(header->sectionSize(0), 100);
  EXPECT_EQ(header->sectionSize(1), 50);
  guitest::saveScreenshot(p.grab(0), "header");
  QWidget* v = header->viewport();
  mouse(v, QEvent::MouseButtonPress, QPoint(120, 10));
  mouse(v, QEvent::MouseButtonRelease, QPoint(120, 10));
  mouse(v, QEvent::MouseButtonPress, QPoint(170, 10));
  mouse(v, QEvent::MouseButtonRelease, QPoint(170, 10));
  guitest::settle();
  EXPECT_EQ(p.integer(0), 2) << "section 1 clicked, section 2 does not allow clicks";

  mouse(v, QEvent::MouseButtonPress, QPoint(99, 10));
  mouse(v, QEvent::MouseMove, QPoint(150, 10));
  mouse(v, QEvent::MouseMove, QPoint(260, 10));
  mouse(v, QEvent::MouseButtonRelease, QPoint(260, 10));
  guitest::settle();
  auto& h = objects::world(p.machine()).as<objects::HeaderControl>(objects::kHeaderType, 0);
  EXPECT_EQ(h.sections()[0].width, 120);
  EXPECT_EQ(header->sectionSize(0), 120);
  EXPECT_EQ(p.integer(1), 120) << "OnSectionResize after the drag";
  EXPECT_GE(p.integer(2), 1) << "OnSectionTrack during it";
}

// Ticks over the whole 32-bit range at Frequency 0 (taken as 1): a few
// hundred at most, thinned to leave room between them, and the bar paints.
TEST(TrackBarPicture, WideRangeTicksAreThinned) {
  Program p(R"(
    dim form:0
    dim trackbar:0
    set form:0.ClientWidth = 320
    set form:0.ClientHeight = 60
    set form:0.Color = 16777215
    set trackbar:0.Parent = form:0
    set trackbar:0.Width = 300
    set trackbar:0.Min = -2147483648
    set trackbar:0.Max = 2147483647
    set trackbar:0.Frequency = 0
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  QWidget* slider = p.widget(objects::kTrackBarType, 0);
  const QImage shot = slider->grab().toImage();
  guitest::saveScreenshot(shot, "track-bar-wide");
  // Ticks are separate dark runs along a row below the groove.
  int most = 0;
  for (int y = shot.height() / 2; y < shot.height(); ++y) {
    int runs = 0;
    bool inRun = false;
    for (int x = 0; x < shot.width(); ++x) {
      const bool dark = qGray(shot.pixel(x, y)) < 100;
      runs += dark && !inRun ? 1 : 0;
      inRun = dark;
    }
    most = std::max(most, runs);
  }
  EXPECT_GE(most, 2) << "a tick at each end at least";
  EXPECT_LE(most, shot.width() / 3 + 2) << "no two ticks closer than three pixels";
}

// An owner-drawn section shows what its handler drew on the header's
// canvas, and no caption of its own.
TEST(HeaderPicture, OwnerDrawnSectionShowsTheCanvas) {
  Program p(R"(
    dim form:0
    dim header:0
    dim rect:50
    goto main
.proc draw
    set header:0.FillRect = arg.rect:2.Left + 2, arg.rect:2.Top + 2, arg.rect:2.Right - 2, arg.rect:2.Bottom - 2, 255
    endproc
main:
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 60
    set header:0.Parent = form:0
    set header:0.Width = 200
    set header:0.Height = 20
    set header:0.OnDrawSection = draw
    set header:0.AddSections = "Text", "Drawn"
    set header:0.Section = 1, 8, 1
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "header-owner-draw");
  EXPECT_EQ(Program::bgr(shot, 75, 10), kRed) << "inside section 1";
  EXPECT_NE(Program::bgr(shot, 25, 10), kRed) << "section 0 draws itself";
}
