#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/low_arena.h"
#include "platform/memory_access.h"
#include "state/errors.h"

namespace kestrel::platform {

namespace {

constexpr size_t kPage = 4096;

// One attempt at copying within a page through the kernel, which reports a
// bad address as EFAULT instead of a signal. process_vm_readv on our own
// process is the direct way; where it is not allowed, a pipe does the same.
bool kernelCopy(void* to, const void* from, size_t length, bool toProgram) {
  iovec local{toProgram ? const_cast<void*>(from) : to, length};
  iovec remote{toProgram ? to : const_cast<void*>(from), length};
  static bool vmAllowed = true;
  if (vmAllowed) {
    const ssize_t n = toProgram ? process_vm_writev(getpid(), &local, 1, &remote, 1, 0)
                                : process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
    if (n == static_cast<ssize_t>(length)) return true;
    if (n >= 0 || errno == EFAULT) return false;
    vmAllowed = false;  // ENOSYS or EPERM: fall back to the pipe
  }
  if (toProgram) return false;  // only reads have the pipe fallback
  static int fds[2] = {-1, -1};
  if (fds[0] < 0 && pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  const ssize_t n = write(fds[1], from, length);
  if (n != static_cast<ssize_t>(length)) {
    if (n > 0) {
      char sink[kPage];
      while (read(fds[0], sink, sizeof sink) > 0) {
      }
    }
    return false;
  }
  return read(fds[0], to, length) == static_cast<ssize_t>(length);
}

// Copies page by page and stops at the first page that cannot be read.
size_t pagedCopy(uint64_t address, uint8_t* local, size_t length, bool toProgram) {
  if (LowArena::instance().contains(address, length)) {
    auto* p = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(address));
    if (toProgram) std::memcpy(p, local, length);
    else std::memcpy(local, p, length);
    return length;
  }
  size_t done = 0;
  while (done < length) {
    const uint64_t at = address + done;
    if (at < address) return done;  // wrapped around the address space
    const size_t chunk = std::min<size_t>(length - done, kPage - (at % kPage));
    void* program = reinterpret_cast<void*>(static_cast<uintptr_t>(at));
    if (at < kPage || !kernelCopy(toProgram ? program : local + done, toProgram ? local + done : program,
                                  chunk, toProgram))
      return done;
    done += chunk;
  }
  return done;
}

}  // namespace

size_t readMemory(uint64_t address, void* out, size_t length) {
  return pagedCopy(address, static_cast<uint8_t*>(out), length, false);
}

size_t writeMemory(uint64_t address, const void* in, size_t length) {
  return pagedCopy(address, static_cast<uint8_t*>(const_cast<void*>(in)), length, true);
}

std::string accessViolationText(uint64_t address) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "Access violation at address %08llX", static_cast<unsigned long long>(address));
  return buf;
}

void raiseAccessViolation(uint64_t address) { raise(accessViolationText(address)); }

void copyFromAddress(uint64_t address, void* out, size_t length) {
  const size_t n = readMemory(address, out, length);
  if (n != length) raiseAccessViolation(address + n);
}

void copyToAddress(uint64_t address, const void* in, size_t length) {
  const size_t n = writeMemory(address, in, length);
  if (n != length) raiseAccessViolation(address + n);
}

std::string textAtAddress(uint64_t address, size_t maxLength) {
  std::string text;
  char buf[256];
  while (text.size() < maxLength) {
    // Never ask past the end of the page, so a text that ends just before
    // an unreadable page is read completely.
    const uint64_t at = address + text.size();
    const size_t chunk = std::min<size_t>({sizeof buf, kPage - (at % kPage), maxLength - text.size()});
    const size_t n = readMemory(at, buf, chunk);
    const void* zero = std::memchr(buf, 0, n);
    if (zero != nullptr) {
      text.append(buf, static_cast<size_t>(static_cast<const char*>(zero) - buf));
      return text;
    }
    text.append(buf, n);
    if (n < chunk) raiseAccessViolation(at + n);
  }
  return text;
}

bool equalMemory(uint64_t a, uint64_t b, size_t length) {
  uint8_t left[kPage], right[kPage];
  for (size_t done = 0; done < length;) {
    const size_t chunk = std::min(length - done, kPage);
    // A difference before an unreadable byte decides without a fault.
    const size_t na = readMemory(a + done, left, chunk);
    const size_t nb = readMemory(b + done, right, chunk);
    const size_t readable = std::min(na, nb);
    if (std::memcmp(left, right, readable) != 0) return false;
    if (readable < chunk) raiseAccessViolation(na < chunk ? a + done + na : b + done + nb);
    done += chunk;
  }
  return true;
}

uint64_t addressFromNumber(double value) {
  if (!(value >= -2147483648.0 && value < 18446744073709551616.0)) raiseAccessViolation(0);
  if (value < 0) return static_cast<uint32_t>(static_cast<int32_t>(value));
  return static_cast<uint64_t>(value);
}

}  // namespace kestrel::platform
