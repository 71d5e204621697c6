#include "console/input_source.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/end_requests.h"

namespace kestrel {

namespace {
constexpr size_t kChunk = 4096;
}  // namespace

InputSource::InputSource(int fd) : fd_(fd), terminal_(isatty(fd) != 0) {}

bool InputSource::waitReadable(int timeoutMs) {
  pollfd p{fd_, POLLIN, 0};
  for (;;) {
    const int n = ::poll(&p, 1, timeoutMs);
    if (n > 0) return true;  // readable, ended or failed: the read tells
    if (n == 0) return false;
    // Waiting for good ends when the program is asked to end.
    if (errno != EINTR || timeoutMs >= 0 || platform::requestedEndStatus() != 0) return false;
  }
}

bool InputSource::fill(int timeoutMs) {
  if (ended_) return false;
  if (!waitReadable(timeoutMs)) return false;
  if (head_ > 0 && head_ == buffer_.size()) {
    buffer_.clear();
    head_ = 0;
  }
  const size_t old = buffer_.size();
  buffer_.resize(old + kChunk);
  ssize_t n;
  do {
    n = ::read(fd_, buffer_.data() + old, kChunk);
  } while (n < 0 && errno == EINTR);
  buffer_.resize(old + static_cast<size_t>(std::max<ssize_t>(n, 0)));
  if (n > 0) return true;
  // A raw terminal reads 0 bytes when nothing is typed; a file or pipe has ended.
  if (!terminal_) ended_ = true;
  return false;
}

void InputSource::consume(size_t n) {
  head_ = std::min(head_ + n, buffer_.size());
  if (head_ == buffer_.size()) {
    buffer_.clear();
    head_ = 0;
  } else if (head_ > kChunk) {
    buffer_.erase(0, head_);
    head_ = 0;
  }
}

std::string InputSource::readSome(size_t count) {
  if (count == 0) return {};
  if (head_ < buffer_.size()) {
    std::string out(pending().substr(0, count));
    consume(out.size());
    return out;
  }
  if (ended_) return {};
  std::string out(std::min(count, size_t{1} << 20), '\0');
  if (!waitReadable(-1)) return {};  // a raw terminal's read would not wait
  ssize_t n;
  do {
    n = ::read(fd_, out.data(), out.size());
  } while (n < 0 && errno == EINTR);
  if (n <= 0) {
    if (n == 0 && !terminal_) ended_ = true;
    return {};
  }
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace kestrel
