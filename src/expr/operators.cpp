#include "expr/operators.h"

#include <cmath>
#include <limits>
#include <numeric>

#include "expr/conversions.h"

namespace kestrel {

namespace {

int comparison(uint8_t code, int c) {
  bool r = false;
  switch (code) {
    case kOpEqual: r = c == 0; break;
    case kOpNotEqual: r = c != 0; break;
    case kOpGreater: r = c > 0; break;
    case kOpLess: r = c < 0; break;
    case kOpGreaterEqual: r = c >= 0; break;
    default: r = c <= 0; break;
  }
  return r ? -1 : 0;
}

int numericComparison(uint8_t code, double a, double b) {
  bool r = false;
  switch (code) {
    case kOpEqual: r = a == b; break;
    case kOpNotEqual: r = a != b; break;
    case kOpGreater: r = a > b; break;
    case kOpLess: r = a < b; break;
    case kOpGreaterEqual: r = a >= b; break;
    default: r = a <= b; break;
  }
  return r ? -1 : 0;
}

double naturalLog(double x) {
  if (x < 0 || std::isnan(x)) raise(texts::kInvalidFloatOp);
  if (x == 0) raise(texts::kFloatDivByZero);
  return std::log(x);
}

void stringOperator(EvalStacks& s, uint8_t code, size_t maxStringLength) {
  switch (code) {
    case kOpPlus:
      if (s.ns < 2) { s.ns = 0; return; }
      if (s.str[s.ns - 2].size() + s.str[s.ns - 1].size() > maxStringLength) raise(texts::kOutOfMemory);
      s.str[s.ns - 2] += s.str[s.ns - 1];
      --s.ns;
      return;
    case kOpMinus: {
      if (s.ns < 2) { s.ns = 0; return; }
      const Str& piece = s.str[s.ns - 1];
      if (!piece.empty() && s.str[s.ns - 2].view().find(piece.view()) != std::string_view::npos) {
        // Deleting can join two halves into a new occurrence, so each search
        // starts again from the front.
        std::string text = s.str[s.ns - 2].str();
        for (size_t at = text.find(piece.view()); at != std::string::npos; at = text.find(piece.view()))
          text.erase(at, piece.size());
        s.str[s.ns - 2] = text;
      }
      --s.ns;
      return;
    }
    case kOpEqual: case kOpNotEqual: case kOpGreater:
    case kOpLess: case kOpGreaterEqual: case kOpLessEqual: {
      s.kind = 0;
      if (s.ns < 2) { s.ns = 0; return; }
      int c = s.str[s.ns - 2].compare(s.str[s.ns - 1].view());
      s.ns -= 2;
      s.pushNumber(comparison(code, c));
      return;
    }
    default:
      return;  // numeric operators are skipped on strings
  }
}

}  // namespace

double power(double base, double exponent) {
  if (exponent == 0) return 1;
  if (exponent == std::trunc(exponent) && std::fabs(exponent) <= 2147483647.0) {
    // Square-and-multiply in extended precision.
    long double result = 1, factor = base;
    uint64_t n = static_cast<uint64_t>(std::fabs(exponent));
    while (n != 0) {
      if (n & 1) result *= factor;
      factor *= factor;
      n >>= 1;
    }
    if (exponent < 0) {
      if (result == 0) raise(texts::kFloatDivByZero);
      result = 1 / result;
    }
    double r = static_cast<double>(result);
    if (std::isinf(r) && std::isfinite(base)) raise(texts::kFloatOverflow);
    return r;
  }
  naturalLog(base);  // raises for 0 and negative bases
  const double r = static_cast<double>(std::exp(static_cast<long double>(exponent) * std::log(static_cast<long double>(base))));
  return checkedResult(r, base, exponent);
}

int32_t modularInverse(int32_t a, int32_t m) {
  if (m <= 1) return -1;
  // Without 32-bit overflow in a * n the answer is the ordinary inverse of a
  // modulo m, found by the extended Euclidean algorithm.
  if (a >= 0 && static_cast<int64_t>(a) * (m - 1) <= std::numeric_limits<int32_t>::max()) {
    if (std::gcd(a, m) != 1) return -1;
    int64_t t = 0, newT = 1, r = m, newR = a;
    while (newR != 0) {
      int64_t q = r / newR;
      t -= q * newT; std::swap(t, newT);
      r -= q * newR; std::swap(r, newR);
    }
    if (t < 0) t += m;
    return static_cast<int32_t>(t);
  }
  for (int64_t n = int64_t{m} - 1; n >= 0; --n) {
    int32_t product = static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(n));
    if (product % m == 1) return static_cast<int32_t>(n);
  }
  return -1;
}

double numericBinary(uint8_t code, double a, double b) {
  switch (code) {
    case kOpAnd: return roundToInt32(a) & roundToInt32(b);
    case kOpOr: return roundToInt32(a) | roundToInt32(b);
    case kOpXor: return roundToInt32(a) ^ roundToInt32(b);
    case kOpPower: return power(a, b);
    case kOpModulo: return integerModulo(roundToInt32(a), roundToInt32(b));
    case kOpEqual: case kOpNotEqual: case kOpGreater:
    case kOpLess: case kOpGreaterEqual: case kOpLessEqual:
      return numericComparison(code, a, b);
    case kOpShiftLeft:
      return static_cast<int32_t>(static_cast<uint32_t>(roundToInt32(a)) << (roundToInt32(b) & 31));
    case kOpShiftRight:
      return static_cast<int32_t>(static_cast<uint32_t>(roundToInt32(a)) >> (roundToInt32(b) & 31));
    case kOpModInverse: return modularInverse(roundToInt32(a), roundToInt32(b));
    case kOpIntDivide: {
      const int32_t x = roundToInt32(a), y = roundToInt32(b);
      if (y == 0) raise(texts::kFloatDivByZero);
      return truncToInt32(static_cast<double>(x) / y);
    }
    default: return a;
  }
}

void applyOperator(EvalStacks& s, uint8_t code, size_t maxStringLength) {
  if (code == kOpCharAt) {
    // Works whatever the result kind: pops a position, keeps one character.
    if (s.nn < 1 || s.ns < 1) return;
    int32_t p = truncToInt32(s.num[--s.nn]);
    Str& text = s.str[s.ns - 1];
    if (p >= 1 && static_cast<size_t>(p) <= text.size())
      text = Str(1, text[static_cast<size_t>(p) - 1]);
    else
      text.clear();
    s.kind = 1;
    return;
  }
  if (s.kind != 0) {
    stringOperator(s, code, maxStringLength);
    return;
  }

  switch (code) {
    case kOpNot:
      if (s.nn >= 1) s.num[s.nn - 1] = ~roundToInt32(s.num[s.nn - 1]);
      return;
    case kOpNegate:
      if (s.nn >= 1) s.num[s.nn - 1] = -s.num[s.nn - 1];
      return;
    case kOpPlus:
      if (s.nn < 2) return;
      break;
    case kOpMinus:
      if (s.nn == 1) {
        s.num[0] = -s.num[0];
        s.nn = 0;
        return;
      }
      break;
    default:
      break;
  }
  if (s.nn < 2) {
    s.nn = 0;
    return;
  }
  double& a = s.num[s.nn - 2];
  const double b = s.num[s.nn - 1];
  switch (code) {
    case kOpPlus: a = checkedResult(a + b, a, b); break;
    case kOpMinus: a = checkedResult(a - b, a, b); break;
    case kOpTimes: a = checkedResult(a * b, a, b); break;
    case kOpDivide: a = checkedResult(a / b, a, b, true); break;
    default:
      if (!isOperator(code)) return;
      a = numericBinary(code, a, b);
      break;
  }
  --s.nn;
}

}  // namespace kestrel
