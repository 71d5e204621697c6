#pragma once
// Run-time errors carry the run-time's own message texts. They travel as C++
// exceptions and are caught only at the outermost run and in event methods.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace kestrel {

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(const std::string& text) : std::runtime_error(text) {}
};

// A program image that cannot be loaded (truncated, lengths past the end).
class ImageError : public RuntimeError {
 public:
  using RuntimeError::RuntimeError;
};

// Thrown by the end-program statement: ends the run at once, skipping shutdown.
struct ProgramEnd {
  int status = 0;
};

// Thrown when a run exceeds the step budget that a host (the fuzzer) set.
struct StepBudgetExhausted {};

[[noreturn]] void raise(const std::string& text);

namespace texts {
inline constexpr const char* kInvalidFloatOp = "Invalid floating point operation";
inline constexpr const char* kFloatDivByZero = "Floating point division by zero";
inline constexpr const char* kFloatOverflow = "Floating point overflow";
inline constexpr const char* kDivByZero = "Division by zero";
inline constexpr const char* kInvalidCast = "Invalid class typecast";
inline constexpr const char* kOutOfMemory = "Out of memory";
inline constexpr const char* kStackOverflow = "Stack overflow";
}  // namespace texts

// "List index out of bounds (N)", the list error of the string and object lists.
[[noreturn]] void raiseListIndex(int64_t index);

}  // namespace kestrel
