#pragma once
// Call-back stubs: for each arity 0 to 6 one C function that external code
// can call. Each call runs, in registration order, every byte-code handler
// registered for that arity (arguments in the numeric parameter slots) and
// returns the numeric function result, truncated. Stubs take pointer-sized
// integer arguments; a value that is a 32-bit integer widened reaches the
// handler as that integer, anything else (a pointer) whole.
//
// No error leaves a stub: an error in a handler stops the remaining
// handlers, is printed on standard error, and the stub returns 0.
#include <array>
#include <cstdint>
#include <vector>

namespace kestrel {
class Machine;
}

namespace kestrel::extcall {

inline constexpr int kMaxCallbackArity = 6;

// The handlers a machine registered, per arity.
struct CallbackHandlers {
  std::array<std::vector<int32_t>, kMaxCallbackArity + 1> entries;
};

// Registers `entry` for `arity` (once per arity and entry) and returns the
// stub's address; 0 for an arity outside 0 to 6.
uint64_t registerCallback(Machine& m, int32_t entry, int arity);

// Forgets `m` as the owner of the stubs (when it shuts down).
void releaseCallbacks(Machine& m);

}  // namespace kestrel::extcall
