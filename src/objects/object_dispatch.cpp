#include "objects/object_dispatch.h"

#include "interp/machine.h"

namespace kestrel::objects {

namespace {
[[noreturn]] void unavailable(int type) {
  raise("Object type " + std::to_string(type) + " is not available in this build");
}
}  // namespace

void declareObject(Machine&, int type, int32_t) { unavailable(type); }
void declareObjectArray(Machine&, int type, int32_t, const ArrayDescriptor&, double) { unavailable(type); }
int64_t arrayElementIndex(Machine&, int type, int32_t) { unavailable(type); }
void writeMember(Machine&, int type, int32_t, int) { unavailable(type); }
void readMember(Machine&, int type, int32_t, int, EvalStacks&) { unavailable(type); }

uint64_t rectangleAddress(Machine&, int32_t) { unavailable(68); }
uint64_t recordAddress(Machine&, int32_t) { unavailable(71); }

}  // namespace kestrel::objects
