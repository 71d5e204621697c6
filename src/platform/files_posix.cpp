#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files.h"

namespace kestrel::platform {

namespace {

bool writeAll(int fd, const uint8_t* data, size_t length) {
  while (length > 0) {
    const ssize_t n = ::write(fd, data, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

bool copyThenDelete(const std::string& from, const std::string& to) {
  struct stat st;
  if (stat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  std::vector<uint8_t> bytes;
  if (!readFileBytes(from, bytes)) return false;
  const int fd = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
  if (fd < 0) return false;
  const bool written = writeAll(fd, bytes.data(), bytes.size());
  if (close(fd) != 0 || !written) {
    unlink(to.c_str());
    return false;
  }
  return unlink(from.c_str()) == 0;
}

}  // namespace

bool fileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool directoryExists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool moveFile(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) return false;
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EXDEV) return copyThenDelete(from, to);
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace rename: look first.
  struct stat st;
  if (lstat(to.c_str(), &st) == 0) return false;
  if (rename(from.c_str(), to.c_str()) == 0) return true;
  return errno == EXDEV && copyThenDelete(from, to);
}

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool written = writeAll(fd, bytes.data(), bytes.size());
  return close(fd) == 0 && written;
}

bool replaceFileBytes(const std::string& path, const std::string_view bytes) {
  const std::string temporary = path + ".~tmp" + std::to_string(getpid());
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool written = writeAll(fd, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) && fsync(fd) == 0;
  if (close(fd) == 0 && written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return false;
  }
  bytes.clear();
  uint8_t buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return false;
    }
    if (n == 0) break;
    bytes.insert(bytes.end(), buf, buf + n);
  }
  close(fd);
  return true;
}

}  // namespace kestrel::platform
