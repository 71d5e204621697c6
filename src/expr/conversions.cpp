#include "expr/conversions.h"

#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kestrel {

void raiseInvalidFloatOp() { raise(texts::kInvalidFloatOp); }

float toSingle(double v) {
  if (std::isfinite(v) && std::fabs(v) > static_cast<double>(FLT_MAX)) {
    // Values that round to FLT_MAX are still representable.
    float f = static_cast<float>(v);
    if (std::isinf(f)) raise(texts::kFloatOverflow);
    return f;
  }
  return static_cast<float>(v);
}

void raiseFloatFault(double r, double a, double b, bool isDivision) {
  if (isDivision && b == 0) raise(a == 0 || std::isnan(a) ? texts::kInvalidFloatOp : texts::kFloatDivByZero);
  raise(std::isnan(r) ? texts::kInvalidFloatOp : texts::kFloatOverflow);
}

namespace {
std::string specialText(double v) {
  if (std::isnan(v)) return "NAN";
  return v < 0 ? "-INF" : "INF";
}
}  // namespace

DecimalDigits decimalDigits(double v, int precision) {
  // Enough digits to see the exact binary value's expansion past any tie.
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.60e", v);
  DecimalDigits d;
  const char* p = buf;
  if (*p == '-') {
    d.negative = true;
    ++p;
  }
  std::string all;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') all += *p;
  d.exponent = std::atoi(p + 1);
  const size_t keep = static_cast<size_t>(precision);
  bool up = all.size() > keep && all[keep] >= '5';
  d.digits = all.substr(0, keep);
  if (up) {
    int i = static_cast<int>(keep) - 1;
    for (; i >= 0 && d.digits[static_cast<size_t>(i)] == '9'; --i) d.digits[static_cast<size_t>(i)] = '0';
    if (i >= 0) {
      ++d.digits[static_cast<size_t>(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      d.digits.pop_back();
      ++d.exponent;
    }
  }
  return d;
}

std::string formatGeneral(double v, int precision, int minExponentDigits, char separator) {
  if (!std::isfinite(v)) return specialText(v);
  if (v == 0) return "0";
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  DecimalDigits d = decimalDigits(v, precision);
  const bool negative = d.negative;
  std::string digits = d.digits;
  const int exponent = d.exponent;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent >= precision || exponent < -5) {
    out += digits[0];
    if (digits.size() > 1) {
      out += separator;
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    if (exponent < 0) out += '-';
    std::string e = std::to_string(std::abs(exponent));
    if (static_cast<int>(e.size()) < minExponentDigits) e.insert(0, minExponentDigits - e.size(), '0');
    out += e;
  } else if (exponent < 0) {
    out += '0';
    out += separator;
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out += digits;
  } else {
    size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out += digits;
      out.append(whole - digits.size(), '0');
    } else {
      out.append(digits, 0, whole);
      out += separator;
      out.append(digits, whole, std::string::npos);
    }
  }
  return out;
}

std::string formatFixed(double v, int width, int decimals, char separator) {
  if (!std::isfinite(v)) {
    std::string s = specialText(v);
    if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), ' ');
    return s;
  }
  int n = std::snprintf(nullptr, 0, "%*.*f", width, decimals, v);
  std::string s(static_cast<size_t>(n), '\0');
  std::snprintf(s.data(), s.size() + 1, "%*.*f", width, decimals, v);
  if (separator != '.')
    for (char& c : s)
      if (c == '.') c = separator;
  return s;
}

std::string formatInteger(int64_t v) { return std::to_string(v); }

namespace {
[[noreturn]] void raiseNotAFloat(std::string_view text) {
  raise("'" + std::string(text) + "' is not a valid floating point value");
}
}  // namespace

double parseStrict(std::string_view text, char separator) {
  size_t i = 0, n = text.size();
  auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
  while (i < n && isSpace(text[i])) ++i;
  size_t end = n;
  while (end > i && isSpace(text[end - 1])) --end;
  std::string candidate;
  size_t j = i;
  if (j < end && (text[j] == '+' || text[j] == '-')) candidate += text[j++];
  bool digits = false;
  while (j < end && text[j] >= '0' && text[j] <= '9') { candidate += text[j++]; digits = true; }
  if (j < end && text[j] == separator) {
    candidate += '.';
    ++j;
    while (j < end && text[j] >= '0' && text[j] <= '9') { candidate += text[j++]; digits = true; }
  }
  if (!digits) raiseNotAFloat(text);
  if (j < end && (text[j] == 'e' || text[j] == 'E')) {
    candidate += 'e';
    ++j;
    if (j < end && (text[j] == '+' || text[j] == '-')) candidate += text[j++];
    bool expDigits = false;
    while (j < end && text[j] >= '0' && text[j] <= '9') { candidate += text[j++]; expDigits = true; }
    if (!expDigits) raiseNotAFloat(text);
  }
  if (j != end) raiseNotAFloat(text);
  double v = std::strtod(candidate.c_str(), nullptr);
  if (std::isinf(v)) raise(texts::kFloatOverflow);
  return v;
}

double parseLenient(std::string_view text, char separator) {
  std::string candidate;
  bool signOpen = true, separatorTaken = false, exponentTaken = false;
  for (char c : text) {
    if (c == ' ') continue;
    if (c == separator) {
      if (separatorTaken || exponentTaken) break;
      separatorTaken = true;
      signOpen = false;
      candidate += c;
    } else if (c == '+' || c == '-') {
      if (!signOpen) break;
      signOpen = false;
      candidate += c;
    } else if (c >= '0' && c <= '9') {
      signOpen = false;
      candidate += c;
    } else if ((c == 'e' || c == 'E') && !exponentTaken && !candidate.empty()) {
      exponentTaken = true;
      signOpen = true;
      candidate += c;
    } else {
      break;
    }
  }
  if (candidate.empty()) return 0;
  return parseStrict(candidate, separator);
}

}  // namespace kestrel
