#pragma once
// Reading and writing memory at addresses that a program or an external
// function supplies. The run-time's own low arena is used directly; any
// other address is reached with a copy that fails instead of faulting, and a
// bad address raises "Access violation at address X".
#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel::extcall {

// False when some byte of the range cannot be read (or written).
bool tryReadMemory(uint64_t address, void* to, size_t length);
bool tryWriteMemory(uint64_t address, const void* from, size_t length);

// The same, raising the access-violation error on failure.
void readMemory(uint64_t address, void* to, size_t length);
void writeMemory(uint64_t address, const void* from, size_t length);

// The zero-terminated text at `address` (address 0 gives the empty text).
std::string readZeroTerminated(uint64_t address);

[[noreturn]] void raiseAccessViolation(uint64_t address);

}  // namespace kestrel::extcall
