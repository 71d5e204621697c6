#include "interp/array_sort.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "state/errors.h"
#include "state/variables.h"

namespace kestrel {

namespace {

// When elements that compare equal are also identical, every correct sort
// leaves the same bytes behind, so the library sort (which has no quadratic
// cases) can stand in for the quicksort. Otherwise the quicksort runs, after
// a check that leaves an already ordered range alone, its worst case.
template <typename T>
void sortValues(T* a, int64_t count, bool descending, bool equalMeansIdentical, bool totalOrder = true) {
  auto ascending = [](const T& x, const T& y) { return x < y; };
  auto descendingLess = [](const T& x, const T& y) { return y < x; };
  if (equalMeansIdentical) {
    if (descending) std::sort(a, a + count, descendingLess);
    else std::sort(a, a + count, ascending);
    return;
  }
  // Without a total order (NaN) neighbours in order say nothing about the rest.
  if (descending) {
    if (totalOrder && std::is_sorted(a, a + count, descendingLess)) return;
    pivotQuicksort(a, 0, count - 1, descendingLess);
  } else {
    if (totalOrder && std::is_sorted(a, a + count, ascending)) return;
    pivotQuicksort(a, 0, count - 1, ascending);
  }
}

template <typename T>
void sortNumeric(uint8_t* base, int64_t count, bool descending) {
  std::vector<T> values(static_cast<size_t>(count));
  std::memcpy(values.data(), base, values.size() * sizeof(T));
  bool identical = true, totalOrder = true;
  if constexpr (std::is_floating_point_v<T>) {
    for (T v : values) {
      if (std::isnan(v)) totalOrder = false;
      if (v == 0 && std::signbit(v)) identical = false;
    }
  }
  sortValues(values.data(), count, descending, identical && totalOrder, totalOrder);
  std::memcpy(base, values.data(), values.size() * sizeof(T));
}

}  // namespace

void sortArrayRange(VariableStores& vars, int kind, int64_t first, int64_t last, bool descending) {
  if (first >= last) return;
  if (kind >= 1 && kind <= 7) {
    const int w = kElementWidth[kind];
    vars.elementAt(kind, first);
    vars.elementAt(kind, last);
    const int64_t count = (last - first) / w + 1;
    uint8_t* base = vars.arrays[kind]->data() + first;
    switch (kind) {
      case kByte: sortNumeric<uint8_t>(base, count, descending); break;
      case kShort: sortNumeric<int16_t>(base, count, descending); break;
      case kInteger: case kLong: sortNumeric<int32_t>(base, count, descending); break;
      case kWord: sortNumeric<uint16_t>(base, count, descending); break;
      case kSingle: sortNumeric<float>(base, count, descending); break;
      default: sortNumeric<double>(base, count, descending); break;
    }
  } else if (kind == kString) {
    if (last >= static_cast<int64_t>(vars.arrayStrings.size()) || first < 0) raiseListIndex(last);
    sortValues(vars.arrayStrings.data() + first, last - first + 1, descending, true);
  } else if (kind == kFixString) {
    if (last >= static_cast<int64_t>(vars.arrayFixStrings.size()) || first < 0) raiseListIndex(last);
    std::vector<TFixString> cells(vars.arrayFixStrings.begin() + first, vars.arrayFixStrings.begin() + last + 1);
    auto ascending = [](const TFixString& x, const TFixString& y) { return x.text < y.text; };
    auto descendingLess = [](const TFixString& x, const TFixString& y) { return y.text < x.text; };
    const int64_t n = static_cast<int64_t>(cells.size());
    if (descending ? !std::is_sorted(cells.begin(), cells.end(), descendingLess)
                   : !std::is_sorted(cells.begin(), cells.end(), ascending)) {
      if (descending) pivotQuicksort(cells.data(), 0, n - 1, descendingLess);
      else pivotQuicksort(cells.data(), 0, n - 1, ascending);
    }
    std::move(cells.begin(), cells.end(), vars.arrayFixStrings.begin() + first);
  }
}

}  // namespace kestrel
