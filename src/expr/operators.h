#pragma once
// The operators of the postfix expression code. Whether an operator works on
// numbers or on strings is decided by the result kind when it is met: the
// kind of the last operand pushed.
#include <cstdint>

#include "expr/eval_stacks.h"
#include "state/errors.h"

namespace kestrel {

enum OperatorCode : uint8_t {
  kOpAnd = 50,
  kOpOr = 51,
  kOpXor = 52,
  kOpNot = 53,
  kOpPlus = 54,
  kOpMinus = 55,
  kOpTimes = 56,
  kOpDivide = 57,
  kOpPower = 58,
  kOpModulo = 59,
  kOpEqual = 60,
  kOpNotEqual = 61,
  kOpGreater = 62,
  kOpLess = 63,
  kOpGreaterEqual = 64,
  kOpLessEqual = 65,
  kOpShiftLeft = 70,
  kOpShiftRight = 71,
  kOpModInverse = 72,
  kOpNegate = 73,
  kOpIntDivide = 74,
  kOpCharAt = 75,
};

inline bool isOperator(uint8_t code) { return (code >= 50 && code <= 65) || (code >= 70 && code <= 75); }

// Applies operator `code` to the stacks.
void applyOperator(EvalStacks& s, uint8_t code, size_t maxStringLength);

// A binary numeric operator (not plus, minus, times or divide, which the
// callers do themselves) on two operands.
double numericBinary(uint8_t code, double a, double b);

// The numeric operators on two operands, shared with the decoded form.
double power(double base, double exponent);
int32_t modularInverse(int32_t a, int32_t m);
inline int32_t integerModulo(int32_t a, int32_t b) {
  if (b == 0) [[unlikely]] raise(texts::kDivByZero);
  if (b == -1) return 0;  // also keeps INT_MIN mod -1 from trapping
  return a % b;
}

}  // namespace kestrel
