// The bounds list of array declarations, re-dimensions and structure arrays.
#include "interp/array_bounds.h"

#include "expr/conversions.h"
#include "core/machine.h"

namespace kestrel {

namespace {
constexpr uint8_t kUpperBoundFollows = 9;
constexpr uint8_t kListEnd = 11;

// Bounds are worked out in 64 bits; what the 32-bit descriptor cannot hold
// (a lower bound of -2^31, an extent or a product of extents past 2^31 - 1)
// is an error, not a wrapped number.
int32_t checkedBound(int64_t v) {
  if (v < INT32_MIN || v > INT32_MAX) raise("Array bounds out of range");
  return static_cast<int32_t>(v);
}
}  // namespace

Bounds readBounds(Machine& m) {
  Bounds b;
  std::array<int64_t, 5> extent{1, 1, 1, 1, 1};
  int n = 0;
  for (;;) {
    if (n == 5) raise("Too many array dimensions (at most 5)");
    const double first = m.evalNumber();
    if (m.u8() == kUpperBoundFollows) {
      const double upper = m.evalNumber();
      b.total *= upper - first + 1;
      b.d.negLower[static_cast<size_t>(n)] = checkedBound(-int64_t{roundToInt32(first)});
      extent[static_cast<size_t>(n)] = checkedBound(roundToInt32(upper - first + 1));
    } else {
      b.d.negLower[static_cast<size_t>(n)] = 0;
      extent[static_cast<size_t>(n)] = checkedBound(int64_t{roundToInt32(first)} + 1);
      b.total *= first + 1;
    }
    ++n;
    if (m.u8() == kListEnd || m.atEnd()) break;
  }
  // Each multiplier is the product of its own extent and all later ones.
  int64_t product = 1;
  for (int i = 4; i >= 0; --i) {
    const auto at = static_cast<size_t>(i);
    product = i < n ? product * extent[at] : extent[at];
    b.d.multiplier[at] = checkedBound(product);
  }
  b.d.dims = n;
  return b;
}

}  // namespace kestrel
