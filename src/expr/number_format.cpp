#include "expr/number_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "expr/conversions.h"

namespace kestrel {

namespace {

struct Decimal {
  bool negative = false;
  std::string digits;  // significant digits, first one non-zero (or "0")
  int exponent = 0;    // power of ten of the first digit
};

Decimal toDecimal(double v, int precision) {
  const DecimalDigits digits = decimalDigits(v, precision);
  return Decimal{digits.negative, digits.digits, digits.exponent};
}

// Keeps `keep` digits, rounding half up on the decimal digits.
void roundDigits(Decimal& d, int keep) {
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits = "0";
    return;
  }
  const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    int i = keep - 1;
    for (; i >= 0; --i) {
      if (d.digits[static_cast<size_t>(i)] == '9') {
        d.digits[static_cast<size_t>(i)] = '0';
      } else {
        ++d.digits[static_cast<size_t>(i)];
        break;
      }
    }
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  if (d.digits.empty()) d.digits = "0";
}

bool allZero(const std::string& s) { return s.find_first_not_of('0') == std::string::npos; }

std::string scientific(double v, int precision, int minExponentDigits, char separator) {
  Decimal d = toDecimal(v, precision);
  std::string out = d.negative ? "-" : "";
  out += d.digits[0];
  if (d.digits.size() > 1) {
    out += separator;
    out.append(d.digits, 1, std::string::npos);
  }
  out += 'E';
  out += d.exponent < 0 ? '-' : '+';
  std::string e = std::to_string(std::abs(d.exponent));
  if (static_cast<int>(e.size()) < minExponentDigits) e.insert(0, static_cast<size_t>(minExponentDigits) - e.size(), '0');
  return out + e;
}

std::string withThousands(const std::string& whole, char separator) {
  const char group = separator == ',' ? '.' : ',';
  std::string out;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) out += group;
    out += whole[i];
  }
  return out;
}

// Fixed notation with `decimals` digits; empty when the whole part needs
// more than `precision` digits (the caller then uses scientific form).
std::string fixed(double v, int precision, int decimals, char separator, bool thousands) {
  Decimal d = toDecimal(v, precision);
  if (d.exponent + 1 > precision) return {};
  roundDigits(d, d.exponent + 1 + decimals);
  std::string whole, fraction;
  const std::string& g = d.digits;
  for (int pos = std::max(d.exponent, 0); pos >= 0; --pos) {
    int idx = d.exponent - pos;
    whole += (idx >= 0 && idx < static_cast<int>(g.size())) ? g[static_cast<size_t>(idx)] : '0';
  }
  for (int k = 1; k <= decimals; ++k) {
    int idx = d.exponent + k;
    fraction += (idx >= 0 && idx < static_cast<int>(g.size())) ? g[static_cast<size_t>(idx)] : '0';
  }
  std::string out = (d.negative && !(allZero(whole) && allZero(fraction))) ? "-" : "";
  out += thousands ? withThousands(whole, separator) : whole;
  if (decimals > 0) out += separator + fraction;
  return out;
}

}  // namespace

std::string formatNumber(double value, int format, int precision, int digits, char separator) {
  if (!std::isfinite(value)) return formatGeneral(value);
  precision = std::clamp(precision, 1, 18);
  digits = std::clamp(digits, 0, 18);
  switch (format) {
    case kFormatScientific: return scientific(value, precision, std::min(digits, 4), separator);
    case kFormatFixed:
    case kFormatThousands:
    case kFormatCurrency: {
      std::string text = fixed(std::fabs(value), precision, digits, separator, format != kFormatFixed);
      if (text.empty()) return scientific(value, precision, 0, separator);
      const bool negative = value < 0 && text.find_first_of("123456789") != std::string::npos;
      if (format == kFormatCurrency) return negative ? "-$" + text : "$" + text;
      return negative ? "-" + text : text;
    }
    default: return formatGeneral(value, precision, digits, separator);
  }
}

}  // namespace kestrel
