#pragma once
// The hourglass over the whole program while something long runs (a
// directory tree's FullExpand), and the cursor the program had set before
// afterwards.
#include <cstdint>

namespace kestrel {
class Machine;
}

namespace kestrel::objects {

class BusyCursor {
 public:
  explicit BusyCursor(Machine& m);
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Machine& m_;
  int32_t saved_;
};

}  // namespace kestrel::objects
