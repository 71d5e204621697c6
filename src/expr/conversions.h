#pragma once
// Conversions between numbers, integers and text shared by the whole run-time.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "state/errors.h"

namespace kestrel {

[[noreturn]] void raiseInvalidFloatOp();

// Round to nearest, ties to even, into a signed 32-bit integer.
inline int32_t roundToInt32(double v) {
  double r = std::nearbyint(v);  // the default rounding mode is ties-to-even
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) raiseInvalidFloatOp();
  return static_cast<int32_t>(r);
}

// Truncate toward zero into a signed 32-bit integer.
inline int32_t truncToInt32(double v) {
  double r = std::trunc(v);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) raiseInvalidFloatOp();
  return static_cast<int32_t>(r);
}

// Narrowing to single precision; a finite value too large for it overflows.
float toSingle(double v);

// Checks the result of a floating-point operation the way an unmasked FPU
// would: overflow, division by zero and invalid operations raise errors.
// `a` and `b` are the operands; `isDivision` selects the division rules.
[[noreturn]] void raiseFloatFault(double r, double a, double b, bool isDivision);
inline double checkedResult(double r, double a, double b, bool isDivision = false) {
  if (!std::isfinite(r)) [[unlikely]] {
    if (std::isfinite(a) && std::isfinite(b)) raiseFloatFault(r, a, b, isDivision);
  }
  return r;
}

// The decimal digits of |v| rounded half away from zero to `precision`
// significant digits (trailing zeros kept), and the power of ten of the first.
struct DecimalDigits {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};
DecimalDigits decimalDigits(double v, int precision);

// General number format: at most `precision` significant digits, fixed
// notation unless the magnitude calls for scientific notation, which writes
// at least `minExponentDigits` exponent digits.
std::string formatGeneral(double v, int precision = 15, int minExponentDigits = 0,
                          char separator = '.');
// Fixed notation with `decimals` digits after the point, padded on the left
// to at least `width` characters.
std::string formatFixed(double v, int width, int decimals, char separator = '.');
// Plain decimal digits of a 32-bit integer.
std::string formatInteger(int64_t v);

// The strict reader: the whole text must be a number, else
// "'TEXT' is not a valid floating point value". `separator` is the decimal
// separator in use.
double parseStrict(std::string_view text, char separator = '.');
// The lenient reader: takes the longest number-like prefix (spaces skipped);
// nothing taken gives 0; a malformed candidate raises the strict error.
double parseLenient(std::string_view text, char separator = '.');

}  // namespace kestrel
