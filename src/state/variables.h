#pragma once
// The variable stores: seven numeric byte stores for scalars and seven for
// arrays (kinds 1 to 7, in the low arena), string lists, fixed-string cells
// and variant cells, and the array descriptor tables.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/low_arena.h"
#include "state/store_kinds.h"
#include "state/str.h"

namespace kestrel {

// A fixed-length string cell: its text and its declared length.
struct TFixString {
  Str text;
  int32_t length = 1;
  // The text as read: padded on the right with spaces to the declared length.
  Str padded() const;
  // Stores new text, cut to the declared length.
  void assign(std::string_view value);
};

// A variant cell: a 32-bit integer (tag 0), a float (tag 3) or a string (tag 6).
struct VariantCell {
  enum : uint8_t { kInt = 0, kFloat = 3, kText = 6 };
  uint8_t tag = kInt;
  int32_t integer = 0;
  double number = 0;
  Str text;

  void setNumber(double v);  // tag 3 when there is a fraction, else tag 0 (Trunc)
  void setText(Str v);
  void clear() { tag = kInt; integer = 0; text.clear(); }
};

// First element, five negated lower bounds, five multipliers.
struct ArrayDescriptor {
  int32_t first = 0;
  std::array<int32_t, 5> negLower{0, 0, 0, 0, 0};
  std::array<int32_t, 5> multiplier{1, 1, 1, 1, 1};
  int32_t dims = 0;      // dimensions declared (not part of the eleven words)
  int64_t elements = 0;  // element count (not part of the eleven words)
  bool declared = false;
};

// Whether element number `linear` (counted from the array's first) is one of
// the array's own; a variant array has one cell more than its elements.
inline bool withinArray(const ArrayDescriptor& d, int kind, int64_t linear) {
  const int64_t cells = kind == kVariant ? d.elements + 1 : d.elements;
  return static_cast<uint64_t>(linear) < static_cast<uint64_t>(cells);
}

inline constexpr int kArrayTableSize = 101;   // array indices 0 to 100
inline constexpr int kScalarVariants = 101;   // variant cells 0 to 100

class NumericStore {
 public:
  explicit NumericStore(size_t capacity) : block_(capacity) {}
  uint8_t* data() const { return block_.data(); }
  size_t size() const { return block_.size(); }
  void growTo(size_t bytes) { block_.growTo(bytes); }

 private:
  platform::GrowableBlock block_;
};

struct VariableStores {
  VariableStores();

  // Scalars.
  std::vector<Str> strings;
  std::unique_ptr<NumericStore> scalars[8];  // kinds 1 to 7
  std::vector<TFixString> fixStrings;
  std::vector<VariantCell> variants;  // cells 0 to 100 scalars, arrays after

  // Arrays.
  std::vector<Str> arrayStrings;
  std::unique_ptr<NumericStore> arrays[8];  // kinds 1 to 7
  std::vector<TFixString> arrayFixStrings;
  std::array<std::array<ArrayDescriptor, kArrayTableSize>, 10> descriptors;  // kinds 0 to 9

  // Checked access; out-of-range indices raise run-time errors.
  uint8_t* scalarAt(int kind, int32_t index) {
    const NumericStore& s = *scalars[kind];
    size_t w = static_cast<size_t>(kElementWidth[kind]);
    if (index < 0 || (static_cast<size_t>(index) + 1) * w > s.size()) [[unlikely]]
      raiseUndeclared(kind, index);
    return s.data() + static_cast<size_t>(index) * w;
  }
  uint8_t* elementAt(int kind, int64_t bytePosition) {
    const NumericStore& s = *arrays[kind];
    if (bytePosition < 0 ||
        static_cast<uint64_t>(bytePosition) + static_cast<uint64_t>(kElementWidth[kind]) > s.size())
        [[unlikely]]
      raiseElementRange(kind, bytePosition);
    return s.data() + bytePosition;
  }
  Str& stringAt(int32_t index);
  TFixString& fixStringAt(int32_t index);
  VariantCell& variantAt(int64_t index);
  Str& arrayStringAt(int64_t index, bool extend);
  TFixString& arrayFixStringAt(int64_t index);
  ArrayDescriptor& descriptor(int kind, int32_t arrayIndex) {
    if (arrayIndex < 0 || arrayIndex >= kArrayTableSize) [[unlikely]] raiseArrayNumber(arrayIndex);
    return descriptors[static_cast<size_t>(kind)][static_cast<size_t>(arrayIndex)];
  }

  [[noreturn]] static void raiseUndeclared(int kind, int64_t index);
  [[noreturn]] static void raiseElementRange(int kind, int64_t position);
  [[noreturn]] static void raiseArrayNumber(int64_t arrayIndex);
};

}  // namespace kestrel
