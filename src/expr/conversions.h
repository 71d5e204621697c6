#pragma once
// Conversions between numbers, integers and text shared by the whole run-time.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "state/errors.h"

namespace kestrel {

[[noreturn]] void raiseInvalidFloatOp();

// Round to nearest, ties to even, into a signed 32-bit integer: the careful
// way, for values at or outside the range's ends.
inline int32_t roundToInt32Slow(double v) {
  // Inside this range adding and taking away 2^52 + 2^51 rounds to an
  // integer the way the FPU does (ties to even), without a library call.
  if (!(v > -2147483648.5 && v < 2147483647.5)) [[unlikely]] {
    if (v == -2147483648.5) return -2147483647 - 1;  // a tie that rounds to the even end
    raiseInvalidFloatOp();
  }
  constexpr double kMagic = 6755399441055744.0;
  const double shifted = v + kMagic;  // strict IEEE arithmetic keeps this pair apart
  return static_cast<int32_t>(static_cast<int64_t>(shifted - kMagic));
}

// Round to nearest, ties to even, into a signed 32-bit integer. The
// processor's conversion rounds in the current mode (nearest, ties to even)
// and answers INT_MIN for anything it cannot convert, so only that answer
// needs a second look.
inline int32_t roundToInt32(double v) {
#if defined(__SSE2__)
  const int32_t r = _mm_cvtsd_si32(_mm_set_sd(v));
  if (r == INT32_MIN) [[unlikely]] return roundToInt32Slow(v);
  return r;
#else
  return roundToInt32Slow(v);
#endif
}

// Truncate toward zero into a signed 32-bit integer.
inline int32_t truncToInt32(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) [[unlikely]] raiseInvalidFloatOp();
  return static_cast<int32_t>(v);
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
