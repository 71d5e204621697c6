#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_io.h"
#include "state/errors.h"

namespace kestrel::platform {

namespace {
constexpr size_t kBufferBytes = 64 * 1024;
constexpr const char* kWriteError = "Stream write error";

bool writeAll(int fd, int64_t position, const uint8_t* src, size_t n) {
  while (n > 0) {
    const ssize_t done = ::pwrite(fd, src, n, position);
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    src += done;
    position += done;
    n -= static_cast<size_t>(done);
  }
  return true;
}

size_t readAll(int fd, int64_t position, uint8_t* dst, size_t n) {
  size_t total = 0;
  while (total < n) {
    const ssize_t done = ::pread(fd, dst + total, n - total, position + static_cast<int64_t>(total));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) break;
    total += static_cast<size_t>(done);
  }
  return total;
}
}  // namespace

bool openModeFromValue(int32_t value, OpenMode& mode) {
  mode = OpenMode{};
  if ((value & 0xFF00) == 0xFF00) {
    mode.flags = O_RDWR | O_CREAT | O_TRUNC;
    mode.create = mode.readable = mode.writable = true;
    return true;
  }
  switch (value & 3) {
    case 0: mode.flags = O_RDONLY; mode.readable = true; return true;
    case 1: mode.flags = O_WRONLY; mode.writable = true; return true;
    case 2: mode.flags = O_RDWR; mode.readable = mode.writable = true; return true;
    default: return false;
  }
}

std::unique_ptr<File> File::open(const std::string& path, const OpenMode& mode, std::string& reason) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    reason = std::strerror(EISDIR);
    return nullptr;
  }
  const int fd = ::open(path.c_str(), mode.flags | O_CLOEXEC, 0666);
  if (fd < 0) {
    reason = std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<File>(new File(fd, mode));
}

File::~File() {
  if (fd_ >= 0) ::close(fd_);
}

bool File::close() {
  const int fd = fd_;
  fd_ = -1;
  cache_.clear();
  // After an interrupted close the descriptor is gone on Linux: never retry.
  return ::close(fd) == 0 || errno == EINTR;
}

size_t File::readAt(int64_t position, uint8_t* dst, size_t n) {
  if (!mode_.readable || n == 0 || position < 0) return 0;
  const int64_t cacheEnd = cacheAt_ + static_cast<int64_t>(cache_.size());
  if (position >= cacheAt_ && position + static_cast<int64_t>(n) <= cacheEnd) {
    std::memcpy(dst, cache_.data() + (position - cacheAt_), n);
    return n;
  }
  if (n >= kBufferBytes) return readAll(fd_, position, dst, n);
  cache_.resize(kBufferBytes);
  cache_.resize(readAll(fd_, position, cache_.data(), kBufferBytes));
  cacheAt_ = position;
  const size_t got = std::min(n, cache_.size());
  std::memcpy(dst, cache_.data(), got);
  return got;
}

void File::writeAt(int64_t position, const uint8_t* src, size_t n) {
  if (!mode_.writable || position < 0) raise(kWriteError);
  if (n == 0) return;
  cache_.clear();
  if (!writeAll(fd_, position, src, n)) raise(kWriteError);
}

int64_t File::size() {
  struct stat st;
  return ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

}  // namespace kestrel::platform
