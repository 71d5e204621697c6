// The dashboard example as a person would use it: with its clock set, the
// timer ticks a few times (by hand), a track bar is paged to the right and
// its gauge follows, the splitter is dragged 30 pixels to the right, and
// the oval button brings up the glass frame. The finished window is
// compared with the picture it should show.
#include <gtest/gtest.h>

#include <QSlider>
#include <QTimer>

#include "gui_support.h"
#include "objects/controls/boxes.h"
#include "objects/controls/gauge.h"
#include "objects/controls/glass_frame.h"
#include "objects/controls/oval_button.h"
#include "objects/controls/splitter.h"
#include "objects/controls/status_bar.h"
#include "objects/controls/timer.h"
#include "objects/controls/track_bar.h"
#include "screenshots.h"

using namespace kestrel;
using kestrel::guitest::mouse;
using kestrel::guitest::Program;

namespace {

// Pixels of `region` exactly this colour (0x00BBGGRR).
int pixelsOf(const QImage& image, const QRect& region, uint32_t bgr) {
  int n = 0;
  for (int y = region.top(); y <= region.bottom(); ++y)
    for (int x = region.left(); x <= region.right(); ++x)
      if (Program::bgr(image, x, y) == bgr) ++n;
  return n;
}

constexpr uint32_t kLeftGauge = 0x008000;  // the left level's bar, green

struct Seen {
  std::string timeShown;
  int sliderBefore = -1, sliderAfter = -1;
  int progressAfter = -1, meanAfter = -1;
  int greenBefore = 0, greenAfter = 0;
  int levelsBefore = 0, levelsAfter = 0, displayBefore = 0, displayAfter = 0;
  bool glassBefore = true, glassAfter = false;
  QImage glassBeforeShot, finalShot;
};

}  // namespace

TEST(Examples, DashboardFollowsItsControls) {
  MachineOptions options;
  options.arguments = {"12:00:00"};
  Program p(guitest::exampleSource("dashboard.kasm"), options);
  Seen s;
  int missing = 0;
  QTimer::singleShot(20, [&] {
    QWidget* form = p.form(0);
    guitest::settle();
    auto& world = objects::world(p.machine());
    auto& timer = world.as<objects::Timer>(objects::kTimerType, 0);
    for (int i = 0; i < 3; ++i) timer.tick();
    guitest::settle();
    s.timeShown = world.as<objects::StatusBar>(objects::kStatusBarType, 0).panels()[0].text.str();

    auto* slider = dynamic_cast<QSlider*>(p.widget(objects::kTrackBarType, 0));
    auto* levels = p.widget(objects::kGroupBoxType, 0);
    auto* display = p.widget(objects::kGroupBoxType, 1);
    QWidget* bar = p.widget(objects::kSplitterType, 0);
    QWidget* oval = p.widget(objects::kOvalButtonType, 0);
    QWidget* glass = p.widget(objects::kGlassFrameType, 0);
    if (!slider || !levels || !display || !bar || !oval || !glass) {
      ++missing;
      form->close();
      return;
    }
    const auto gaugeArea = [&] {
      QWidget* g = p.widget(objects::kGaugeType, 1);
      return QRect(g->mapTo(form, QPoint(0, 0)), g->size());
    };
    QImage shot = p.grab(0);
    s.sliderBefore = slider->value();
    s.greenBefore = pixelsOf(shot, gaugeArea(), kLeftGauge);
    s.levelsBefore = levels->width();
    s.displayBefore = display->width();
    s.glassBefore = glass->isVisible();

    // A click right of the thumb pages the left level up by 10.
    mouse(slider, QEvent::MouseButtonPress, QPoint(slider->width() - 6, slider->height() / 2));
    mouse(slider, QEvent::MouseButtonRelease, QPoint(slider->width() - 6, slider->height() / 2));
    guitest::settle();
    s.sliderAfter = slider->value();
    s.progressAfter = world.as<objects::Gauge>(objects::kGaugeType, 1).progress();
    s.meanAfter = world.as<objects::Gauge>(objects::kGaugeType, 0).progress();

    mouse(bar, QEvent::MouseButtonPress, QPoint(2, 60));
    mouse(bar, QEvent::MouseMove, QPoint(32, 60));
    mouse(bar, QEvent::MouseButtonRelease, QPoint(32, 60));
    guitest::settle();
    s.levelsAfter = levels->width();
    s.displayAfter = display->width();

    s.glassBeforeShot = p.grab(0);
    const QPoint middle(oval->width() / 2, oval->height() / 2);
    mouse(oval, QEvent::MouseButtonPress, middle);
    mouse(oval, QEvent::MouseButtonRelease, middle);
    guitest::settle();
    s.glassAfter = glass->isVisible();
    s.finalShot = p.grab(0);
    s.greenAfter = pixelsOf(s.finalShot, gaugeArea(), kLeftGauge);
    form->close();
  });
  ASSERT_EQ(p.run(), "");
  ASSERT_EQ(missing, 0);

  EXPECT_EQ(s.timeShown, "12:00:03") << "three ticks from the time given";
  EXPECT_EQ(s.sliderBefore, 30);
  EXPECT_EQ(s.sliderAfter, 40);
  EXPECT_EQ(s.progressAfter, 40) << "the bar gauge follows its track bar";
  EXPECT_EQ(s.meanAfter, (40 + 70) / 2) << "the status gauge shows the mean";
  // The bar gauge is 120 wide: its green part grows by a tenth of it.
  EXPECT_GT(s.greenAfter, s.greenBefore);
  EXPECT_NEAR((s.greenAfter - s.greenBefore) / 16.0, 12.0, 2.0);

  EXPECT_EQ(s.levelsAfter, s.levelsBefore + 30);
  EXPECT_EQ(s.displayAfter, s.displayBefore - 30);

  EXPECT_FALSE(s.glassBefore);
  EXPECT_TRUE(s.glassAfter);
  ASSERT_FALSE(s.finalShot.isNull());
  // The frame whitens the picture under it: the grab changes there.
  EXPECT_NE(s.glassBeforeShot, s.finalShot);

  guitest::saveScreenshot(s.finalShot, "dashboard");
  const guitest::Comparison whole = guitest::compareWithExpected(s.finalShot, "dashboard");
  EXPECT_TRUE(whole.sameSize) << whole.report;
  EXPECT_LE(whole.mismatchFraction, 0.01) << whole.report;
}
