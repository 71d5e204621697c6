#pragma once
#include <utility>

namespace kestrel {

// Quicksort with the first element as pivot and a moving free slot.
// `less(x, y)` says x belongs before y. Recursion goes into the smaller part
// and the larger part is handled by the loop, so the depth stays logarithmic.
template <typename T, typename Less>
void pivotQuicksort(T* a, int64_t first, int64_t last, Less less) {
  while (first < last) {
    T pivot = std::move(a[first]);
    int64_t i = first, j = last;
    for (;;) {
      while (j > i && !less(a[j], pivot)) --j;  // something that belongs left of the pivot
      if (j == i) break;
      a[i] = std::move(a[j]);
      ++i;
      while (i < j && less(a[i], pivot)) ++i;  // something that belongs right of it
      if (i == j) break;
      a[j] = std::move(a[i]);
      --j;
    }
    a[i] = std::move(pivot);
    // Both parts are sorted independently, so their order does not change the result.
    if (i - first < last - i) {
      pivotQuicksort(a, first, i - 1, less);
      first = i + 1;
    } else {
      pivotQuicksort(a, i + 1, last, less);
      last = i - 1;
    }
  }
}

}  // namespace kestrel
