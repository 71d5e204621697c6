#include <fcntl.h>
#include <linux/joystick.h>
#include <unistd.h>

#include <cerrno>

#include "platform/joystick.h"

namespace kestrel::platform {

namespace {

class LinuxJoystick : public Joystick {
 public:
  explicit LinuxJoystick(std::string path) : path_(std::move(path)) {}
  ~LinuxJoystick() override { close(); }

  JoystickState poll() override {
    if (fd_ < 0) {
      fd_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd_ < 0) return {};
      state_ = {};
    }
    js_event e;
    for (;;) {
      const ssize_t got = ::read(fd_, &e, sizeof e);
      if (got == static_cast<ssize_t>(sizeof e)) {
        apply(e);
        continue;
      }
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      // Unplugged or a short read: start again from nothing next time.
      close();
      return {};
    }
    return state_;
  }

 private:
  void apply(const js_event& e) {
    const int type = e.type & ~JS_EVENT_INIT;
    if (type == JS_EVENT_BUTTON && e.number < 32) {
      const uint32_t bit = 1u << e.number;
      state_.buttons = e.value != 0 ? state_.buttons | bit : state_.buttons & ~bit;
    } else if (type == JS_EVENT_AXIS) {
      if (e.number == 0) state_.x = e.value;
      else if (e.number == 1) state_.y = e.value;
    }
  }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  std::string path_;
  int fd_ = -1;
  JoystickState state_;
};

}  // namespace

std::unique_ptr<Joystick> openJoystick(const std::string& path) { return std::make_unique<LinuxJoystick>(path); }

}  // namespace kestrel::platform
