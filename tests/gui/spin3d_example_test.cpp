// The spinning 3D example on Qt offscreen: frames ticked by hand, the back
// buffer compared pixel for pixel with pictures kept beside the tests. The
// engine is deterministic; one step of a channel is allowed only for the
// last bit of a maths function that a compiler may work out at build time.
#include <gtest/gtest.h>

#include <QTimer>

#include "gui_support.h"
#include "objects/controls/game_screen.h"
#include "objects/controls/game_timer.h"
#include "screenshots.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

QImage backBufferOf(Program& p) {
  auto& screen = objects::world(p.machine()).as<objects::GameScreen>(objects::kGameScreenType, 0);
  gui::PixelView px = screen.backBuffer().pixelView();
  return QImage(reinterpret_cast<const uchar*>(px.pixels), px.width, px.height, px.stride * 4, QImage::Format_RGB32)
      .copy();
}

// How many pixels of the rectangle differ between two pictures.
int changed(const QImage& a, const QImage& b, const QRect& r) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

int brightness(QRgb c) { return qRed(c) + qGreen(c) + qBlue(c); }

void expectSameAsExpected(const QImage& frame, const std::string& name) {
  guitest::saveScreenshot(frame, name);
  const guitest::Comparison c = guitest::compareWithExpected(frame, name, 1);
  EXPECT_TRUE(c.sameSize) << c.report;
  EXPECT_EQ(c.mismatchFraction, 0.0) << c.report;
}

}  // namespace

TEST(Examples, Spin3dTurnsTheCrateAndTheBall) {
  MachineOptions options;
  options.arguments = {std::string(KESTREL_EXAMPLES) + "/spin3d"};
  objects::GameTimer::setManualTicks(true);
  Program p(guitest::exampleSource("spin3d.kasm"), options);
  QImage first, later, shown;
  QTimer::singleShot(20, [&] {
    QWidget* form = p.form(0);
    guitest::settle();
    auto& timer = objects::world(p.machine()).as<objects::GameTimer>(objects::kGameTimerType, 0);
    auto now = objects::GameTimer::Clock::now();
    auto frames = [&](int count) {
      for (int i = 0; i < count; ++i) {
        now += std::chrono::milliseconds(17);
        timer.tick(now);
      }
    };
    frames(1);
    first = backBufferOf(p);
    frames(39);
    later = backBufferOf(p);
    guitest::settle();
    shown = p.grab(0);
    form->close();
  });
  const std::string error = p.run();
  objects::GameTimer::setManualTicks(false);
  ASSERT_EQ(error, "");
  ASSERT_FALSE(first.isNull());
  EXPECT_EQ(p.number(5, 0), 40) << "frames run";
  ASSERT_EQ(later.size(), QSize(480, 360));

  // The crate (left) and the ball (right) have turned; the far floor has not.
  EXPECT_GT(changed(first, later, QRect(90, 100, 120, 140)), 500) << "the crate turned";
  EXPECT_GT(changed(first, later, QRect(260, 100, 160, 160)), 500) << "the ball moved";
  EXPECT_EQ(changed(first, later, QRect(0, 0, 480, 40)), 0) << "the sky stays";
  // Fog: the far floor is nearer the sky's colour than the near floor.
  const QRgb sky = later.pixel(2, 2);
  EXPECT_EQ(sky & 0xFFFFFF, 0x728CB2u) << "the background, as the program gives it";
  EXPECT_LT(std::abs(brightness(later.pixel(240, 140)) - brightness(sky)),
            std::abs(brightness(later.pixel(240, 350)) - brightness(sky)));

  expectSameAsExpected(first, "spin3d_first");
  expectSameAsExpected(later, "spin3d_later");
  // The window shows what was flipped: the back buffer as it stood.
  ASSERT_FALSE(shown.isNull());
  const QImage window = shown.convertToFormat(QImage::Format_RGB32);
  const QPoint offset((window.width() - 480) / 2, (window.height() - 360) / 2);
  EXPECT_EQ(window.pixel(offset + QPoint(240, 200)), later.pixel(240, 200));
}
