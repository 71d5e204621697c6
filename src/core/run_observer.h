#pragma once
// Something that watches a program run statement by statement: the trace
// and the profile (src/debug). The statement loop tells it of every
// statement it decodes, the fast path of every compiled block it enters.
// Without an observer the machine's pointer is null and costs one test.
#include <cstdint>

namespace kestrel {

class Machine;

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // The decoder is about to run the statement at `position`.
  virtual void statement(Machine& m, int32_t position) = 0;
  // The fast path enters the block of `statements` statements that starts
  // at `position`; it runs them without telling of each.
  virtual void block(Machine& m, int32_t position, int statements) = 0;
  // The run is over: `error` is the run-time error's text, or null.
  virtual void end(Machine& m, const char* error) = 0;
};

}  // namespace kestrel
