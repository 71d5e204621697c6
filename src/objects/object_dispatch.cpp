#include "objects/object_dispatch.h"

#include "events/dispatch.h"
#include "core/machine.h"
#include "objects/object_model.h"
#include "objects/rect_record.h"

namespace kestrel::objects {

namespace {
[[noreturn]] void raiseNoMember(const TypeDescriptor& d, int member, const char* direction) {
  raise("Member " + std::to_string(member) + " of object type " + std::to_string(d.code) + " (" + d.name +
        ") cannot be " + direction);
}
}  // namespace

void declareObject(Machine& m, int type, int32_t index) { world(m).declare(type, index); }

void declareObjectArray(Machine& m, int type, int32_t arrayIndex, const ArrayDescriptor& bounds, double total) {
  world(m).declareArray(type, arrayIndex, bounds, total);
}

int64_t arrayElementIndex(Machine& m, int type, int32_t arrayIndex) {
  int count = m.u8();
  if (count == 0) count = 1;
  if (count > 5) raise("Too many subscripts (" + std::to_string(count) + ")");
  double sub[5];
  for (int i = 0; i < count; ++i) sub[i] = m.evalNumber();
  return world(m).arrayElement(type, arrayIndex, sub, count);
}

void writeMember(Machine& m, int type, int32_t index, int member) {
  ObjectWorld& w = world(m);
  const TypeDescriptor& d = w.descriptor(type);
  Object& object = w.at(type, index);
  if (!d.write(d, m, object, member) && member < d.ignoredWritesFrom) raiseNoMember(d, member, "written");
  // A member that delivered events (showing, closing, repainting) ends the
  // run here when a handler ran the end statement.
  events::checkPendingEnd(m);
}

void readMember(Machine& m, int type, int32_t index, int member, EvalStacks& s) {
  ObjectWorld& w = world(m);
  const TypeDescriptor& d = w.descriptor(type);
  Object& object = w.at(type, index);
  const int numbers = s.nn;
  const int strings = s.ns;
  if (!d.read(d, m, object, member, s)) raiseNoMember(d, member, "read");
  // Exactly one value, whatever the member did, so the stacks stay balanced.
  if (s.nn == numbers && s.ns == strings) s.pushNumber(0);
  events::checkPendingEnd(m);
}

uint64_t rectangleAddress(Machine& m, int32_t index) {
  return reinterpret_cast<uint64_t>(world(m).as<Rectangle>(kRectangleType, index).fields);
}

uint64_t recordAddress(Machine& m, int32_t index) {
  return reinterpret_cast<uint64_t>(world(m).as<Record88>(kRecordType, index).bytes);
}

}  // namespace kestrel::objects
