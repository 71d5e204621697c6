#pragma once
// Reading memory at addresses that programs supply. An address inside the
// low arena is read directly; any other is copied in a way that cannot
// fault, so that a bad address becomes the run-time error "Access violation
// at address X" (X: the first byte that could not be read, as at least
// eight upper-case hexadecimal digits) instead of a crash.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel::platform {

// Copies `length` bytes from `address`; returns how many could be copied
// before the first unreadable byte (`length` when all could).
size_t readMemory(uint64_t address, void* out, size_t length);
// Writes `length` bytes to `address`; returns how many could be written.
size_t writeMemory(uint64_t address, const void* in, size_t length);

std::string accessViolationText(uint64_t address);
[[noreturn]] void raiseAccessViolation(uint64_t address);

// The same, raising the access violation when not every byte is readable
// or writable.
void copyFromAddress(uint64_t address, void* out, size_t length);
void copyToAddress(uint64_t address, const void* in, size_t length);

// The zero-terminated text at `address`, at most `maxLength` bytes.
std::string textAtAddress(uint64_t address, size_t maxLength);

// True when the `length` bytes at `a` and at `b` are equal.
bool equalMemory(uint64_t a, uint64_t b, size_t length);

// A program's number as an address: whole numbers from -2^31 to 2^64; a
// negative one is the 32-bit pattern it was stored as. Anything else raises
// the access violation.
uint64_t addressFromNumber(double value);

}  // namespace kestrel::platform
