// The member table of game screens (type 100). The option members read
// back -1 or 0; AutoSize reads 1 or 0. The members that only serve 3D
// scenes join this table with the 3D objects.
#include <algorithm>

#include "objects/control_members.h"
#include "objects/controls/game_screen.h"
#include "objects/gui_state.h"
#include "objects/scene3d/scene3d_objects.h"

namespace kestrel::objects {

namespace {

using S = GameScreen;

template <uint32_t Bit>
Member<S> optionRow(int code, const char* name, const char* about) {
  return {static_cast<uint8_t>(code), name, "E", [](Machine& m, S& s) { s.setOption(Bit, truthOperand(m)); }, "",
          [](Machine&, S& s, EvalStacks& st) { st.pushNumber(s.hasOption(Bit) ? -1 : 0); }, about};
}

void displayMode(Machine& m, S& s) {
  skipByte(m);
  const int32_t width = numberOperand(m);
  skipByte(m);
  const int32_t height = numberOperand(m);
  skipByte(m);
  s.setDisplayMode(width, height);
}

void fill(Machine& m, S& s) {
  skipByte(m);
  const int32_t color = numberOperand(m);
  skipByte(m);
  s.fill(color);
}

void flip(Machine& m, S& s) {
  skipByte(m);
  s.releaseCanvas();
  s.flip();
}

// The scratch bitmap takes the screen's size, clipped to the back buffer
// (a screen larger than its buffer would rotate pixels that are not there).
void rotate(Machine& m, S& s) {
  const int32_t width = std::clamp(s.width(), 0, s.backBuffer().width());
  const int32_t height = std::clamp(s.height(), 0, s.backBuffer().height());
  checkPictureSize(width, height);
  canvas::rotate(m, s.canvasTarget(), height, width);
}

std::vector<Member<S>> gameScreenRows() {
  std::vector<Member<S>> rows = {
      {0, "DisplayMode", "bEbEb", displayMode, nullptr, nullptr,
       "width, height: the display mode's size, 1 to 16384 a side; the back buffer takes it"},
      {4, "Fill", "bEb", fill, nullptr, nullptr, "colour: fills the whole back buffer"},
      {7, "Flip", "b", flip, nullptr, nullptr, "shows the back buffer's pixels in the window"},
      optionRow<screen_option::kFullScreen>(12, "FullScreen", "the window fills the screen; reads -1 or 0"),
      property<&S::autoSize, &S::setAutoSize>(13, "AutoSize",
                                              "the screen takes the display mode's size; reads 1 or 0"),
      optionRow<screen_option::kHardware>(35, "Hardware", "the hardware option; reads -1 or 0"),
      optionRow<screen_option::k3D>(36, "Use3D", "the 3D option, which brings retained mode; reads -1 or 0"),
      property<&S::bitCount, &S::setBitCount>(52, "BitCount",
                                              "the display mode's bits a pixel: 8 when set to 8, else 16"),
      optionRow<screen_option::kStretch>(53, "Stretch", "frames are scaled to the window; reads -1 or 0"),
      action<&S::releaseCanvas>(65, "ReleaseCanvas", "ends canvas drawing before a blit"),
      {72, "Rotate", "EEE", rotate, nullptr, nullptr,
       "x, y, angle: turns the back buffer by angle degrees about (x, y) through the scratch bitmap"},
  };
  addScreen3dMembers(rows);
  addCommonMembers(rows, CommonCodes{.left = 20, .top = 22, .width = 23, .height = 21, .parent = 1, .font = 6,
                                     .enabled = 16, .visible = 19, .showHint = 17, .hint = 18, .color = 14,
                                     .cursor = 15, .align = 2});
  addEventMembers(rows, EventCodes{.click = 24, .dblClick = 25, .mouseDown = 26, .mouseUp = 28, .mouseMove = 27,
                                   .keyPress = 30, .keyDown = 29, .initialize = 37, .initializeSurface = 46});
  addFontMembers(rows, 200);
  addCanvasMembers(rows, CanvasCodes{.textOut = 3, .line = 8, .floodFill = 5, .circle = 9, .rectangle = 10,
                                     .pset = 31, .pixel = 32, .fillRect = 11, .draw = 33, .copyRect = 34,
                                     .stretchDraw = 67, .textRect = 68, .textHeight = 69, .textWidth = 70});
  return rows;
}

std::unique_ptr<Object> createGameScreen(Machine& m, int type, int32_t index) {
  auto screen = std::make_unique<S>(m, type);
  sceneHosts(m).add(index, screen->sharedSceneHost());
  return screen;
}

}  // namespace

void registerGameScreenType(TypeRegistry& registry) {
  static const std::vector<Member<S>> rows = gameScreenRows();
  registry.add(describeType(kGameScreenType, "gamescreen", rows, createGameScreen));
}

}  // namespace kestrel::objects
