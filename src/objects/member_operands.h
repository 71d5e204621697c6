#pragma once
// The operand conventions that every member of every type follows: numbers
// rounded (or truncated where a table says so), boolean flag bytes,
// strings, event bindings, argument lists, raw bytes, object operands in
// both byte orders, and the container lookup.
#include <cstdint>

#include "expr/eval_stacks.h"
#include "core/machine.h"
#include "objects/object_model.h"

namespace kestrel::objects {

// A numeric operand, rounded to nearest with ties to even.
inline int32_t numberOperand(Machine& m) { return m.evalRound(); }
// A numeric operand that the table marks as truncated.
inline int32_t truncOperand(Machine& m) { return m.evalTrunc(); }
// A boolean property: the low 8 bits of the rounded value are the flag.
inline uint8_t flagOperand(Machine& m) { return static_cast<uint8_t>(m.evalRound()); }
// A truth value: any value but 0 is true (0.4 too: it is not rounded).
inline bool truthOperand(Machine& m) { return m.evalNumber() != 0; }
inline Str stringOperand(Machine& m) {
  m.evaluate();
  return m.strReg;
}
// An event binding: 4 raw bytes, the handler's little-endian position.
inline int32_t handlerOperand(Machine& m) { return m.s32(); }
// One raw byte that the member reads and does not use.
inline void skipByte(Machine& m) { m.u8(); }
// Raw bytes that the member reads and does not use.
inline void skipBytes(Machine& m, int count) {
  for (int i = 0; i < count; ++i) m.u8();
}
// One raw byte taken as a number (a resource number, a slot).
inline int byteOperand(Machine& m) { return m.u8(); }

// An argument list: each element is led by a byte that is not 11; the byte
// 11 in that place ends the list. `element` reads the element itself.
template <class F>
void forEachArgument(Machine& m, F&& element) {
  for (;;) {
    if (m.atEnd() || m.u8() == 11) return;
    element();
  }
}

// A flag read back: the stored byte (a flag set with -1 reads 255).
inline void pushFlag(EvalStacks& s, uint8_t flag) { s.pushNumber(flag); }
// A truth value normalised to 1 or 0.
inline void pushBool(EvalStacks& s, bool value) { s.pushNumber(value ? 1 : 0); }

// An object named by an operand.
struct ObjectRef {
  int type = 0;
  int32_t index = 0;
};
// Kind byte first, then type code (convention 7).
ObjectRef readObjectOperand(Machine& m);
// Type code first, then kind byte (canvas, menu-item and stream operands).
ObjectRef readTypeFirstOperand(Machine& m);
// The index of the object passed in by-reference parameter `slot` of the
// procedure running now (the first frame outside any procedure).
int32_t parameterIndex(Machine& m, int slot);

// Fetches the object of an object operand, checking its class as the
// toolkit's typecast does: twelve type codes name their own class, every
// other code asks for a tab control (53).
Object& containerLookup(Machine& m, ObjectRef ref);

}  // namespace kestrel::objects
