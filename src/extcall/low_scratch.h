#pragma once
// Zero-terminated copies of strings for external functions, in the low
// arena (below 2 GiB, like every block a program can see). Copies are taken
// and given back in stack order: a call takes its copies, and a call-back
// that calls out again stacks its own on top.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/low_arena.h"

namespace kestrel::extcall {

class LowScratch {
 public:
  static LowScratch& instance();

  struct Mark {
    size_t top;
    size_t large;
  };
  // A position to return to with release().
  Mark mark() const { return {top_, large_.size()}; }
  // A writable zero-terminated copy of `text`.
  char* copy(std::string_view text);
  // Gives back everything taken since `mark`.
  void release(Mark mark);

 private:
  LowScratch();
  std::unique_ptr<platform::GrowableBlock> block_;
  size_t top_ = 0;
  // Copies too large for the shared block.
  std::vector<std::unique_ptr<platform::GrowableBlock>> large_;
};

}  // namespace kestrel::extcall
