#pragma once
// The format-number function: general, scientific, fixed, thousands and
// currency forms of a number.
#include <string>

namespace kestrel {

enum NumberFormat { kFormatGeneral = 0, kFormatScientific = 1, kFormatFixed = 2, kFormatThousands = 3, kFormatCurrency = 4 };

// `precision` significant digits; `digits` decimals (fixed, thousands,
// currency) or the minimum number of exponent digits (general, scientific).
// Codes outside 0 to 4 format as general.
std::string formatNumber(double value, int format, int precision, int digits, char separator);

}  // namespace kestrel
