#include "extcall/program_memory.h"

#include <limits>

#include "platform/memory_access.h"

namespace kestrel::extcall {

// Program memory is the platform's checked memory access; address 0 is
// never readable here.

bool tryReadMemory(uint64_t address, void* to, size_t length) {
  if (length == 0) return true;
  return address != 0 && platform::readMemory(address, to, length) == length;
}

bool tryWriteMemory(uint64_t address, const void* from, size_t length) {
  if (length == 0) return true;
  return address != 0 && platform::writeMemory(address, from, length) == length;
}

void raiseAccessViolation(uint64_t address) { platform::raiseAccessViolation(address); }

void readMemory(uint64_t address, void* to, size_t length) {
  if (!tryReadMemory(address, to, length)) raiseAccessViolation(address);
}

void writeMemory(uint64_t address, const void* from, size_t length) {
  if (!tryWriteMemory(address, from, length)) raiseAccessViolation(address);
}

std::string readZeroTerminated(uint64_t address) {
  if (address == 0) return {};
  return platform::textAtAddress(address, std::numeric_limits<size_t>::max());
}

}  // namespace kestrel::extcall
