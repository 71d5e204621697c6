// Game screens on Qt offscreen: a flip shows exactly the back buffer's
// pixels (top left, centred or stretched), the first showing initialises
// the screen, a game timer's handler that processes messages gets no
// nested frame, the keyboard state forgets keys when the application
// loses the focus, and an image collection drawn from its manifest.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "gui_support.h"
#include "objects/controls/game_image_list.h"
#include "objects/controls/game_screen.h"
#include "objects/controls/game_timer.h"
#include "screenshots.h"
#include "toolkit/toolkit.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

std::string sprites() { return std::string(KESTREL_EXAMPLES) + "/asteroids.images"; }

}  // namespace

TEST(GameScreens, FlipShowsExactlyTheBackBuffer) {
  Program p(R"(
    dim form:0
    dim gamescreen:0
    dim int:9
    goto main
.proc init
    let int:0 = int:0 + 1
    endproc
main:
    set form:0.ClientWidth = 120
    set form:0.ClientHeight = 100
    set gamescreen:0.OnInitialize = init
    set gamescreen:0.Parent = form:0
    set gamescreen:0.DisplayMode = 40, 30
    set gamescreen:0.Width = 120
    set gamescreen:0.Height = 100
    set gamescreen:0.Fill = 255
    set gamescreen:0.FillRect = 0, 0, 10, 10, 16711680
    set gamescreen:0.Pset = 39, 29, 65280
    set gamescreen:0.Flip
    set gamescreen:0.Fill = 0
    set form:0.ShowModal
)");
  QImage plain, topLeft, stretched;
  int initialised = 0;
  QTimer::singleShot(20, [&] {
    guitest::settle();
    auto& screen = objects::world(p.machine()).as<objects::GameScreen>(objects::kGameScreenType, 0);
    initialised = p.integer(0);
    plain = p.widget(objects::kGameScreenType, 0)->grab().toImage();
    screen.setOption(objects::screen_option::kCenter, false);
    screen.backBuffer().setPixel(39, 29, 255);
    screen.flip();
    guitest::settle();
    topLeft = p.widget(objects::kGameScreenType, 0)->grab().toImage();
    screen.setOption(objects::screen_option::kStretch, true);
    screen.fill(255);
    screen.flip();
    guitest::settle();
    stretched = p.widget(objects::kGameScreenType, 0)->grab().toImage();
    p.form(0)->close();
  });
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(initialised, 1) << "the first showing initialises";
  EXPECT_EQ(p.integer(0), 3) << "so does each option changed afterwards";
  ASSERT_FALSE(plain.isNull());
  // The default options centre the frame: 40 x 30 in 120 x 100.
  EXPECT_EQ(Program::bgr(plain, 40, 35), 0xFF0000u);
  EXPECT_EQ(Program::bgr(plain, 49, 44), 0xFF0000u);
  EXPECT_EQ(Program::bgr(plain, 50, 45), 255u);
  EXPECT_EQ(Program::bgr(plain, 79, 64), 65280u);
  EXPECT_EQ(Program::bgr(plain, 39, 35), 0u) << "outside the frame is black";
  EXPECT_EQ(Program::bgr(plain, 80, 64), 0u);
  EXPECT_EQ(Program::bgr(topLeft, 0, 0), 0u) << "initialising again cleared the back buffer";
  EXPECT_EQ(Program::bgr(topLeft, 39, 29), 255u) << "the frame's last pixel, at the top left";
  EXPECT_EQ(Program::bgr(topLeft, 79, 64), 0u);
  EXPECT_EQ(Program::bgr(stretched, 0, 0), 255u);
  EXPECT_EQ(Program::bgr(stretched, 119, 99), 255u);
}

// A frame whose handler processes messages gets no nested frame however
// long it runs; the timer goes on once it returns.
TEST(GameTimers, HandlerThatProcessesMessagesGetsNoNestedFrame) {
  Program p(R"(
    dim form:0
    dim gametimer:0
    dim int:9
    goto main
.proc frame
    let int:0 = int:0 + 1
    let int:1 = int:1 + 1
    ifnot int:1 > int:2 goto deepest
    let int:2 = int:1
deepest:
    for int:3 = 1 to 20 step 1 else done
again:
    doevents
    next again
done:
    let int:1 = int:1 - 1
    endproc
main:
    set gametimer:0.OnTimer = frame
    set form:0.ShowModal
)");
  QTimer::singleShot(20, [&] {
    for (int i = 0; i < 50 && p.integer(0) < 3; ++i) guitest::settle();
    p.form(0)->close();
  });
  ASSERT_EQ(p.run(), "");
  EXPECT_GE(p.integer(0), 3);
  EXPECT_EQ(p.integer(2), 1) << "never two frames at once";
}

TEST(GameInput, KeysAreForgottenWhenTheApplicationLosesTheFocus) {
  Program p(R"(
    dim form:0
    dim gameinput:0
    dim int:9
)");
  ASSERT_EQ(p.run(), "");
  QWidget* form = p.form(0);
  form->show();
  guitest::settle();
  QTest::keyPress(form, Qt::Key_Up);
  EXPECT_NE(toolkit().keyState(38) & 0x8000, 0);
  QEvent deactivate(QEvent::ApplicationDeactivate);
  QApplication::sendEvent(qApp, &deactivate);
  EXPECT_EQ(toolkit().keyState(38) & 0x8000, 0);
  form->close();
}

// The example's collection loads: its images, their patterns, a colour
// table given to the screen; a blit leaves the transparent colour out.
TEST(ImageCollections, LoadFromManifestAndDraw) {
  MachineOptions options;
  options.arguments = {sprites()};
  Program p(R"(
    dim gamescreen:0
    dim gameimagelist:0
    set gamescreen:0.DisplayMode = 64, 64
    set gamescreen:0.Fill = 16711680
    set gameimagelist:0.DXDraw = gamescreen:0
    set gameimagelist:0.LoadFromFile = param(1)
    set gamescreen:0.FillRect = 0, 0, 4, 4, 255
    set gameimagelist:0.Draw = 2, 0, 0, 0
    set gameimagelist:0.Draw = 2, 40, 40, 999
)", options);
  ASSERT_EQ(p.run(), "");
  auto& list = objects::world(p.machine()).as<objects::GameImageList>(objects::kGameImageListType, 0);
  ASSERT_EQ(list.images().size(), 3u);
  EXPECT_EQ(list.images()[0].patternCount(), 8);
  EXPECT_EQ(list.images()[1].patternCount(), 2);
  EXPECT_EQ(list.images()[2].patternCount(), 1);
  auto& screen = objects::world(p.machine()).as<objects::GameScreen>(objects::kGameScreenType, 0);
  EXPECT_EQ(screen.colorTable(), list.colorTable());
  EXPECT_EQ(screen.defaultColorTable()[0], 0u) << "black comes first in the pictures";
  gui::Surface& back = screen.backBuffer();
  EXPECT_EQ(back.pixel(0, 0), 255) << "the gem's corner is transparent: the canvas drawing shows";
  EXPECT_NE(back.pixel(8, 8), 255) << "the gem's middle";
  EXPECT_NE(back.pixel(8, 8), 16711680);
  EXPECT_EQ(back.pixel(44, 44), 16711680) << "pattern 999 draws nothing";
}

// The game as a person plays it: thrust up for a while, turn right, then
// let it drift; the frames are ticked by hand.
TEST(Examples, AsteroidsFliesTheShipWithTheArrowKeys) {
  MachineOptions options;
  options.arguments = {sprites()};
  objects::GameTimer::setManualTicks(true);
  Program p(guitest::exampleSource("asteroids.kasm"), options);
  QImage frame;
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
    QTest::keyPress(form, Qt::Key_Up);
    frames(20);
    QTest::keyRelease(form, Qt::Key_Up);
    QTest::keyPress(form, Qt::Key_Right);
    frames(12);
    QTest::keyRelease(form, Qt::Key_Right);
    frames(30);
    guitest::settle();
    frame = p.grab(0);
    form->close();
  });
  const std::string error = p.run();
  objects::GameTimer::setManualTicks(false);
  ASSERT_EQ(error, "");
  ASSERT_FALSE(frame.isNull());
  EXPECT_EQ(p.number(5, 3), 62) << "frames run";
  EXPECT_EQ(p.integer(0), 2) << "holding right for 12 frames turns twice (a turn waits 5 frames)";
  guitest::saveScreenshot(frame, "asteroids");
  const guitest::Comparison whole = guitest::compareWithExpected(frame, "asteroids");
  EXPECT_TRUE(whole.sameSize) << whole.report;
  EXPECT_LE(whole.mismatchFraction, 0.01) << whole.report;
}

// Full screen is the window's state, whether set before or after the
// screen has its window; the video mode never changes.
TEST(GameScreens, FullScreenIsTheWindowsState) {
  Program p(R"(
    dim form:0
    dim gamescreen:0
    set gamescreen:0.FullScreen = 1
    set gamescreen:0.Parent = form:0
)");
  ASSERT_EQ(p.run(), "");
  QWidget* form = p.form(0);
  EXPECT_TRUE(form->windowState() & Qt::WindowFullScreen);
  auto& screen = objects::world(p.machine()).as<objects::GameScreen>(objects::kGameScreenType, 0);
  screen.setOption(objects::screen_option::kFullScreen, false);
  EXPECT_FALSE(form->windowState() & Qt::WindowFullScreen);
}
