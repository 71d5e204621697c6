#include "console/std_output.h"

#include <unistd.h>

#include <cerrno>

namespace kestrel {

StdOutput::StdOutput(int fd) : fd_(fd), terminal_(isatty(fd) != 0) {}

void StdOutput::flush() {
  if (buffer_.empty()) return;
  if (capture_ != nullptr) {
    capture_->append(buffer_);
    buffer_.clear();
    return;
  }
  size_t done = 0;
  while (done < buffer_.size()) {
    ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // a closed pipe loses the rest, as a console would
    done += static_cast<size_t>(n);
  }
  buffer_.clear();
}

}  // namespace kestrel
