// Faults inside guarded calls come back to the call site as descriptions;
// our own code inside a guarded call is not guarded.
#include <gtest/gtest.h>
#include <signal.h>

#include "platform/fault_guard.h"

using namespace kestrel::platform;

namespace {

void writeThroughWildPointer(void*) {
  *reinterpret_cast<volatile int*>(0x1234) = 1;
}

// A division by zero the sanitizers cannot see coming.
void divideByZero(void* out) {
  int quotient = 0;
#if defined(__x86_64__)
  int zero = 0;
  asm volatile("movl $7, %%eax\n\tcltd\n\tidivl %1\n\tmovl %%eax, %0" : "=r"(quotient) : "r"(zero) : "eax", "edx");
#else
  raise(SIGFPE);
#endif
  *static_cast<int*>(out) = quotient;
}

void nestedGuard(void* result) {
  ForeignFault inner;
  *static_cast<bool*>(result) = callGuarded(writeThroughWildPointer, nullptr, inner);
}

void doNothing(void*) {}

}  // namespace

TEST(FaultGuard, AWildWriteIsAnAccessViolationAtItsAddress) {
  ForeignFault fault;
  EXPECT_FALSE(callGuarded(writeThroughWildPointer, nullptr, fault));
  EXPECT_EQ(fault.signal, SIGSEGV);
  EXPECT_EQ(fault.address, 0x1234u);
  EXPECT_EQ(faultText(fault), "Access violation at address 00001234");
  // The guard is ready again for the next call.
  EXPECT_TRUE(callGuarded(doNothing, nullptr, fault));
}

#if defined(__x86_64__)
TEST(FaultGuard, AnIntegerDivisionByZero) {
  ForeignFault fault;
  int quotient = 0;
  EXPECT_FALSE(callGuarded(divideByZero, &quotient, fault));
  EXPECT_EQ(fault.signal, SIGFPE);
  EXPECT_EQ(faultText(fault), "Division by zero");
}
#endif

TEST(FaultGuard, AnInnerGuardCatchesItsOwnFault) {
  ForeignFault outer;
  bool innerReturned = true;
  EXPECT_TRUE(callGuarded(nestedGuard, &innerReturned, outer));
  EXPECT_FALSE(innerReturned);
}

namespace {
void faultOutsideTheGuard(void*) {
  UnguardedScope ours;
  writeThroughWildPointer(nullptr);
}
}  // namespace

TEST(FaultGuardDeathTest, OurOwnCodeInsideAGuardedCallIsNotGuarded) {
  ForeignFault fault;
  EXPECT_DEATH(callGuarded(faultOutsideTheGuard, nullptr, fault), "");
}
