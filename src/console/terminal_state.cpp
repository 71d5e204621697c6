#include "console/terminal_state.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace kestrel::terminal {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];

// Read by the signal handlers: plain data only.
struct State {
  volatile sig_atomic_t rawActive = 0;
  int rawFd = -1;
  termios saved{};
  char reset[160] = {};
  volatile sig_atomic_t resetLength = 0;
  bool installed = false;
  struct sigaction previous[kSignalCount] = {};
  bool handled[kSignalCount] = {};
};

State& state() {
  static State s;
  return s;
}

void writeAll(int fd, const char* data, size_t length) {
  while (length > 0) {
    const ssize_t n = ::write(fd, data, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    data += n;
    length -= static_cast<size_t>(n);
  }
}

void onSignal(int sig) {
  const int savedErrno = errno;
  restoreNow();
  State& s = state();
  for (int i = 0; i < kSignalCount; ++i) {
    if (kSignals[i] != sig || !s.handled[i]) continue;
    // Hand the signal to whoever had it before: by default, it ends the process.
    sigaction(sig, &s.previous[i], nullptr);
    s.handled[i] = false;
    s.installed = false;
  }
  raise(sig);
  errno = savedErrno;
}

void restoreAtExit() { restoreNow(); }

void installHandlers() {
  State& s = state();
  if (s.installed) return;
  s.installed = true;
  static bool exitHookSet = false;
  if (!exitHookSet) {
    exitHookSet = true;
    std::atexit(restoreAtExit);
  }
  for (int i = 0; i < kSignalCount; ++i) {
    if (s.handled[i]) continue;
    struct sigaction old {};
    if (sigaction(kSignals[i], nullptr, &old) != 0) continue;
    if (!(old.sa_flags & SA_SIGINFO) && old.sa_handler == SIG_IGN) continue;  // e.g. started with nohup
    struct sigaction ours {};
    ours.sa_handler = onSignal;
    sigemptyset(&ours.sa_mask);
    ours.sa_flags = SA_RESTART;
    if (sigaction(kSignals[i], &ours, &s.previous[i]) == 0) s.handled[i] = true;
  }
}

}  // namespace

bool enterRawInput(int fd) {
  State& s = state();
  if (s.rawActive) return true;
  termios mode{};
  if (!isatty(fd) || tcgetattr(fd, &mode) != 0) return false;
  s.saved = mode;
  s.rawFd = fd;
  mode.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON);
  mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
  mode.c_cc[VMIN] = 0;
  mode.c_cc[VTIME] = 0;
  // Ctrl+Z and Ctrl+\ are keys, as on the console; Ctrl+C still interrupts.
  mode.c_cc[VSUSP] = _POSIX_VDISABLE;
  mode.c_cc[VQUIT] = _POSIX_VDISABLE;
  installHandlers();
  s.rawActive = 1;
  if (tcsetattr(fd, TCSANOW, &mode) != 0) {
    s.rawActive = 0;
    return false;
  }
  return true;
}

void leaveRawInput() {
  State& s = state();
  if (!s.rawActive) return;
  tcsetattr(s.rawFd, TCSANOW, &s.saved);
  s.rawActive = 0;
}

bool rawInputActive() { return state().rawActive != 0; }

void setOutputReset(std::string_view bytes) {
  State& s = state();
  s.resetLength = 0;
  const size_t n = std::min(bytes.size(), sizeof s.reset);
  if (n > 0) std::memcpy(s.reset, bytes.data(), n);
  if (n > 0) installHandlers();
  s.resetLength = static_cast<sig_atomic_t>(n);
}

void restoreNow() {
  State& s = state();
  const auto length = static_cast<size_t>(s.resetLength);
  s.resetLength = 0;
  if (length > 0) writeAll(STDOUT_FILENO, s.reset, length);
  leaveRawInput();
}

}  // namespace kestrel::terminal
