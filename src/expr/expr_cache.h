#pragma once
// Decodes each expression of the image once and keeps the decoded form by
// image position, so that a loop does not decode the same bytes again. The
// image itself is never written. Items the decoded form does not cover run
// through the decoder, which stays the reference for every behaviour.
#include <cstdint>
#include <memory>
#include <vector>

namespace kestrel {

class Machine;
struct EvalStacks;

class ExprCache {
 public:
  explicit ExprCache(int32_t imageSize);
  ~ExprCache();
  // Evaluates the expression at the machine's position onto `s`.
  void evaluate(Machine& m, EvalStacks& s);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrel
