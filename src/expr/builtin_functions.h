#pragma once
// The built-in functions by family. Each returns false for a code that is
// not its own. Arguments are read with the helpers below.
#include <cstdint>

#include "core/machine.h"

namespace kestrel {

bool stringFunction(Machine& m, uint8_t code, EvalStacks& s);
bool numericFunction(Machine& m, uint8_t code, EvalStacks& s);
bool consoleFunction(Machine& m, uint8_t code, EvalStacks& s);

// The functions of one number (absolute value, integer part, rounding,
// trigonometry, roots and logarithms), shared with the fast path.
bool isMathFunction(uint8_t code);
double mathFunction(uint8_t code, double x);
void systemFunction(Machine& m, uint8_t code, EvalStacks& s);

// Argument helpers. A string argument is evaluated straight into a new slot
// of the caller's string stack (it counts as pushed); the function then
// replaces the slot's content with its result.
inline Str& stringArgSlot(Machine& m, EvalStacks& s) {
  Str& slot = s.pushSlot();
  m.evaluate(m.numReg, slot);
  return slot;
}
inline Str stringArg(Machine& m) {
  m.evaluate();
  return m.strReg;
}
inline double numberArg(Machine& m) { return m.evalNumber(); }
inline int32_t roundArg(Machine& m) { return m.evalRound(); }
inline int32_t truncArg(Machine& m) { return m.evalTrunc(); }

}  // namespace kestrel
