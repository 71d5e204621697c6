#include "extcall/program_memory.h"

#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/low_arena.h"
#include "state/errors.h"

namespace kestrel::extcall {

namespace {

// The kernel copies between two ranges of this very process and reports a
// bad address as EFAULT instead of a fault.
bool copyChecked(void* to, const void* from, size_t length, bool remoteIsSource) {
  if (length == 0) return true;
  iovec local{}, remote{};
  if (remoteIsSource) {
    local = {to, length};
    remote = {const_cast<void*>(from), length};
  } else {
    local = {const_cast<void*>(from), length};
    remote = {to, length};
  }
  const ssize_t n = remoteIsSource ? process_vm_readv(getpid(), &local, 1, &remote, 1, 0)
                                   : process_vm_writev(getpid(), &local, 1, &remote, 1, 0);
  return n == static_cast<ssize_t>(length);
}

}  // namespace

bool tryReadMemory(uint64_t address, void* to, size_t length) {
  if (length == 0) return true;
  if (address == 0) return false;
  if (platform::LowArena::instance().contains(address, length)) {
    std::memcpy(to, reinterpret_cast<const void*>(address), length);
    return true;
  }
  return copyChecked(to, reinterpret_cast<const void*>(address), length, true);
}

bool tryWriteMemory(uint64_t address, const void* from, size_t length) {
  if (length == 0) return true;
  if (address == 0) return false;
  if (platform::LowArena::instance().contains(address, length)) {
    std::memcpy(reinterpret_cast<void*>(address), from, length);
    return true;
  }
  return copyChecked(reinterpret_cast<void*>(address), from, length, false);
}

void raiseAccessViolation(uint64_t address) {
  char text[64];
  std::snprintf(text, sizeof text, "Access violation at address %08llX",
                static_cast<unsigned long long>(address));
  raise(text);
}

void readMemory(uint64_t address, void* to, size_t length) {
  if (!tryReadMemory(address, to, length)) raiseAccessViolation(address);
}

void writeMemory(uint64_t address, const void* from, size_t length) {
  if (!tryWriteMemory(address, from, length)) raiseAccessViolation(address);
}

std::string readZeroTerminated(uint64_t address) {
  std::string text;
  if (address == 0) return text;
  // Read in pieces that never cross a page boundary, so a text that ends
  // just before an unmapped page is read completely.
  constexpr uint64_t kPage = 4096;
  uint64_t at = address;
  for (;;) {
    char piece[kPage];
    const size_t length = static_cast<size_t>(kPage - at % kPage);
    if (!tryReadMemory(at, piece, length)) raiseAccessViolation(at);
    const void* zero = std::memchr(piece, 0, length);
    if (zero != nullptr) {
      text.append(piece, static_cast<size_t>(static_cast<const char*>(zero) - piece));
      return text;
    }
    text.append(piece, length);
    at += length;
  }
}

}  // namespace kestrel::extcall
