#pragma once
// User-defined structures: the structure list (instances in creation order;
// a single structure's number is its position, positions 0 to 50 are kept
// for single structures) and the table of 51 structure-array descriptors.
//
// An instance's field data is one block in the low arena, so its address can
// be handed to external code. An array-valued field holds the address of its
// elements (for fixed-text arrays: the number of its first cell). Every
// element of a structure array gets its own slice of the field's global
// array: element k (k = 0 for the prototype, which is also the element with
// the lowest subscripts) owns elements k * n to k * n + n - 1, n being the
// field's element count, and its field holds the address of that slice.
// Reads, writes and stream transfers all find a field's elements through
// that address, so they agree; a copy of a structure copies the address and
// so shares the source's elements.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/low_heap.h"
#include "state/variables.h"

namespace kestrel {

class Machine;

struct StructInstance {
  uint8_t* data = nullptr;  // the field data (nullptr when empty)
  int32_t dataSize = 0;
  int32_t totalSize = 0;
  int32_t reserved = 0;
  std::vector<int32_t> fieldSizes;
  std::vector<int16_t> arrayNumbers;
  std::vector<int32_t> elementCounts;  // structure-array instances only
};

// Where the elements of an array-valued field are: a store kind (1 to 7, or
// 8 for fixed-text cells), the position of the first element (a byte
// position in the kind's array store, or a cell index) and the descriptor
// of the field's global array.
struct FieldArray {
  int kind = 0;
  int64_t first = 0;
  const ArrayDescriptor* descriptor = nullptr;
};

class StructureStore {
 public:
  StructureStore() = default;
  ~StructureStore();
  StructureStore(const StructureStore&) = delete;
  StructureStore& operator=(const StructureStore&) = delete;

  // "List index out of bounds (N)" for a position that holds no instance.
  StructInstance& at(int64_t number);
  // Reads a dimension count and subscripts and returns the list position of
  // that element of structure array `arrayNumber`.
  int64_t element(Machine& m, int32_t arrayNumber);
  const ArrayDescriptor& arrayDescriptor(int32_t arrayNumber);

  // The bytes of field `field` with room for `width` bytes; raises when the
  // structure has no such field or its data is too short.
  uint8_t* fieldBytes(StructInstance& s, int32_t field, int64_t width);
  int32_t fieldSize(const StructInstance& s, int32_t field);
  // The elements of array-valued field `field` of kind 14 to 21.
  FieldArray fieldArray(Machine& m, StructInstance& s, int32_t field, int fieldKind);

  // Replaces the field data with a copy of `bytes`.
  void setData(StructInstance& s, const uint8_t* bytes, size_t n);
  // Appends an empty instance and returns its position.
  int64_t append();

  std::vector<StructInstance> list;
  std::array<ArrayDescriptor, 51> arrays;  // structure-array numbers 0 to 50
  platform::LowHeap heap;
};

}  // namespace kestrel
