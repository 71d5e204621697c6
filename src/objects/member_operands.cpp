#include "objects/member_operands.h"

namespace kestrel::objects {

namespace {
constexpr int kKindParameter = 12;
constexpr int kKindArrayElement = 29;
constexpr int kTabControl = 53;

int32_t indexForKind(Machine& m, int type, int kind) {
  if (kind == kKindParameter) return parameterIndex(m, m.u8());
  const int32_t number = m.s16();
  if (kind == kKindArrayElement) return static_cast<int32_t>(m.objectArrayIndex(type, number));
  return number;
}
}  // namespace

int32_t parameterIndex(Machine& m, int slot) {
  return m.frames.byRef(std::max(m.frames.current(), 0), slot).index;
}

ObjectRef readObjectOperand(Machine& m) {
  const int kind = m.u8();
  const int type = m.u8();
  return {type, indexForKind(m, type, kind)};
}

ObjectRef readTypeFirstOperand(Machine& m) {
  const int type = m.u8();
  const int kind = m.u8();
  return {type, indexForKind(m, type, kind)};
}

Object& containerLookup(Machine& m, ObjectRef ref) {
  switch (ref.type) {
    case 30: case 33: case 34: case 37: case 38: case 43:
    case 50: case 57: case 66: case 69: case 70: case 74:
      return world(m).at(ref.type, ref.index, ref.type);
    default:
      return world(m).at(ref.type, ref.index, kTabControl);
  }
}

}  // namespace kestrel::objects
