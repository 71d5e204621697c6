#include "state/variables.h"

#include "state/errors.h"

namespace kestrel {

namespace {
// Scalar indices are signed 16-bit, so a scalar store never needs more than
// 32768 elements; array stores get room for large arrays.
constexpr size_t kMaxScalars = 32768;
size_t arrayCapacity(int kind) {
  // Three fifths of the arena go to the array stores, in proportion to their
  // element widths (1 + 2 + 4 + 2 + 4 + 4 + 8 = 25); the rest serves
  // structures, streams and buffers.
  size_t share = platform::LowArena::instance().size() * 3 / 5 / 25;
  return share * static_cast<size_t>(kElementWidth[kind]);
}
}  // namespace

Str TFixString::padded() const {
  if (static_cast<int64_t>(text.size()) >= length) return text;
  Str s = text;
  s.append(std::string(static_cast<size_t>(length) - text.size(), ' '));
  return s;
}

void TFixString::assign(std::string_view value) {
  size_t keep = length < 0 ? 0 : static_cast<size_t>(length);
  text.assign(value.substr(0, std::min(keep, value.size())));
}

void VariantCell::setNumber(double v) {
  text.clear();
  if (v != std::trunc(v)) {
    tag = kFloat;
    number = v;
  } else {
    tag = kInt;
    integer = truncToInt32(v);
  }
}

void VariantCell::setText(Str v) {
  tag = kText;
  text = std::move(v);
}

VariableStores::VariableStores() {
  for (int k = 1; k <= 7; ++k) {
    scalars[k] = std::make_unique<NumericStore>(kMaxScalars * static_cast<size_t>(kElementWidth[k]));
    arrays[k] = std::make_unique<NumericStore>(arrayCapacity(k));
  }
}

// An undeclared string is reported as an undeclared number is.
Str& VariableStores::stringAt(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= strings.size()) raiseUndeclared(kString, index);
  return strings[static_cast<size_t>(index)];
}

TFixString& VariableStores::fixStringAt(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= fixStrings.size()) raiseUndeclared(kFixString, index);
  return fixStrings[static_cast<size_t>(index)];
}

VariantCell& VariableStores::variantAt(int64_t index) {
  if (index < 0 || static_cast<uint64_t>(index) >= variants.size()) raiseListIndex(index);
  return variants[static_cast<size_t>(index)];
}

Str& VariableStores::arrayStringAt(int64_t index, bool extend) {
  if (index < 0) raiseListIndex(index);
  if (static_cast<uint64_t>(index) >= arrayStrings.size()) {
    // A write beyond the end extends the list with empty strings.
    if (!extend || index > (int64_t{1} << 26)) raiseListIndex(index);
    arrayStrings.resize(static_cast<size_t>(index) + 1);
  }
  return arrayStrings[static_cast<size_t>(index)];
}

TFixString& VariableStores::arrayFixStringAt(int64_t index) {
  if (index < 0 || static_cast<uint64_t>(index) >= arrayFixStrings.size()) raiseListIndex(index);
  return arrayFixStrings[static_cast<size_t>(index)];
}

void VariableStores::raiseUndeclared(int kind, int64_t index) {
  raise("Variable not declared (kind " + std::to_string(kind) + ", index " + std::to_string(index) +
        ")");
}

// Every array of a kind lies in one store, one after the other; the check
// is against that store, so the message says where in it the element fell.
void VariableStores::raiseElementRange(int kind, int64_t position) {
  const int64_t element = isNumericKind(kind) ? position / kElementWidth[kind] : position;
  raise("Array element out of range (kind " + std::to_string(kind) + ", element " + std::to_string(element) +
        " counting from the first kind-" + std::to_string(kind) + " array)");
}

void VariableStores::raiseArrayNumber(int64_t arrayIndex) {
  raise("Array number out of range (" + std::to_string(arrayIndex) + ")");
}

}  // namespace kestrel
