// The bounds list of array declarations, re-dimensions and structure arrays.
#include "interp/array_bounds.h"

#include "expr/conversions.h"
#include "core/machine.h"

namespace kestrel {

namespace {
constexpr uint8_t kUpperBoundFollows = 9;
constexpr uint8_t kListEnd = 11;
}  // namespace

Bounds readBounds(Machine& m) {
  Bounds b;
  std::array<int32_t, 5> extent{1, 1, 1, 1, 1};
  int n = 0;
  for (;;) {
    if (n == 5) raise("Too many array dimensions (at most 5)");
    const double first = m.evalNumber();
    if (m.u8() == kUpperBoundFollows) {
      const double upper = m.evalNumber();
      b.total *= upper - first + 1;
      b.d.negLower[static_cast<size_t>(n)] = -roundToInt32(first);
      extent[static_cast<size_t>(n)] = roundToInt32(upper - first + 1);
    } else {
      b.d.negLower[static_cast<size_t>(n)] = 0;
      extent[static_cast<size_t>(n)] = roundToInt32(first) + 1;
      b.total *= first + 1;
    }
    ++n;
    if (m.u8() == kListEnd || m.atEnd()) break;
  }
  // Each multiplier is the product of its own extent and all later ones.
  b.d.multiplier = extent;
  for (int i = n - 2; i >= 0; --i)
    b.d.multiplier[static_cast<size_t>(i)] =
        static_cast<int32_t>(static_cast<int64_t>(extent[static_cast<size_t>(i)]) *
                             b.d.multiplier[static_cast<size_t>(i) + 1]);
  b.d.dims = n;
  return b;
}

}  // namespace kestrel
