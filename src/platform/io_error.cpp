#include "platform/io_error.h"

#include <cerrno>

#include "state/errors.h"

namespace kestrel::platform {

std::string ioErrorText(int e) {
  switch (e) {
    case ENOENT: return "File not found";
    case ENOTDIR: return "Path not found";
    case EACCES: case EPERM: case EROFS: return "File access denied";
    case ENOSPC: case EDQUOT: return "Disk full";
    case ENAMETOOLONG: case EINVAL: return "Invalid filename";
    case EMFILE: case ENFILE: return "Too many open files";
    default: return "I/O error " + std::to_string(e);
  }
}

void raiseIoError(int e) { raise(ioErrorText(e)); }

}  // namespace kestrel::platform
