#include "console/std_output.h"

#include <unistd.h>

#include <cerrno>

#include "platform/end_requests.h"

namespace kestrel {

StdOutput::StdOutput(int fd) : fd_(fd), terminal_(isatty(fd) != 0) {}

void StdOutput::flush() {
  if (buffer_.empty()) return;
  if (closed_) {
    buffer_.clear();
    return;
  }
  if (capture_ != nullptr) {
    capture_->append(buffer_);
    buffer_.clear();
    return;
  }
  size_t done = 0;
  while (done < buffer_.size()) {
    ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // The reader went away: the program ends at its next statement, as
      // if it had ended itself, and nothing more is written.
      if (n < 0 && errno == EPIPE) {
        closed_ = true;
        platform::requestEnd(platform::brokenPipeSignal());
      }
      break;
    }
    done += static_cast<size_t>(n);
  }
  buffer_.clear();
}

}  // namespace kestrel
