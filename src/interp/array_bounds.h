#pragma once
// A bounds list in the code: per dimension a first bound, byte 9 and an
// upper bound (or any other byte: the first bound was the upper one, the
// lower is 0), then byte 11 to end the list or any other byte for one more
// dimension; at most five.
#include "state/variables.h"

namespace kestrel {

class Machine;

struct Bounds {
  ArrayDescriptor d;  // negated lower bounds, multipliers and the dimension count
  double total = 1;   // element count, as the product of the extents
};

// Reads a bounds list and computes negated lower bounds and multipliers
// (each the product of its own extent and all later ones).
Bounds readBounds(Machine& m);

}  // namespace kestrel
