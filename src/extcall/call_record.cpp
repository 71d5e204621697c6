#include "extcall/call_record.h"

#include "core/machine.h"

namespace kestrel::extcall {

std::string readName(Machine& m) {
  const int length = m.s16();
  std::string name;
  if (length <= 0) return name;
  const int32_t available = m.size - m.pos;
  const int32_t take = std::min<int32_t>(length, available);
  name.assign(reinterpret_cast<const char*>(m.code + m.pos), static_cast<size_t>(take));
  m.seek(m.pos + take);
  return name;
}

int argumentCount(int countByte) { return countByte > kMaxDirectCount ? 255 - countByte : countByte; }

ExternalArgument readArgument(Machine& m) {
  ExternalArgument a;
  a.kind = m.u8();
  if (a.kind >= kArgFirstObject) {
    int32_t index = m.s16();
    if (index == -1) index = m.frames.byRef(m.frames.current(), m.u8()).index;
    a.object = index;
    return a;
  }
  if (m.evaluate() != 0) a.text = m.strReg;
  else a.number = m.numReg;
  return a;
}

void skipArguments(Machine& m, int count) {
  for (int k = 0; k < count && !m.atEnd(); ++k) readArgument(m);
}

}  // namespace kestrel::extcall
