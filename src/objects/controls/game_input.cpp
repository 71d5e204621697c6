#include "objects/controls/game_input.h"

#include "objects/member_rows.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
// Virtual-key codes of the arrow keys.
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
// An axis counts once it is past half way.
constexpr int32_t kAxisThreshold = 16384;

bool keyDown(int key) { return (toolkit().keyState(key) & 0x8000) != 0; }
}  // namespace

namespace {
std::unique_ptr<platform::Joystick> openDevice() { return platform::openJoystick(); }
GameInput::JoystickOpener joystickOpener = openDevice;
}  // namespace

void GameInput::setJoystickOpener(JoystickOpener opener) { joystickOpener = opener != nullptr ? opener : openDevice; }

void GameInput::update() {
  if (!joystick_) joystick_ = joystickOpener();
  const platform::JoystickState stick = joystick_->poll();
  uint32_t fromStick = 0;
  if (stick.y <= -kAxisThreshold) fromStick |= direction::kUp;
  if (stick.y >= kAxisThreshold) fromStick |= direction::kDown;
  if (stick.x <= -kAxisThreshold) fromStick |= direction::kLeft;
  if (stick.x >= kAxisThreshold) fromStick |= direction::kRight;
  uint32_t fromKeys = 0;
  if (keyDown(kKeyUp)) fromKeys |= direction::kUp;
  if (keyDown(kKeyDown)) fromKeys |= direction::kDown;
  if (keyDown(kKeyLeft)) fromKeys |= direction::kLeft;
  if (keyDown(kKeyRight)) fromKeys |= direction::kRight;
  joystickStates_ = fromStick;
  states_ = fromStick | fromKeys;
  buttons_ = stick.buttons;
}

namespace {

using I = GameInput;

template <uint32_t Bit, bool Refresh, bool JoystickOnly>
void readDirection(Machine& m, I& in, EvalStacks& s) {
  (void)m;
  if constexpr (Refresh) in.update();
  const uint32_t states = JoystickOnly ? in.joystickStates() : in.states();
  s.pushNumber((states & Bit) != 0 ? -1 : 0);
}

void ignore(Machine& m, I&) { ignoredOperand(m); }

std::vector<Member<I>> gameInputRows() {
  return {
      {0, "Left", "E", ignore, "", readDirection<direction::kLeft, false, true>,
       "-1 when the joystick alone was held left at the last refresh, else 0 (the arrow key is not seen)"},
      {1, "Right", "E", ignore, "", readDirection<direction::kRight, false, false>,
       "-1 when right was held (arrow key or joystick) at the last refresh, else 0"},
      {2, "Up", "E", ignore, "", readDirection<direction::kUp, true, false>,
       "refreshes the states, then -1 when up is held (arrow key or joystick), else 0"},
      {3, "Down", "E", ignore, "", readDirection<direction::kDown, false, false>,
       "-1 when down was held (arrow key or joystick) at the last refresh, else 0"},
      {4, "Button", "E", ignore, "E",
       [](Machine& m, I& in, EvalStacks& s) { s.pushNumber(in.button(numberOperand(m)) ? 1 : 0); },
       "n: 1 when joystick button n+1 was held at the last refresh, else 0 (n outside 0..31: 0)"},
      {5, "Update", "b", [](Machine& m, I& in) {
         skipByte(m);
         in.update();
       },
       nullptr, nullptr, "refreshes the states from the keyboard and the joystick"},
  };
}

std::unique_ptr<Object> createGameInput(Machine&, int type, int32_t) { return std::make_unique<GameInput>(type); }

}  // namespace

void registerGameInputType(TypeRegistry& registry) {
  static const std::vector<Member<GameInput>> rows = gameInputRows();
  registry.add(describeType(kGameInputType, "gameinput", rows, createGameInput));
}

}  // namespace kestrel::objects
