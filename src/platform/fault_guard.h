#pragma once
// Calls into foreign code (external functions) that may fault: a wild
// pointer handed to a library, a division by zero inside it. A fault that
// such a call raises is caught on an alternate signal stack and the call
// site gets it back as a description, instead of the process dying with
// the program's work lost. Nothing may run on after it (the library's state
// is unknown): the caller ends the program.
#include <cstdint>
#include <string>

namespace kestrel::platform {

struct ForeignFault {
  int signal = 0;        // SIGSEGV, SIGBUS, SIGFPE or SIGILL
  int code = 0;          // the signal's reason (si_code)
  uint64_t address = 0;  // the address that could not be accessed, or of the instruction
};

// Runs call(context); true when it returned, false with `fault` filled when
// it faulted. Faults outside a guarded call go where they went before
// (the default action, or a handler such as a sanitizer's).
bool callGuarded(void (*call)(void*), void* context, ForeignFault& fault);

// The run-time's text for a fault: "Access violation at address X",
// "Division by zero", "Invalid floating point operation", ...
std::string faultText(const ForeignFault& fault);

// Our own code running inside a guarded call (a call-back's handlers): a
// fault there is not the foreign function's.
class UnguardedScope {
 public:
  UnguardedScope();
  ~UnguardedScope();
  UnguardedScope(const UnguardedScope&) = delete;
  UnguardedScope& operator=(const UnguardedScope&) = delete;

 private:
  void* saved_;
};

}  // namespace kestrel::platform
