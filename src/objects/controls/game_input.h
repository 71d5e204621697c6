#pragma once
// Game input (type 103): the arrow keys and the first joystick as four
// directions, and the joystick's buttons. Only reading Up (and Update)
// refreshes the states; the other reads give the states of that refresh.
// A direction holds when its arrow key is down or the joystick's axis is
// past half way; Left alone reads only the joystick's own state, so the
// left arrow key is not seen there.
#include <cstdint>
#include <memory>

#include "objects/object_model.h"
#include "platform/joystick.h"

namespace kestrel::objects {

inline constexpr int kGameInputType = 103;

namespace direction {
inline constexpr uint32_t kUp = 1;
inline constexpr uint32_t kDown = 2;
inline constexpr uint32_t kLeft = 4;
inline constexpr uint32_t kRight = 8;
}  // namespace direction

class GameInput : public Object {
 public:
  explicit GameInput(int type) : Object(type) {}

  // Reads the keyboard and the joystick again.
  void update();
  // The directions of the last refresh, from keys and joystick together.
  uint32_t states() const { return states_; }
  // The directions the joystick alone gave at the last refresh.
  uint32_t joystickStates() const { return joystickStates_; }
  // Button n (0-based) at the last refresh; outside 0..31 never held.
  bool button(int32_t n) const { return n >= 0 && n < 32 && ((buttons_ >> n) & 1) != 0; }
  // What input objects made from now on open as their joystick (the
  // Linux device unless set; tests feed their own).
  using JoystickOpener = std::unique_ptr<platform::Joystick> (*)();
  static void setJoystickOpener(JoystickOpener opener);

 private:
  std::unique_ptr<platform::Joystick> joystick_;
  uint32_t states_ = 0;
  uint32_t joystickStates_ = 0;
  uint32_t buttons_ = 0;
};

void registerGameInputType(TypeRegistry& registry);

}  // namespace kestrel::objects
