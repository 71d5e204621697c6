#include "platform/fault_guard.h"

#include <setjmp.h>
#include <signal.h>

#include <cstdlib>
#include <mutex>

#include "platform/memory_access.h"

namespace kestrel::platform {

namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
constexpr int kFaultSignalCount = sizeof kFaultSignals / sizeof kFaultSignals[0];
// Room for the handler when the fault was the foreign code running out of stack.
constexpr size_t kAltStackBytes = 64 * 1024;

struct sigaction previous[kFaultSignalCount];

// The guarded call running on this thread, if any.
struct Guard {
  sigjmp_buf jump;
  ForeignFault* fault;
};
thread_local Guard* activeGuard = nullptr;
thread_local bool altStackSet = false;

int indexOf(int sig) {
  for (int i = 0; i < kFaultSignalCount; ++i)
    if (kFaultSignals[i] == sig) return i;
  return -1;
}

// A fault outside a guarded call is handled as if we were not here.
void passOn(int sig, siginfo_t* info, void* context) {
  const struct sigaction& before = previous[indexOf(sig)];
  if ((before.sa_flags & SA_SIGINFO) && before.sa_sigaction != nullptr) {
    before.sa_sigaction(sig, info, context);
    return;
  }
  if (before.sa_handler == SIG_IGN) return;
  if (before.sa_handler != SIG_DFL && before.sa_handler != nullptr) {
    before.sa_handler(sig);
    return;
  }
  // The default action: taken when the faulting instruction runs again, or
  // at once for a signal that was sent rather than raised by an instruction.
  signal(sig, SIG_DFL);
  if (info->si_code <= 0) raise(sig);
}

void onFault(int sig, siginfo_t* info, void* context) {
  Guard* guard = activeGuard;
  if (guard == nullptr || info->si_code <= 0) {
    passOn(sig, info, context);
    return;
  }
  guard->fault->signal = sig;
  guard->fault->code = info->si_code;
  guard->fault->address = reinterpret_cast<uint64_t>(info->si_addr);
  activeGuard = nullptr;
  siglongjmp(guard->jump, 1);
}

void installOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int i = 0; i < kFaultSignalCount; ++i) {
      struct sigaction action {};
      action.sa_sigaction = onFault;
      sigemptyset(&action.sa_mask);
      action.sa_flags = SA_SIGINFO | SA_ONSTACK;
      sigaction(kFaultSignals[i], &action, &previous[i]);
    }
  });
  if (!altStackSet) {
    altStackSet = true;
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE)) {
      stack_t ours{};
      ours.ss_sp = std::malloc(kAltStackBytes);  // kept for the thread's life
      ours.ss_size = kAltStackBytes;
      if (ours.ss_sp != nullptr) sigaltstack(&ours, nullptr);
    }
  }
}

}  // namespace

bool callGuarded(void (*call)(void*), void* context, ForeignFault& fault) {
  installOnce();
  Guard guard;
  guard.fault = &fault;
  Guard* const outer = activeGuard;
  if (sigsetjmp(guard.jump, 1) != 0) {
    activeGuard = outer;
    return false;
  }
  activeGuard = &guard;
  call(context);
  activeGuard = outer;
  return true;
}

std::string faultText(const ForeignFault& fault) {
  switch (fault.signal) {
    case SIGFPE:
      switch (fault.code) {
        case FPE_INTDIV: return "Division by zero";
        case FPE_INTOVF: return "Integer overflow";
        case FPE_FLTDIV: return "Floating point division by zero";
        case FPE_FLTOVF: return "Floating point overflow";
        case FPE_FLTUND: return "Floating point underflow";
        default: return "Invalid floating point operation";
      }
    case SIGILL: return fault.code == ILL_PRVOPC ? "Privileged instruction" : "Illegal instruction";
    default: return accessViolationText(fault.address);
  }
}

UnguardedScope::UnguardedScope() : saved_(activeGuard) { activeGuard = nullptr; }
UnguardedScope::~UnguardedScope() { activeGuard = static_cast<Guard*>(saved_); }

}  // namespace kestrel::platform
