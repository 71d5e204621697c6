#pragma once
// The entry points of the object model used by statements and expressions:
// creation by declaration, the member-write and member-read dispatchers and
// the object-array subscript reader.
#include <cstdint>

namespace kestrel {

class Machine;
struct EvalStacks;
struct ArrayDescriptor;

namespace objects {

// Makes sure the object list of `type` holds `index`.
void declareObject(Machine& m, int type, int32_t index);
// Declares object array `arrayIndex` of `type` with `total` elements.
void declareObjectArray(Machine& m, int type, int32_t arrayIndex, const ArrayDescriptor& bounds, double total);
// Reads the subscripts of an object-array element and returns its object index.
int64_t arrayElementIndex(Machine& m, int type, int32_t arrayIndex);
// A member statement: reads the member's operands and performs it.
void writeMember(Machine& m, int type, int32_t index, int member);
// A member read: pushes exactly one value.
void readMember(Machine& m, int type, int32_t index, int member, EvalStacks& s);

// Addresses (in the low arena) of a rectangle object's four 32-bit integers
// and of an 88-byte record, for passing to external functions.
uint64_t rectangleAddress(Machine& m, int32_t index);
uint64_t recordAddress(Machine& m, int32_t index);

}  // namespace objects
}  // namespace kestrel
