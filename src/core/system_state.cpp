#include "core/system_state.h"

#include <cerrno>
#include <ctime>

#include "core/machine.h"
#include "platform/end_requests.h"
#include "platform/wav.h"
#include "toolkit/toolkit.h"

namespace kestrel {

namespace {
constexpr int64_t kStandardCursorBase = 0x10000;
constexpr int kSoundAsync = 1;
constexpr int kSoundLoop = 8;
constexpr int kSoundNoStop = 0x10;
}  // namespace

SystemState::SystemState() = default;

SystemState::~SystemState() {
  // Sounds end with the program, as they do when its process ends.
  if (Toolkit* t = toolkitInUse()) t->stopSound();
  if (!printJob) return;
  try {
    printJob->finish();
  } catch (...) {
    // The process is ending; a job that cannot be written is lost either way.
  }
}

int64_t cursorHandle(const SystemState& state, int32_t number) {
  const auto it = state.cursorHandles.find(number);
  if (it != state.cursorHandles.end()) return it->second;
  if (number >= -22 && number <= 0) return kStandardCursorBase - number;
  return 0;
}

int cursorShapeFor(const SystemState& state, int32_t number) {
  const auto it = state.cursorHandles.find(number);
  if (it == state.cursorHandles.end()) return number;
  const int64_t handle = it->second;
  if (handle >= kStandardCursorBase && handle <= kStandardCursorBase + 22)
    return static_cast<int>(kStandardCursorBase - handle);
  return -2;  // a handle from elsewhere shows as the arrow
}

std::string programFolder(const Machine& m) {
  const std::string& self = m.options.executablePath;
  const size_t slash = self.rfind('/');
  return slash == std::string::npos ? std::string() : self.substr(0, slash);
}

void sleepMilliseconds(int64_t milliseconds) {
  if (milliseconds <= 0) return;
  timespec t{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  // A request to end the program cuts the sleep short.
  while (nanosleep(&t, &t) != 0 && errno == EINTR && platform::requestedEndStatus() == 0) {
  }
}

void playWav(const std::vector<uint8_t>& data, int flags) {
  if ((flags & kSoundNoStop) != 0 && toolkit().soundPlaying()) return;
  std::optional<platform::PcmSound> sound = platform::parseWav(data);
  if (!sound) return;
  // A looping sound always plays in the background: waiting for it would
  // never end.
  const bool loop = (flags & kSoundLoop) != 0;
  const bool wait = (flags & kSoundAsync) == 0 && !loop;
  toolkit().playSound(std::move(*sound), wait, loop);
}

}  // namespace kestrel
