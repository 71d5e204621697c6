#include <pthread.h>
#include <sys/mman.h>
#include <ucontext.h>

#include <exception>

#include "platform/stack.h"
#include "state/errors.h"

#if defined(__SANITIZE_ADDRESS__)
#define KESTREL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTREL_ASAN 1
#endif
#endif
#ifdef KESTREL_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace kestrel::platform {

namespace {
thread_local const char* fiberLow = nullptr;

struct Fiber {
  ucontext_t caller{};
  ucontext_t callee{};
  const std::function<void()>* fn = nullptr;
  std::exception_ptr error;
  const void* callerBottom = nullptr;
  size_t callerSize = 0;
};
thread_local Fiber* activeFiber = nullptr;

void fiberEntry() {
  Fiber* f = activeFiber;
#ifdef KESTREL_ASAN
  __sanitizer_finish_switch_fiber(nullptr, &f->callerBottom, &f->callerSize);
#endif
  try {
    (*f->fn)();
  } catch (...) {
    f->error = std::current_exception();
  }
#ifdef KESTREL_ASAN
  __sanitizer_start_switch_fiber(nullptr, f->callerBottom, f->callerSize);
#endif
  swapcontext(&f->callee, &f->caller);
}
}  // namespace

const char* currentStackLow() {
  if (fiberLow != nullptr) return fiberLow;
  pthread_attr_t attr;
  void* addr = nullptr;
  size_t size = 0;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    pthread_attr_getstack(&attr, &addr, &size);
    pthread_attr_destroy(&attr);
  }
  return static_cast<const char*>(addr);
}

void runOnLargeStack(size_t bytes, const std::function<void()>& fn) {
  void* stack = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                     -1, 0);
  if (stack == MAP_FAILED) {
    fn();  // no room for a second stack: run where we are
    return;
  }
  Fiber fiber;
  fiber.fn = &fn;
  getcontext(&fiber.callee);
  fiber.callee.uc_stack.ss_sp = stack;
  fiber.callee.uc_stack.ss_size = bytes;
  fiber.callee.uc_link = nullptr;
  makecontext(&fiber.callee, fiberEntry, 0);

  Fiber* outerFiber = activeFiber;
  const char* outerLow = fiberLow;
  activeFiber = &fiber;
  fiberLow = static_cast<const char*>(stack);
#ifdef KESTREL_ASAN
  void* fakeStack = nullptr;
  __sanitizer_start_switch_fiber(&fakeStack, stack, bytes);
#endif
  swapcontext(&fiber.caller, &fiber.callee);
#ifdef KESTREL_ASAN
  __sanitizer_finish_switch_fiber(fakeStack, nullptr, nullptr);
#endif
  activeFiber = outerFiber;
  fiberLow = outerLow;
  munmap(stack, bytes);
  if (fiber.error) std::rethrow_exception(fiber.error);
}

}  // namespace kestrel::platform
