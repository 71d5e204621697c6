#pragma once
// The format-number function: general, scientific, fixed, thousands and
// currency forms of a number.
#include <string>

namespace kestrel {

// The format codes, with what each writes (docs/reference.md lists them).
#define KESTREL_NUMBER_FORMATS(X)                                                                            \
  X(General, 0, "`precision` significant digits; scientific from 1E+precision and below 1E-5")                \
  X(Scientific, 1, "d.dddE+xx: `precision` significant digits, at least `digits` exponent digits (up to 4)") \
  X(Fixed, 2, "fixed notation with `digits` decimals (scientific when the whole part needs more digits)")    \
  X(Thousands, 3, "as 2, the whole part in groups of three")                                                \
  X(Currency, 4, "as 3, led by $")

enum NumberFormat {
#define KESTREL_NUMBER_FORMAT(name, code, meaning) kFormat##name = code,
  KESTREL_NUMBER_FORMATS(KESTREL_NUMBER_FORMAT)
#undef KESTREL_NUMBER_FORMAT
};

// `precision` significant digits; `digits` decimals (fixed, thousands,
// currency) or the minimum number of exponent digits (general, scientific).
// Codes outside 0 to 4 format as general.
std::string formatNumber(double value, int format, int precision, int digits, char separator);

}  // namespace kestrel
