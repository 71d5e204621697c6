// Declarations of variables, arrays and objects; re-dimensioning and
// filling arrays.
#include <cmath>

#include "expr/conversions.h"
#include "interp/array_bounds.h"
#include "interp/array_sort.h"
#include "core/machine.h"
#include "interp/statements.h"
#include "objects/object_dispatch.h"

namespace kestrel {

namespace {

constexpr int kFormScalar = 1;
constexpr int kFormArray = 3;
constexpr int kFirstObjectType = 30;
constexpr int kLastObjectType = 114;
// No list-held store may grow beyond this many elements in one declaration.
constexpr int64_t kMaxListElements = int64_t{1} << 26;

int64_t elementCount(double total) {
  int64_t count = roundToInt32(total);
  return count < 0 ? 0 : count;  // a negative count declares an empty array
}

void checkListGrowth(size_t current, int64_t count) {
  if (count > kMaxListElements || current + static_cast<size_t>(count) > static_cast<size_t>(kMaxListElements) * 4)
    raise(texts::kOutOfMemory);
}

// Appends fresh storage for `bounds` to the store of `kind` and points the
// descriptor of `index` at it.
void allocateArray(Machine& m, int kind, int32_t index, Bounds bounds, int32_t fixedLength) {
  VariableStores& v = m.vars;
  ArrayDescriptor& d = v.descriptor(kind, index);
  const int64_t count = elementCount(bounds.total);
  bounds.d.elements = count;
  bounds.d.declared = true;
  if (isNumericKind(kind)) {
    NumericStore& store = *v.arrays[kind];
    const size_t first = store.size();
    const uint64_t bytes = static_cast<uint64_t>(count) * static_cast<uint64_t>(kElementWidth[kind]);
    if (first + bytes > 0x7fffffff) raise(texts::kOutOfMemory);
    store.growTo(first + bytes);
    bounds.d.first = static_cast<int32_t>(first);
  } else if (kind == kString) {
    checkListGrowth(v.arrayStrings.size(), count);
    bounds.d.first = static_cast<int32_t>(v.arrayStrings.size());
    v.arrayStrings.resize(v.arrayStrings.size() + static_cast<size_t>(count));
  } else if (kind == kFixString) {
    checkListGrowth(v.arrayFixStrings.size(), count);
    bounds.d.first = static_cast<int32_t>(v.arrayFixStrings.size());
    TFixString cell;
    cell.length = fixedLength;
    cell.text = Str(static_cast<size_t>(std::max(fixedLength, 0)), ' ');
    v.arrayFixStrings.resize(v.arrayFixStrings.size() + static_cast<size_t>(count), cell);
  } else {  // variants: one more cell than elements
    if (v.variants.size() < kScalarVariants) v.variants.resize(kScalarVariants);
    checkListGrowth(v.variants.size(), count + 1);
    bounds.d.first = static_cast<int32_t>(v.variants.size());
    v.variants.resize(v.variants.size() + static_cast<size_t>(count) + 1);
  }
  d = bounds.d;
}

int32_t readFixedLength(Machine& m) {
  const int32_t length = m.evalTrunc();
  if (length > (1 << 24)) raise(texts::kOutOfMemory);
  return length;
}

void declareScalar(Machine& m, bool reset, int kind, int32_t index) {
  VariableStores& v = m.vars;
  if (index < 0 && kind <= kVariant) VariableStores::raiseUndeclared(kind, index);
  const size_t need = static_cast<size_t>(index) + 1;
  switch (kind) {
    case kString:
      if (v.strings.size() < need) v.strings.resize(need);
      if (reset) v.strings[need - 1].clear();
      break;
    case kByte: case kShort: case kInteger: case kWord:
    case kLong: case kSingle: case kDouble: {
      const size_t w = static_cast<size_t>(kElementWidth[kind]);
      NumericStore& store = *v.scalars[kind];
      store.growTo(need * w);
      if (reset) std::memset(store.data() + (need - 1) * w, 0, w);
      break;
    }
    case kFixString: {
      if (v.fixStrings.size() < need) v.fixStrings.resize(need);
      const int32_t length = readFixedLength(m);
      TFixString& cell = v.fixStrings[need - 1];
      // Kept cells keep their text unless it is shorter than their own length.
      if (reset || static_cast<int64_t>(cell.text.size()) < cell.length) {
        cell.text = Str(static_cast<size_t>(std::max(length, 0)), ' ');
      }
      cell.length = length;
      break;
    }
    case kVariant:
      if (v.variants.size() < need) v.variants.resize(need);
      if (reset) v.variants[need - 1].clear();
      break;
    default:
      if (kind >= kFirstObjectType && kind <= kLastObjectType) objects::declareObject(m, kind, index);
      break;
  }
}

}  // namespace

void declareStatement(Machine& m) {
  const bool reset = m.u8() == 0;
  const int form = m.u8();
  if (form == kFormScalar) {
    const int kind = m.u8();
    declareScalar(m, reset, kind, m.s16());
  } else if (form == kFormArray) {
    Bounds bounds = readBounds(m);
    const int kind = m.u8();
    const int32_t index = m.s16();
    if (kind <= kVariant) {
      const int32_t length = kind == kFixString ? readFixedLength(m) : 0;
      allocateArray(m, kind, index, bounds, length);
    } else if (kind >= kFirstObjectType && kind <= kLastObjectType) {
      objects::declareObjectArray(m, kind, index, bounds.d, bounds.total);
    }
  }
}

void redimStatement(Machine& m) {
  m.u8();
  Bounds bounds = readBounds(m);
  const bool preserve = m.u8() != 11;
  const int kind = m.u8();
  const int32_t index = m.s16();
  if (kind < kString || kind > kDouble) return;
  VariableStores& v = m.vars;
  const ArrayDescriptor old = v.descriptor(kind, index);
  allocateArray(m, kind, index, bounds, 0);
  if (!preserve || !old.declared) return;
  // The smaller of the old and new element counts carries over; the rest of
  // the new storage stays zero or empty.
  const ArrayDescriptor& now = v.descriptor(kind, index);
  const int64_t keep = std::min(old.elements, now.elements);
  if (kind == kString) {
    for (int64_t i = 0; i < keep; ++i)
      v.arrayStrings[static_cast<size_t>(now.first + i)] = v.arrayStrings[static_cast<size_t>(old.first + i)];
  } else {
    const size_t w = static_cast<size_t>(kElementWidth[kind]);
    uint8_t* base = v.arrays[kind]->data();
    std::memmove(base + now.first, base + old.first, static_cast<size_t>(keep) * w);
  }
}

void fillArrayStatement(Machine& m) {
  const int kind = m.u8();
  const int32_t index = m.s16();
  int64_t i = 0;
  while (m.u8() != 11 && !m.atEnd()) {
    m.evaluate();
    if (kind > kDouble) continue;
    const ArrayDescriptor& d = m.vars.descriptor(kind, index);
    if (!d.declared || i >= d.elements) continue;  // values beyond the array are ignored
    if (kind == kString) m.vars.arrayStringAt(d.first + i, true) = m.strReg;
    else storeNumberRound(kind, m.vars.elementAt(kind, d.first + i * kElementWidth[kind]), m.numReg);
    ++i;
  }
}

void sortArrayStatement(Machine& m) {
  const int kind = m.u8();
  const int32_t firstArray = m.s16();
  const int64_t first = kind <= kVariant ? m.elementPosition(kind, firstArray) : 0;
  const int lastKind = m.u8();
  const int32_t lastArray = m.s16();
  const int64_t last = lastKind <= kVariant ? m.elementPosition(lastKind, lastArray) : 0;
  const bool descending = m.evalNumber() != 0;
  if (kind > kFixString) return;
  sortArrayRange(m.vars, kind, first, last, descending);
}

}  // namespace kestrel
