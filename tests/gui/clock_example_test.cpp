// The clock example as a person would use it: set to a time, it ticks a
// few times (the test ticks its timer), then the seconds hand is switched
// off and the hands are made red. What the window shows is compared with
// the picture it should show (saved in the build folder, tests/screenshots).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <QTimer>

#include "gui_support.h"
#include "objects/controls/timer.h"
#include "screenshots.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

QAbstractButton* buttonCaptioned(QWidget* form, const QString& caption) {
  for (QAbstractButton* b : form->findChildren<QAbstractButton*>())
    if (b->text() == caption) return b;
  return nullptr;
}

// Pixels of exactly this colour (0x00BBGGRR) in the picture.
int pixelsOf(const QImage& image, uint32_t bgr) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (Program::bgr(image, x, y) == bgr) ++n;
  return n;
}

constexpr uint32_t kSecondsHand = 0x0080FF;
constexpr uint32_t kRedHands = 0x2222B2;

}  // namespace

TEST(Examples, ClockTicksAndFollowsItsControls) {
  MachineOptions options;
  options.arguments = {"10:08:30"};
  Program p(guitest::exampleSource("clock.kasm"), options);
  QImage ticked, withoutSeconds, red;
  int missing = 0;
  QTimer::singleShot(20, [&] {
    QWidget* form = p.form(0);
    guitest::settle();
    auto& timer = objects::world(p.machine()).as<objects::Timer>(objects::kTimerType, 0);
    for (int i = 0; i < 5; ++i) timer.tick();
    guitest::settle();
    ticked = p.grab(0);
    QAbstractButton* seconds = buttonCaptioned(form, QStringLiteral("&Seconds hand"));
    QAbstractButton* redButton = buttonCaptioned(form, QStringLiteral("Red"));
    if (seconds == nullptr || redButton == nullptr) {
      ++missing;
    } else {
      QTest::mouseClick(seconds, Qt::LeftButton);
      guitest::settle();
      withoutSeconds = p.grab(0);
      QTest::mouseClick(redButton, Qt::LeftButton);
      guitest::settle();
      red = p.grab(0);
    }
    form->close();
  });
  ASSERT_EQ(p.run(), "");
  ASSERT_EQ(missing, 0);
  EXPECT_EQ(p.number(5, 0), 10 * 3600 + 8 * 60 + 35) << "five ticks from 10:08:30";
  ASSERT_FALSE(ticked.isNull());
  guitest::saveScreenshot(ticked, "clock");
  EXPECT_GT(pixelsOf(ticked, kSecondsHand), 40);
  EXPECT_EQ(pixelsOf(withoutSeconds, kSecondsHand), 0);
  EXPECT_EQ(pixelsOf(ticked, kRedHands), 0);
  EXPECT_GT(pixelsOf(red, kRedHands), 300);
  // The hour hand points a little past ten: up and to the left of the centre.
  const QPoint centre(10 + 120, 8 + 120);
  EXPECT_EQ(Program::bgr(red, centre.x() - 30, centre.y() - 17), kRedHands);
  const guitest::Comparison whole = guitest::compareWithExpected(ticked, "clock");
  EXPECT_TRUE(whole.sameSize) << whole.report;
  EXPECT_LE(whole.mismatchFraction, 0.01) << whole.report;
}
