#pragma once
// The first joystick, read without blocking. Without a device (or after it
// goes away) every axis and button reads 0; a device that appears later is
// found on a later poll.
#include <cstdint>
#include <memory>
#include <string>

namespace kestrel::platform {

struct JoystickState {
  int32_t x = 0;  // -32767 (left) to 32767 (right)
  int32_t y = 0;  // -32767 (up) to 32767 (down)
  uint32_t buttons = 0;  // bit n: button n+1 held
};

class Joystick {
 public:
  virtual ~Joystick() = default;
  // The state after every change the device reported so far.
  virtual JoystickState poll() = 0;
};

// The Linux joystick device at `path`.
std::unique_ptr<Joystick> openJoystick(const std::string& path = "/dev/input/js0");

}  // namespace kestrel::platform
