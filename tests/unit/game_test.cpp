// Game screens, game timers, image collections and game input on the null
// toolkit: the display-mode bounds, the option reads, when the initialise
// handlers run, the frame cap and nesting of the timer, the manifest's
// bounds and the pattern blits, and the input's refresh rules.
#include <gtest/gtest.h>

#include <string>

#include "objects/controls/game_image_list.h"
#include "objects/controls/game_input.h"
#include "objects/controls/game_screen.h"
#include "objects/controls/game_timer.h"
#include "objects/image_collection.h"
#include "unit_program.h"

using namespace kestrel;
using namespace kestrel::objects;
using testsupport::UnitProgram;

namespace {

std::string runOne(const std::string& body) {
  UnitProgram p("    dim gamescreen:0\n    dim gameimagelist:0\n" + body);
  return p.run();
}

}  // namespace

TEST(GameScreens, DisplayModeBounds) {
  EXPECT_EQ(runOne("    set gamescreen:0.DisplayMode = 0, 0\n"), "Display mode not supported (0 x 0)");
  EXPECT_EQ(runOne("    set gamescreen:0.DisplayMode = 70000, 70000\n"), "Display mode not supported (70000 x 70000)");
  EXPECT_EQ(runOne("    set gamescreen:0.DisplayMode = 320, -2\n"), "Display mode not supported (320 x -2)");
  EXPECT_EQ(runOne("    set gamescreen:0.DisplayMode = 16385, 1\n"), "Display mode not supported (16385 x 1)");
  UnitProgram p(R"(
    dim gamescreen:0
    set gamescreen:0.DisplayMode = 320, 200
    set gamescreen:0.AutoSize = 5
)");
  ASSERT_EQ(p.run(), "");
  auto& s = world(p.m).as<GameScreen>(kGameScreenType, 0);
  EXPECT_EQ(s.backBuffer().width(), 320);
  EXPECT_EQ(s.backBuffer().height(), 200);
  EXPECT_EQ(s.clientSize().width, 320) << "AutoSize takes the display mode's size";
}

// Option members read -1 or 0, AutoSize 1 or 0; a bit count other than 8
// gives 16; the 3D option brings retained mode.
TEST(GameScreens, OptionReadsAndBitCount) {
  UnitProgram p(R"(
    dim gamescreen:0
    dim int:9
    set gamescreen:0.FullScreen = 1
    set gamescreen:0.Stretch = 7
    set gamescreen:0.Use3D = 1
    set gamescreen:0.AutoSize = -1
    let int:0 = gamescreen:0.FullScreen
    let int:1 = gamescreen:0.Stretch
    let int:2 = gamescreen:0.Use3D
    let int:3 = gamescreen:0.Hardware
    let int:4 = gamescreen:0.AutoSize
    set gamescreen:0.BitCount = 24
    let int:5 = gamescreen:0.BitCount
    set gamescreen:0.BitCount = 8
    let int:6 = gamescreen:0.BitCount
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), -1);
  EXPECT_EQ(p.number(1), -1);
  EXPECT_EQ(p.number(2), -1);
  EXPECT_EQ(p.number(3), 0);
  EXPECT_EQ(p.number(4), 1);
  EXPECT_EQ(p.number(5), 16);
  EXPECT_EQ(p.number(6), 8);
  auto& s = world(p.m).as<GameScreen>(kGameScreenType, 0);
  EXPECT_TRUE(s.hasOption(screen_option::kRetainedMode));
  EXPECT_TRUE(s.hasOption(screen_option::kZBuffer));
  EXPECT_TRUE(s.peer().fullScreen());
}

// Nothing initialises before the first showing; then each option or mode
// change initialises again, OnInitialize before OnInitializeSurface.
TEST(GameScreens, InitialiseHandlersRunAtShowingAndAfterChanges) {
  UnitProgram p(R"(
    dim gamescreen:0
    dim str:0
    goto main
.proc init
    let str:0 = str:0 + "i"
    endproc
.proc surface
    let str:0 = str:0 + "s"
    endproc
main:
    set gamescreen:0.OnInitialize = init
    set gamescreen:0.OnInitializeSurface = surface
    set gamescreen:0.Stretch = 1
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.text(0), "");
  auto& s = world(p.m).as<GameScreen>(kGameScreenType, 0);
  gui::InputEvent shown{gui::EventKind::Show};
  s.event(shown);
  s.event(shown);
  EXPECT_EQ(p.text(0), "is");
  s.setDisplayMode(100, 100);
  s.setDisplayMode(100, 100);
  s.setOption(screen_option::k3D, true);
  s.setBitCount(8);
  EXPECT_EQ(p.text(0), "isisisis");
}

TEST(GameScreens, FlipPresentsTheBackBufferWithItsOptions) {
  UnitProgram p(R"(
    dim gamescreen:0
    set gamescreen:0.Stretch = 1
    set gamescreen:0.Fill = 255
    set gamescreen:0.Flip
    set gamescreen:0.ReleaseCanvas
)");
  ASSERT_EQ(p.run(), "");
  auto& s = world(p.m).as<GameScreen>(kGameScreenType, 0);
  EXPECT_EQ(s.peer().presentedFrames(), 1);
  ASSERT_NE(s.peer().front(), nullptr);
  EXPECT_EQ(s.peer().front()->width(), 640);
  EXPECT_TRUE(s.peer().presentOptions().stretch);
  EXPECT_TRUE(s.peer().presentOptions().center);
}

// The handler gets the timer itself as sender; frames closer together
// than Interval are skipped; FrameRate counts the last second's frames;
// a tick while the handler runs is dropped.
TEST(GameTimers, CapSenderFrameRateAndNoNesting) {
  UnitProgram p(R"(
    dim gametimer:1
    dim int:9
    goto main
.proc frame
    let int:0 = int:0 + 1
    let int:1 = arg.gametimer:0.Interval
    endproc
main:
    set gametimer:1.Interval = 16
    set gametimer:1.OnTimer = frame
    set gametimer:1.FrameRate = 99
    let int:2 = gametimer:1.Enabled
    let int:3 = gametimer:1.ActiveOnly
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(2), 1);
  EXPECT_EQ(p.number(3), 0);
  auto& t = world(p.m).as<GameTimer>(kGameTimerType, 1);
  EXPECT_TRUE(t.peer().running());
  EXPECT_EQ(t.peer().interval(), 1) << "a capped timer looks every millisecond";
  t.setInterval(0);
  EXPECT_EQ(t.peer().interval(), 0) << "an uncapped one whenever the event loop is idle";
  t.setInterval(16);
  const auto t0 = GameTimer::Clock::time_point{} + std::chrono::hours(1);
  t.tick(t0);
  t.tick(t0 + std::chrono::milliseconds(10));
  t.tick(t0 + std::chrono::milliseconds(16));
  EXPECT_EQ(p.number(0), 2);
  EXPECT_EQ(p.number(1), 16) << "the sender is the timer that ticked";
  EXPECT_EQ(t.frameRate(), 2);
  t.tick(t0 + std::chrono::milliseconds(1010));
  EXPECT_EQ(t.frameRate(), 2) << "the frame at 0 ms is more than a second old, the one at 16 ms is not";
  t.setEnabled(false);
  t.tick(t0 + std::chrono::milliseconds(2000));
  EXPECT_EQ(p.number(0), 3);
  EXPECT_FALSE(t.peer().running());
}

TEST(ImageCollections, ManifestBounds) {
  const auto error = [](std::string_view text) {
    try {
      parseManifest(text);
    } catch (const RuntimeError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(error(std::string("DXG\0\x01\x02", 6)), "Unsupported image collection format");
  EXPECT_EQ(error(""), "Unsupported image collection format");
  EXPECT_EQ(error("KESTREL-IMAGES 2\n"), "Unsupported image collection format");
  EXPECT_EQ(error("KESTREL-IMAGES 1\nship.png 32 32\n"), "Invalid image collection (line 2)");
  EXPECT_EQ(error("KESTREL-IMAGES 1\n\n# c\nship.png 32 -1 0\n"), "Invalid image collection (line 4)");
  EXPECT_EQ(error("KESTREL-IMAGES 1\nship.png 32 99999999999999999999 0\n"), "Invalid image collection (line 2)");
  EXPECT_EQ(error("KESTREL-IMAGES 1\nship.png 32 32 16777216\n"), "Invalid image collection (line 2)");
  EXPECT_EQ(error("KESTREL-IMAGES 1\n../ship.png 32 32 0\n"), "Invalid image collection (line 2)");
  EXPECT_EQ(error("KESTREL-IMAGES 1\n/etc/ship.png 32 32 0\n"), "Invalid image collection (line 2)");
  const auto entries = parseManifest("KESTREL-IMAGES 1\r\n# sprites\r\nsprites/ship.png 16 8 -1\r\nrock.png 0 0 65280\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].file, "sprites/ship.png");
  EXPECT_EQ(entries[0].patternWidth, 16);
  EXPECT_EQ(entries[0].transparent, -1);
  EXPECT_EQ(entries[1].file, "rock.png");
  EXPECT_EQ(entries[1].transparent, 65280);
}

// A 4 x 2 picture cut into two 2 x 2 patterns, green transparent; drawn
// clipped at each edge; a pattern past the image draws nothing.
TEST(ImageCollections, PatternsBlitWithTransparencyAndClipping) {
  const uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF;
  CollectionImage image({red, green, blue, blue, green, red, blue, 0x00123456}, 4, 2,
                        ManifestEntry{"x.png", 2, 2, 0x00FF00});
  ASSERT_EQ(image.patternCount(), 2);
  std::vector<uint32_t> pixels(9, 0xFF000000);
  const gui::PixelView view{pixels.data(), 3, 3, 3};
  image.draw(view, 0, 0, 0);
  EXPECT_EQ(pixels[0], red);
  EXPECT_EQ(pixels[1], 0xFF000000u) << "transparent colour";
  EXPECT_EQ(pixels[4], red);
  image.draw(view, 2, 2, 1);  // clipped right and bottom
  EXPECT_EQ(pixels[8], blue);
  image.draw(view, -1, -1, 1);  // clipped left and top: only the see-through corner lands
  EXPECT_EQ(pixels[0], red) << "an alpha-free pixel is not drawn";
  const std::vector<uint32_t> before = pixels;
  image.draw(view, 0, 0, 999);
  image.draw(view, 0, 0, -1);
  image.draw(view, 100000, -100000, 0);
  EXPECT_EQ(pixels, before);
}

TEST(ImageCollections, DrawNeedsAScreenAndAnImageInRange) {
  EXPECT_EQ(runOne("    set gameimagelist:0.Draw = 0, 0, 0, 0\n"), "Image list has no screen");
  EXPECT_EQ(runOne("    set gameimagelist:0.DXDraw = gamescreen:0\n    set gameimagelist:0.Draw = 3, 0, 0, 0\n"),
            "List index out of bounds (3)");
  EXPECT_EQ(runOne("    dim form:0\n    set gameimagelist:0.DXDraw = form:0\n"), "Invalid class typecast");
  EXPECT_EQ(runOne("    set gameimagelist:0.LoadFromFile = \"/nonexistent/x.txt\"\n").rfind("Cannot open file", 0), 0u);
}

namespace {
platform::JoystickState fakeStick;
struct FakeJoystick : platform::Joystick {
  platform::JoystickState poll() override { return fakeStick; }
};
std::unique_ptr<platform::Joystick> openFake() { return std::make_unique<FakeJoystick>(); }
}  // namespace

// Only Up and Update refresh; Left reads the joystick alone (the left
// arrow key is not seen there); buttons are bits, numbers outside 0..31
// read 0; an axis counts from half way.
TEST(GameInput, RefreshRulesButtonsAndThreshold) {
  GameInput::setJoystickOpener(openFake);
  fakeStick = {.x = -20000, .y = 16000, .buttons = 0x80000001u};
  UnitProgram p(R"(
    dim gameinput:0
    dim int:9
    let int:0 = gameinput:0.Right + gameinput:0.Left * 10 + gameinput:0.Down * 100
    let int:1 = gameinput:0.Up
    let int:2 = gameinput:0.Left
    let int:3 = gameinput:0.Down
    let int:4 = gameinput:0.Button(-1) + gameinput:0.Button(31) * 10 + gameinput:0.Button(32) * 100 + gameinput:0.Button(0) * 1000
    let int:6 = gameinput:0.Right
    set gameinput:0.Update
    let int:7 = gameinput:0.Right
)");
  ASSERT_EQ(p.run(), "");
  GameInput::setJoystickOpener(nullptr);
  EXPECT_EQ(p.number(0), 0) << "nothing read before the first refresh";
  EXPECT_EQ(p.number(1), 0) << "16000 is short of half way";
  EXPECT_EQ(p.number(2), -1);
  EXPECT_EQ(p.number(3), 0);
  EXPECT_EQ(p.number(4), 1010);
  EXPECT_EQ(p.number(6), 0);
  EXPECT_EQ(p.number(7), 0);
  auto& input = world(p.m).as<GameInput>(kGameInputType, 0);
  fakeStick = {.x = 32767, .y = -16384, .buttons = 0};
  EXPECT_EQ(input.states(), direction::kLeft) << "states stay until the next refresh";
  input.update();
  EXPECT_EQ(input.states(), direction::kRight | direction::kUp);
  EXPECT_FALSE(input.button(0));
}

TEST(GameInput, AbsentJoystickReadsZero) {
  auto stick = platform::openJoystick("/nonexistent/js0");
  const platform::JoystickState s = stick->poll();
  EXPECT_EQ(s.x, 0);
  EXPECT_EQ(s.y, 0);
  EXPECT_EQ(s.buttons, 0u);
}
