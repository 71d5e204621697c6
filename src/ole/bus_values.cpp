#include "ole/bus_values.h"

#include <cmath>
#include <cstdlib>

#include "expr/conversions.h"
#include "ole/bus_text.h"
#include "ole/ole_errors.h"

namespace kestrel::ole {

namespace {

[[noreturn]] void mismatch() { raise(kTypeMismatch); }

bool asciiEqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The number a value stands for: itself, or a string that is one whole
// number (spaces around it allowed).
double numberOf(const ProgramValue& v) {
  if (v.kind == ProgramValue::Number) return v.number;
  if (v.kind == ProgramValue::Object) mismatch();
  const std::string& s = v.text;
  size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) mismatch();
  const char* start = s.c_str() + first;
  char* end = nullptr;
  const double d = std::strtod(start, &end);
  if (end == start) mismatch();
  for (; *end != 0; ++end)
    if (*end != ' ' && *end != '\t') mismatch();
  return d;
}

// Rounded to nearest (ties to even) and checked against the type's range.
double wholeNumber(const ProgramValue& v, double min, double maxExclusive) {
  const double d = numberOf(v);
  if (!std::isfinite(d)) mismatch();
  const double r = std::nearbyint(d);
  if (r < min || r >= maxExclusive) mismatch();
  return r;
}

bool containerType(char c) { return c == 'a' || c == '(' || c == '{'; }

bus::Value basic(std::string_view signature) {
  bus::Value out;
  out.signature = std::string(signature);
  return out;
}

}  // namespace

bool validObjectPath(std::string_view path) {
  if (path.empty() || path[0] != '/') return false;
  if (path.size() == 1) return true;
  if (path.back() == '/') return false;
  bool elementStart = true;
  for (size_t i = 1; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '/') {
      if (elementStart) return false;
      elementStart = true;
      continue;
    }
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
    elementStart = false;
  }
  return true;
}

bus::Value toBus(const ProgramValue& value, std::string_view signature) {
  if (signature.empty()) mismatch();
  bus::Value out = basic(signature);
  if (containerType(signature[0])) {
    // Only an empty container can be written as a single value.
    const bool empty = value.kind == ProgramValue::Text ? value.text.empty()
                       : value.kind == ProgramValue::Number ? value.number == 0
                                                            : false;
    if (!empty) mismatch();
    return out;
  }
  if (signature.size() != 1) mismatch();
  switch (signature[0]) {
    case 'y': out.integer = static_cast<int64_t>(wholeNumber(value, 0, 256)); break;
    case 'n': out.integer = static_cast<int64_t>(wholeNumber(value, -32768, 32768)); break;
    case 'q': out.integer = static_cast<int64_t>(wholeNumber(value, 0, 65536)); break;
    case 'i': out.integer = static_cast<int64_t>(wholeNumber(value, -2147483648.0, 2147483648.0)); break;
    case 'u': out.integer = static_cast<int64_t>(wholeNumber(value, 0, 4294967296.0)); break;
    case 'x': out.integer = static_cast<int64_t>(wholeNumber(value, -9223372036854775808.0, 9223372036854775808.0)); break;
    case 't': out.unsigned64 = static_cast<uint64_t>(wholeNumber(value, 0, 18446744073709551616.0)); break;
    case 'd': {
      out.real = numberOf(value);
      break;
    }
    case 'b':
      if (value.kind == ProgramValue::Text && asciiEqualNoCase(value.text, "true")) out.integer = 1;
      else if (value.kind == ProgramValue::Text && asciiEqualNoCase(value.text, "false")) out.integer = 0;
      else out.integer = numberOf(value) != 0 ? 1 : 0;
      break;
    case 's':
    case 'g':
      if (value.kind == ProgramValue::Object) mismatch();
      out.text = value.kind == ProgramValue::Text ? programToUtf8(value.text) : formatGeneral(value.number);
      break;
    case 'o':
      if (value.kind == ProgramValue::Number || !validObjectPath(value.text)) mismatch();
      out.text = value.text;
      break;
    case 'v': {
      // A variant takes the value's own type.
      const char* inner = "s";
      if (value.kind == ProgramValue::Object) inner = "o";
      else if (value.kind == ProgramValue::Number)
        inner = value.number == std::trunc(value.number) && value.number >= -2147483648.0 &&
                        value.number <= 2147483647.0
                    ? "i"
                    : "d";
      out.items.push_back(toBus(value, inner));
      break;
    }
    default: mismatch();
  }
  return out;
}

ResultValue fromBus(const bus::Value& value) {
  ResultValue r;
  if (value.signature.size() != 1) return r;
  switch (value.signature[0]) {
    case 'y': case 'n': case 'q': case 'i': case 'u': case 'x':
      r.number = static_cast<double>(value.integer);
      break;
    case 't': r.number = static_cast<double>(value.unsigned64); break;
    case 'd': r.number = value.real; break;
    case 'b': r.number = value.integer != 0 ? -1 : 0; break;
    case 's':
    case 'g':
      r.isText = true;
      r.text = utf8ToProgram(value.text);
      break;
    case 'v':
      if (!value.items.empty()) return fromBus(value.items.front());
      break;
    default: break;
  }
  return r;
}

}  // namespace kestrel::ole
