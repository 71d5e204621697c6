// Structure declarations, field assignments, copies, and the expression
// items that read structures. The layout rules are in structure_store.h.
#include "interp/structures.h"

#include "interp/array_bounds.h"

#include <cmath>
#include <cstring>

#include "expr/conversions.h"
#include "core/machine.h"
#include "state/structure_store.h"

namespace kestrel {

namespace {

constexpr uint8_t kMarkerDeclaration = 0;
constexpr uint8_t kMarkerStructure = 37;
constexpr uint8_t kMarkerAssignment = 63;
constexpr int kStructureArrays = 51;
constexpr size_t kMaxInstances = size_t{1} << 22;
constexpr int32_t kMaxTextField = 1 << 24;
// The data of one structure, and of one structure array with all its copies.
constexpr size_t kMaxStructureBytes = size_t{64} << 20;
constexpr uint64_t kMaxArrayBytes = uint64_t{512} << 20;

[[noreturn]] void raiseField(int32_t field) {
  raise("Structure field " + std::to_string(field) + " is outside the structure");
}


int64_t countOf(double total) {
  const int32_t n = roundToInt32(total);
  return n < 0 ? 0 : n;
}

// ------------------------------------------------------------ declarations

// An array-valued field as declared: where its elements start and how many
// each structure owns, so that the copies of a structure array's prototype
// can be pointed at their own slices.
struct ArrayField {
  size_t offset;    // of the field in the data
  int storeKind;    // 1 to 7, or 8 for fixed-text cells
  int64_t first;    // byte position or cell index of the prototype's slice
  int64_t count;    // elements per structure
};

struct FieldList {
  std::vector<uint8_t> data;
  std::vector<int32_t> sizes;
  std::vector<int16_t> numbers;
  std::vector<int32_t> counts;
  std::vector<ArrayField> arrays;
};

void putWord(std::vector<uint8_t>& data, uint32_t v) {
  uint8_t b[4];
  std::memcpy(b, &v, 4);
  data.insert(data.end(), b, b + 4);
}

// Allocates the elements of an array-valued field: `slices` runs of the
// field's element count, one per structure that owns the field.
void allocateFieldArray(Machine& m, FieldList& f, const Bounds& bounds, int arrayKind, int16_t number,
                        int64_t slices, int32_t textLength) {
  const int64_t count = countOf(bounds.total);
  ArrayDescriptor d = bounds.d;
  d.elements = count;
  d.declared = true;
  VariableStores& v = m.vars;
  if (arrayKind >= 14 && arrayKind <= 20) {
    const int kind = arrayKind - 13;
    NumericStore& store = *v.arrays[kind];
    const uint64_t first = store.size();
    const uint64_t bytes = static_cast<uint64_t>(count) * static_cast<uint64_t>(slices) *
                           static_cast<uint64_t>(kElementWidth[kind]);
    if (first + bytes > 0x7fffffff) raise(texts::kOutOfMemory);
    store.growTo(first + bytes);
    d.first = static_cast<int32_t>(first);
    v.descriptor(kind, number) = d;
    f.arrays.push_back({f.data.size(), kind, static_cast<int64_t>(first), count});
    putWord(f.data, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(store.data() + first)));
  } else if (arrayKind == 21) {
    const uint64_t cells = static_cast<uint64_t>(count) * static_cast<uint64_t>(slices);
    if (cells > (uint64_t{1} << 26) || v.arrayFixStrings.size() + cells > (uint64_t{1} << 28))
      raise(texts::kOutOfMemory);
    const auto first = static_cast<int64_t>(v.arrayFixStrings.size());
    TFixString cell;
    cell.length = textLength;
    cell.text = Str(static_cast<size_t>(std::max(textLength, 0)), ' ');
    v.arrayFixStrings.resize(v.arrayFixStrings.size() + cells, cell);
    d.first = static_cast<int32_t>(first);
    v.descriptor(kFixString, number) = d;
    f.arrays.push_back({f.data.size(), kFixString, first, count});
    putWord(f.data, static_cast<uint32_t>(first));
  } else {
    putWord(f.data, 0);  // any other array kind allocates nothing
  }
}

// Reads field definitions up to the byte 11. In a structure array the
// field arrays get room for `slices` structures and every field records an
// element count.
FieldList readFields(Machine& m, bool inArray, int64_t slices) {
  FieldList f;
  int16_t lastNumber = 0;
  int32_t lastCount = 1;
  for (;;) {
    if (m.atEnd()) break;
    const int kind = m.u8();
    if (kind == 11) break;
    if (kind >= 1 && kind <= 7) {
      const int width = kElementWidth[kind];
      f.data.insert(f.data.end(), static_cast<size_t>(width), 0);
      f.sizes.push_back(width);
    } else if (kind == 8) {
      const int32_t length = inArray ? m.evalRound() : m.evalTrunc();
      const int32_t n = std::clamp(length, 0, kMaxTextField);
      f.data.insert(f.data.end(), static_cast<size_t>(n), ' ');
      f.sizes.push_back(n);
    } else if (kind == 0) {
      f.sizes.push_back(4);
      const Bounds bounds = readBounds(m);
      const int arrayKind = m.u8();
      const int16_t number = m.s16();
      const int32_t textLength = arrayKind == 21 ? std::min(m.evalTrunc(), kMaxTextField) : 0;
      allocateFieldArray(m, f, bounds, arrayKind, number, slices, textLength);
      lastNumber = number;
      lastCount = static_cast<int32_t>(countOf(bounds.total));
    }
    // Every field has an array-number entry, and in an array an element
    // count; plain fields repeat the last array field's values.
    f.numbers.push_back(lastNumber);
    if (inArray) f.counts.push_back(lastCount);
    if (f.data.size() > kMaxStructureBytes) raise(texts::kOutOfMemory);
  }
  return f;
}

void declareSingle(Machine& m, StructureStore& st) {
  const int32_t number = m.s16();
  if (number < 0) raiseListIndex(number);
  while (st.list.size() <= static_cast<size_t>(number)) st.append();
  FieldList f = readFields(m, false, 1);
  // A repeated declaration starts over with one block in the new layout.
  StructInstance& s = st.at(number);
  st.setData(s, f.data.data(), f.data.size());
  s.fieldSizes = std::move(f.sizes);
  s.arrayNumbers = std::move(f.numbers);
  s.totalSize = static_cast<int32_t>(f.data.size());
}

void declareArray(Machine& m, StructureStore& st) {
  const Bounds bounds = readBounds(m);
  const int32_t arrayNumber = m.s16();
  if (arrayNumber < 0 || arrayNumber >= kStructureArrays)
    raise("Structure array number out of range (" + std::to_string(arrayNumber) + ")");
  const int64_t copies = countOf(bounds.total);
  if (st.list.size() + static_cast<size_t>(copies) + 52 > kMaxInstances) raise(texts::kOutOfMemory);
  while (st.list.size() < 51) st.append();
  ArrayDescriptor d = bounds.d;
  d.first = static_cast<int32_t>(st.list.size());
  d.elements = copies;
  d.declared = true;
  st.arrays[static_cast<size_t>(arrayNumber)] = d;
  const int64_t prototype = st.append();

  // Every structure of the run (the prototype and its copies) owns a slice.
  FieldList f = readFields(m, true, copies + 1);
  if (static_cast<uint64_t>(copies + 1) * f.data.size() > kMaxArrayBytes) raise(texts::kOutOfMemory);
  StructInstance& p = st.at(prototype);
  st.setData(p, f.data.data(), f.data.size());
  p.fieldSizes = std::move(f.sizes);
  p.arrayNumbers = std::move(f.numbers);
  p.elementCounts = std::move(f.counts);
  p.totalSize = static_cast<int32_t>(f.data.size());

  for (int64_t k = 1; k <= copies; ++k) {
    const int64_t position = st.append();
    StructInstance& proto = st.at(prototype);
    StructInstance& c = st.at(position);
    c.fieldSizes = proto.fieldSizes;
    c.arrayNumbers = proto.arrayNumbers;
    c.elementCounts = proto.elementCounts;
    c.totalSize = proto.totalSize;
    st.setData(c, proto.data, static_cast<size_t>(proto.dataSize));
    for (const ArrayField& a : f.arrays) {
      uint32_t value = 0;
      if (a.storeKind == kFixString) {
        value = static_cast<uint32_t>(a.first + k * a.count);
      } else {
        const int64_t at = a.first + k * a.count * kElementWidth[a.storeKind];
        value = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(m.vars.arrays[a.storeKind]->data() + at));
      }
      std::memcpy(c.data + a.offset, &value, 4);
    }
  }
}

// ------------------------------------------------------------ fields

int storeKindOf(int fieldKind) { return fieldKind == 21 ? kFixString : fieldKind - 13; }

// Reads the subscripts of an element of an array-valued field and returns
// the element's position in its store (bytes, or a cell index).
int64_t fieldElement(Machine& m, StructureStore& st, int64_t number, int fieldKind, int32_t field) {
  StructInstance& before = st.at(number);
  if (field < 0 || static_cast<size_t>(field) >= before.arrayNumbers.size()) raiseField(field);
  const int kind = storeKindOf(fieldKind);
  const int16_t arrayNumber = before.arrayNumbers[static_cast<size_t>(field)];
  const int64_t position = m.elementPosition(kind, arrayNumber);  // may run code that changes the list
  StructInstance& s = st.at(number);
  const FieldArray a = st.fieldArray(m, s, field, fieldKind);
  return a.first + (position - a.descriptor->first);
}

void pushField(Machine& m, StructureStore& st, int64_t number, EvalStacks& s) {
  const int kind = m.u8();
  const int32_t field = m.s16();
  if (kind >= 1 && kind <= 7) {
    s.pushNumber(loadNumber(kind, st.fieldBytes(st.at(number), field, kElementWidth[kind])));
  } else if (kind == 8) {
    StructInstance& inst = st.at(number);
    const int32_t size = st.fieldSize(inst, field);
    const uint8_t* p = st.fieldBytes(inst, field, size);
    s.pushString(std::string_view(reinterpret_cast<const char*>(p), static_cast<size_t>(size)));
  } else if (kind >= 14 && kind <= 21) {
    const int64_t position = fieldElement(m, st, number, kind, field);
    m.pushElement(s, storeKindOf(kind), position);
  }
}

void assignField(Machine& m, StructureStore& st, int64_t number) {
  const int kind = m.u8();
  const int32_t field = m.s16();
  if (kind >= 14 && kind <= 21) {
    const int64_t position = fieldElement(m, st, number, kind, field);
    const int resultKind = m.evaluate();
    m.assignElement(storeKindOf(kind), position, resultKind);
    return;
  }
  m.evaluate();
  if (kind < 1 || kind > 8) return;  // kinds 0 and 9 to 13 store nothing
  StructInstance& s = st.at(number);
  if (kind == 8) {
    const int32_t size = st.fieldSize(s, field);
    uint8_t* p = st.fieldBytes(s, field, size);
    const size_t n = std::min(m.strReg.size(), static_cast<size_t>(size));
    std::memcpy(p, m.strReg.data(), n);
    std::memset(p + n, ' ', static_cast<size_t>(size) - n);
    return;
  }
  uint8_t* p = st.fieldBytes(s, field, kElementWidth[kind]);
  if (kind == kShort) storeInteger(kind, p, roundToInt32(m.numReg));
  else storeNumberTrunc(kind, p, m.numReg);
}

// ------------------------------------------------------------ copies

// The source of a copy: a structure (marker 37) or a structure-array element.
int64_t readSource(Machine& m, StructureStore& st, bool& isElement) {
  const int marker = m.u8();
  const int32_t number = m.s16();
  isElement = marker != kMarkerStructure;
  return isElement ? st.element(m, number) : number;
}

void copyInto(StructureStore& st, int64_t target, int64_t source, bool withCounts) {
  StructInstance& from = st.at(source);
  StructInstance& to = st.at(target);
  if (&from == &to) return;
  st.setData(to, from.data, static_cast<size_t>(from.dataSize));
  to.arrayNumbers = from.arrayNumbers;
  if (withCounts) to.elementCounts = from.elementCounts;
}

}  // namespace

// ------------------------------------------------------------ the store

StructureStore::~StructureStore() {
  for (StructInstance& s : list) heap.release(s.data, static_cast<size_t>(s.dataSize));
}

StructInstance& StructureStore::at(int64_t number) {
  if (number < 0 || static_cast<uint64_t>(number) >= list.size()) raiseListIndex(number);
  return list[static_cast<size_t>(number)];
}

const ArrayDescriptor& StructureStore::arrayDescriptor(int32_t arrayNumber) {
  if (arrayNumber < 0 || arrayNumber >= kStructureArrays)
    raise("Structure array number out of range (" + std::to_string(arrayNumber) + ")");
  const ArrayDescriptor& d = arrays[static_cast<size_t>(arrayNumber)];
  if (!d.declared) raise("Structure array " + std::to_string(arrayNumber) + " is not declared");
  return d;
}

int64_t StructureStore::element(Machine& m, int32_t arrayNumber) {
  int count = m.u8();
  if (count == 0) count = 1;
  if (count > 5) raise("Too many subscripts (" + std::to_string(count) + ")");
  double sub[5];
  for (int i = 0; i < count; ++i) sub[i] = m.evalNumber();
  return linearIndexFloat(arrayDescriptor(arrayNumber), sub, count);
}

int32_t StructureStore::fieldSize(const StructInstance& s, int32_t field) {
  if (field < 0 || static_cast<size_t>(field) >= s.fieldSizes.size()) raiseField(field);
  return s.fieldSizes[static_cast<size_t>(field)];
}

uint8_t* StructureStore::fieldBytes(StructInstance& s, int32_t field, int64_t width) {
  if (field < 0 || static_cast<size_t>(field) >= s.fieldSizes.size()) raiseField(field);
  int64_t offset = 0;
  for (int32_t i = 0; i < field; ++i) offset += s.fieldSizes[static_cast<size_t>(i)];
  if (width < 0 || offset + width > s.dataSize) raiseField(field);
  return s.data + offset;
}

FieldArray StructureStore::fieldArray(Machine& m, StructInstance& s, int32_t field, int fieldKind) {
  if (field < 0 || static_cast<size_t>(field) >= s.arrayNumbers.size()) raiseField(field);
  FieldArray a;
  a.kind = storeKindOf(fieldKind);
  const ArrayDescriptor& d = m.vars.descriptor(a.kind, s.arrayNumbers[static_cast<size_t>(field)]);
  if (!d.declared) raise("The array of structure field " + std::to_string(field) + " is not declared");
  a.descriptor = &d;
  uint32_t value;
  std::memcpy(&value, fieldBytes(s, field, 4), 4);
  if (a.kind == kFixString) {
    a.first = value;
  } else {
    const auto base = reinterpret_cast<uintptr_t>(m.vars.arrays[a.kind]->data());
    if (value < base || value - base > m.vars.arrays[a.kind]->size())
      raise("The array of structure field " + std::to_string(field) + " is outside its store");
    a.first = static_cast<int64_t>(value - base);
  }
  return a;
}

void StructureStore::setData(StructInstance& s, const uint8_t* bytes, size_t n) {
  uint8_t* block = heap.allocate(n);
  if (n > 0) std::memcpy(block, bytes, n);
  heap.release(s.data, static_cast<size_t>(s.dataSize));
  s.data = block;
  s.dataSize = static_cast<int32_t>(n);
}

int64_t StructureStore::append() {
  if (list.size() >= kMaxInstances) raise(texts::kOutOfMemory);
  list.emplace_back();
  return static_cast<int64_t>(list.size()) - 1;
}

// ------------------------------------------------------------ entry points

void structureStatement(Machine& m, uint8_t code) {
  StructureStore& st = *m.structures;
  switch (code) {
    case 37: {
      const int marker = m.u8();
      if (marker == kMarkerDeclaration) {
        m.u8();  // the reset flag: structures do not use it
        if (m.u8() == 1) declareSingle(m, st);
        else declareArray(m, st);
      } else if (marker == kMarkerAssignment) {
        assignField(m, st, m.s16());
      }
      break;
    }
    case 38: {
      m.u8();
      const int32_t arrayNumber = m.s16();
      assignField(m, st, st.element(m, arrayNumber));
      break;
    }
    case 40: {
      m.u8();
      const int32_t target = m.s16();
      bool isElement = false;
      const int64_t source = readSource(m, st, isElement);
      copyInto(st, target, source, false);
      break;
    }
    case 41: {
      m.u8();
      const int32_t arrayNumber = m.s16();
      const int64_t target = st.element(m, arrayNumber);
      bool isElement = false;
      const int64_t source = readSource(m, st, isElement);
      copyInto(st, target, source, isElement);
      break;
    }
    default: break;
  }
}

void structureItem(Machine& m, uint8_t code, EvalStacks& s) {
  StructureStore& st = *m.structures;
  switch (code) {
    case 37: {
      const int32_t number = m.s16();
      if (m.u8() != 1) return;  // only form 1 reads a field
      pushField(m, st, number, s);
      break;
    }
    case 38: {
      const int32_t arrayNumber = m.s16();
      pushField(m, st, st.element(m, arrayNumber), s);
      break;
    }
    case 39: {
      const int marker = m.u8();
      const int32_t number = m.s16();
      const int64_t position = marker == kMarkerStructure ? number : st.element(m, number);
      s.pushNumber(st.at(position).totalSize);
      break;
    }
    case 40:
      s.pushNumber(static_cast<double>(reinterpret_cast<uintptr_t>(st.at(m.s16()).data)));
      break;
    case 41: {
      const int32_t arrayNumber = m.s16();
      s.pushNumber(static_cast<double>(reinterpret_cast<uintptr_t>(st.at(st.element(m, arrayNumber)).data)));
      break;
    }
    default: break;
  }
}

}  // namespace kestrel
