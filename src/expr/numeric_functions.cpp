// Built-in mathematical functions and the functions that read parameters,
// open argument lists, result slots and array bounds.
#include <cmath>

#include "expr/builtin_functions.h"
#include "expr/conversions.h"

namespace kestrel {

namespace {

double checkedMath(double r, double x) {
  if (std::isnan(r) && !std::isnan(x)) raise(texts::kInvalidFloatOp);
  if (std::isinf(r) && std::isfinite(x)) raise(texts::kFloatOverflow);
  return r;
}

double logarithm(double x) {
  if (x == 0) raise(texts::kFloatDivByZero);
  if (x < 0) raise(texts::kInvalidFloatOp);
  return std::log(x);
}

// Sine and cosine give 0 where the processor could not reduce the argument.
double trig(double (*f)(double), double x) {
  if (std::fabs(x) >= 9223372036854775808.0) return 0;
  return checkedMath(f(x), x);
}

int32_t toInt32Checked(double r) {
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) raise(texts::kInvalidFloatOp);
  return static_cast<int32_t>(r);
}

// Lower or upper bound of one dimension of an array (functions 54 and 55).
double arrayBound(Machine& m, bool upper) {
  int kind = m.u8();
  int32_t array = 0;
  if (kind == 12) {
    array = m.frames.byRef(m.frames.current(), m.u8()).index;
    kind = m.u8();
  } else {
    array = m.s16();
  }
  const int32_t requested = std::abs(roundToInt32(m.evalNumber()));
  if (kind > kFixString) return 0;
  const ArrayDescriptor& d = m.vars.descriptor(kind, array);
  const int entry = requested == 0 ? 0 : (requested - 1) % 5;
  const int64_t lower = -int64_t{d.negLower[static_cast<size_t>(entry)]};
  if (!upper) return static_cast<double>(lower);
  const int32_t here = d.multiplier[static_cast<size_t>(entry)];
  const int32_t next = entry < 4 ? d.multiplier[static_cast<size_t>(entry) + 1] : 1;
  const int64_t extent = next != 0 ? here / next : 0;  // a zero multiplier names no extent
  return static_cast<double>(lower + extent - 1);
}

void pushSlot(EvalStacks& s, uint8_t mode, const Str& text, double number) {
  if (mode != 0) s.pushString(text);
  else s.pushNumber(number);
}

}  // namespace

bool isMathFunction(uint8_t code) {
  switch (code) {
    case 24: case 25: case 26: case 27: case 28: case 29: case 30: case 31: case 32: case 71:
    case 72: case 66: case 67: case 85: case 86: case 109: case 110:
      return true;
    default:
      return false;
  }
}

double mathFunction(uint8_t code, double x) {
  switch (code) {
    case 24: return std::fabs(x);
    case 25: return trig(static_cast<double (*)(double)>(std::cos), x);
    case 26: return trig(static_cast<double (*)(double)>(std::sin), x);
    case 27: return checkedMath(std::tan(x), x);
    case 28: return std::atan(x);
    case 29: return checkedMath(std::sqrt(x), x);
    case 30: return checkedMath(std::exp(x), x);
    case 31: return logarithm(x);
    case 32: case 71: return std::trunc(x);
    case 72: return x - std::trunc(x);
    case 66: return x > 0 ? 1 : (x < 0 ? -1 : 0);
    case 67: return roundToInt32(x);
    case 85: return checkedMath(std::acos(x), x);
    case 86: return checkedMath(std::asin(x), x);
    case 109: return toInt32Checked(std::ceil(x));
    default: return toInt32Checked(std::floor(x));
  }
}

bool numericFunction(Machine& m, uint8_t code, EvalStacks& s) {
  switch (code) {
    case 24: case 25: case 26: case 27: case 28: case 29: case 30: case 31: case 32: case 71:
    case 72: case 66: case 67: case 85: case 86: case 109: case 110:
      s.pushNumber(mathFunction(code, numberArg(m)));
      return true;
    case 89: {
      const int32_t r = roundArg(m), g = roundArg(m), b = roundArg(m);
      s.pushNumber(static_cast<int32_t>(static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
                                        (static_cast<uint32_t>(b) << 16)));
      return true;
    }
    case 96: s.pushNumber(numberArg(m)); return true;
    case 88: {  // choose: both branches are evaluated
      const bool first = numberArg(m) != 0;
      double a = 0, b = 0;
      Str at, bt;
      const int ka = m.evaluate(a, at);
      const int kb = m.evaluate(b, bt);
      if (first) {
        if (ka != 0) s.pushString(std::move(at)); else s.pushNumber(a);
      } else {
        if (kb != 0) s.pushString(std::move(bt)); else s.pushNumber(b);
      }
      return true;
    }
    case 10: s.pushNumber(m.ctl.openNumberCount); return true;
    case 11: s.pushNumber(m.ctl.openStringCount); return true;
    case 12: s.pushNumber(m.ctl.openNumbers[static_cast<size_t>(roundArg(m) & 255)]); return true;
    case 13: s.pushString(m.ctl.openStrings[static_cast<size_t>(roundArg(m) & 255)]); return true;
    case 46: {  // numeric parameter of the procedure just called
      const int slot = roundArg(m);
      s.pushNumber(m.frames.number(m.frames.depth, slot));
      return true;
    }
    case 47: {
      const int slot = roundArg(m);
      s.pushString(m.frames.text(m.frames.depth, slot));
      return true;
    }
    case 51: pushSlot(s, m.results.slotMode, m.results.slotBText, m.results.slotBNumber); return true;
    case 52: pushSlot(s, m.results.slotMode, m.results.slotCText, m.results.slotCNumber); return true;
    case 54: s.pushNumber(arrayBound(m, false)); return true;
    case 55: s.pushNumber(arrayBound(m, true)); return true;
    case 92: s.pushNumber(m.vars.fixStringAt(m.s16()).length); return true;
    case 107: {  // variant type
      const int form = m.u8();
      int64_t cell = 0;
      if (form == 1) {
        cell = m.s16();
      } else if (form == 3) {
        const int32_t array = m.s16();
        cell = m.objectArrayIndex(kVariant, array);
      } else if (form == 12) {
        const int which = m.u8();
        const int32_t index = m.frames.byRef(m.frames.current(), m.u8()).index;
        cell = which == kVariant ? index : m.objectArrayIndex(kVariant, index);
      }
      const VariantCell& v = m.vars.variantAt(cell);
      s.pushNumber(v.tag == VariantCell::kInt ? 0 : (v.tag == VariantCell::kFloat ? 1 : 2));
      return true;
    }
    case 36: {  // random: byte 11 alone gives a fraction
      if (m.u8() == 11) {
        s.pushNumber(m.random.fraction());
      } else {
        const int32_t n = roundArg(m);
        s.pushNumber(m.random.below(n));
      }
      return true;
    }
    case 61: case 62: case 97: return true;  // read nothing, push nothing
    default: return false;
  }
}

}  // namespace kestrel
