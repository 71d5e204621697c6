#pragma once
// The fast path: numeric statements and expressions decoded once into
// compact operations and kept by image position (the image itself is never
// written). A block is a run of such statements, ending where control moves
// (jumps, loops, returns) or where a statement needs the decoder; blocks
// chain into each other without going back to the statement loop.
//
// The decoder (the statement loop and the expression evaluator) stays the
// reference: the fast path covers only what it can do identically, checks
// everything the decoder checks, and hands every other statement back.
#include <cstdint>
#include <memory>
#include <vector>

namespace kestrel {

class Machine;

class FastPath {
 public:
  explicit FastPath(int32_t imageSize);
  ~FastPath();

  enum class Exit { Continue, LeaveRun };

  // Runs compiled statements from the machine's position when there are
  // any. Returns false when the statement there needs the decoder.
  // Otherwise `exit` says whether the current run of the loop ends, and
  // the position is where decoding goes on.
  bool run(Machine& m, Exit& exit);

  // Evaluates the expression at the machine's position when it is numeric
  // and decodable, leaving the position after its terminator.
  bool evaluateNumber(Machine& m, double& result);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrel
