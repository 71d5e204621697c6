#pragma once
// Sorting a range of array elements in place.
#include <cstdint>

namespace kestrel {

struct VariableStores;

// Sorts the elements of `kind` from element position `first` to `last`
// (byte offsets for numeric kinds, list indices otherwise). Strings compare
// by bytes, numbers by value. The result is the one the run-time's
// first-element-pivot quicksort gives (see docs/arrays.md).
void sortArrayRange(VariableStores& vars, int kind, int64_t first, int64_t last, bool descending);

// The quicksort itself, over a range of any element type; exposed for tests.
template <typename T, typename Less>
void pivotQuicksort(T* a, int64_t first, int64_t last, Less less);

}  // namespace kestrel

#include "interp/array_sort_impl.h"
