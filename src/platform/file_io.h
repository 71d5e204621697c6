#pragma once
// Files opened by programs: positioned reads through a small read-ahead
// buffer, and writes that go to the operating system at once, so that what
// a write statement wrote is in the file whatever ends the process next (a
// kill, a crash in a library). A statement that writes several pieces
// hands them over in one write (see the stream members).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::platform {

// How the run-time's file-mode values map to POSIX open flags:
//   bits 0-1  0 read only (O_RDONLY), 1 write only (O_WRONLY), 2 read and
//             write (O_RDWR); 3 is not a valid access and fails to open.
//             Opening for access never creates the file.
//   bits 4-6  sharing (exclusive, deny write, deny read, deny none): POSIX
//             has no mandatory sharing, so they are accepted and ignored.
//   create    a value whose high byte is 0xFF (65280 and 65535, with or
//             without the sharing bits): O_RDWR | O_CREAT | O_TRUNC, mode 0666
//             less the umask.
struct OpenMode {
  int flags = 0;
  bool create = false;
  bool readable = false;
  bool writable = false;
};
bool openModeFromValue(int32_t value, OpenMode& mode);

class File {
 public:
  // Opens `path` (already translated); nullptr and the system's reason on failure.
  static std::unique_ptr<File> open(const std::string& path, const OpenMode& mode, std::string& reason);
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Reads up to n bytes at `position`; returns how many there were.
  size_t readAt(int64_t position, uint8_t* dst, size_t n);
  // Writes n bytes at `position` to the system; raises "Stream write error"
  // when the file cannot be written (disk full, an I/O error).
  void writeAt(int64_t position, const uint8_t* src, size_t n);
  int64_t size();
  // Closes the file; false when the system reports that writing failed (an
  // error it kept until the close, a descriptor closed behind our back).
  bool close();
  int handle() const { return fd_; }

 private:
  File(int fd, const OpenMode& mode) : fd_(fd), mode_(mode) {}

  int fd_;
  OpenMode mode_;
  std::vector<uint8_t> cache_;    // bytes read ahead
  int64_t cacheAt_ = 0;
};

}  // namespace kestrel::platform
