// Built-in functions that build or take apart strings.
#include <algorithm>
#include <string>

#include "expr/builtin_functions.h"
#include "expr/conversions.h"
#include "expr/number_format.h"

namespace kestrel {

namespace {

// Sub-string with copy clamping: start below 1 counts as 1; past the end or
// a count of 0 or less gives the empty string.
std::string_view copyPart(std::string_view text, int64_t start, int64_t count) {
  if (start < 1) start = 1;
  if (count <= 0 || start > static_cast<int64_t>(text.size())) return {};
  return text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count));
}

std::string deletePart(std::string text, int64_t start, int64_t count) {
  if (start < 1 || start > static_cast<int64_t>(text.size()) || count <= 0) return text;
  text.erase(static_cast<size_t>(start - 1), static_cast<size_t>(count));
  return text;
}

std::string insertPart(std::string_view piece, std::string text, int64_t position) {
  if (position < 1) position = 1;
  if (position > static_cast<int64_t>(text.size()) + 1) position = static_cast<int64_t>(text.size()) + 1;
  text.insert(static_cast<size_t>(position - 1), piece);
  return text;
}

size_t countOccurrences(std::string_view text, std::string_view pattern) {
  if (pattern.empty()) return 0;
  size_t n = 0;
  for (size_t at = text.find(pattern); at != std::string_view::npos; at = text.find(pattern, at + pattern.size()))
    ++n;
  return n;
}

std::string replaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
  if (find.empty()) return std::string(text);
  std::string out;
  size_t from = 0;
  for (size_t at = text.find(find); at != std::string_view::npos; at = text.find(find, from)) {
    out.append(text.substr(from, at - from));
    out.append(replacement);
    from = at + find.size();
  }
  out.append(text.substr(from));
  return out;
}

std::string_view field(std::string_view text, std::string_view delimiter, int32_t n) {
  if (n <= 0) return {};
  if (delimiter.empty()) return n == 1 ? text : std::string_view{};
  size_t from = 0;
  for (int32_t i = 1;; ++i) {
    size_t at = text.find(delimiter, from);
    if (i == n) return at == std::string_view::npos ? text.substr(from) : text.substr(from, at - from);
    if (at == std::string_view::npos) return {};
    from = at + delimiter.size();
  }
}

int digitValue(char c) { return static_cast<unsigned char>(c) < ':' ? c - 48 : c - 55; }

std::string convertBase(std::string_view digits, int32_t from, int32_t to) {
  if (to < 2) return {};
  long double value = 0;
  for (size_t i = 0; i < digits.size(); ++i) {
    const int d = digitValue(digits[digits.size() - 1 - i]);
    const long double term = std::nearbyint(static_cast<long double>(d) * std::pow(static_cast<long double>(from), i));
    value += term;
  }
  if (!(value >= -9.2e18L && value <= 9.2e18L)) raise(texts::kInvalidFloatOp);
  int64_t v = static_cast<int64_t>(value);
  std::string out;
  while (v > 0) {
    const int d = static_cast<int>(v % to);
    out.insert(out.begin(), static_cast<char>(d < 10 ? '0' + d : 'A' + d - 10));
    v /= to;
  }
  return out;
}

void replaceTop(EvalStacks& s, std::string_view result) {
  s.str[s.ns - 1].assign(result);
  s.kind = 1;
}

void popStringPushNumber(EvalStacks& s, double v) {
  --s.ns;
  s.pushNumber(v);
}

}  // namespace

bool stringFunction(Machine& m, uint8_t code, EvalStacks& s) {
  switch (code) {
    case 0: {  // value of text
      Str& text = stringArgSlot(m, s);
      popStringPushNumber(s, parseLenient(text, m.decimalSeparator));
      return true;
    }
    case 1: s.pushString(formatGeneral(numberArg(m), 9, 4, m.decimalSeparator)); return true;
    case 2: case 3: {  // left part, right part
      Str& text = stringArgSlot(m, s);
      const int64_t count = std::clamp<int64_t>(roundArg(m), 0, static_cast<int64_t>(text.size()));
      const std::string_view v = text.view();
      replaceTop(s, code == 2 ? v.substr(0, static_cast<size_t>(count)) : v.substr(v.size() - static_cast<size_t>(count)));
      return true;
    }
    case 4: {  // middle part
      Str& text = stringArgSlot(m, s);
      const int32_t start = roundArg(m);
      const int32_t count = roundArg(m);
      replaceTop(s, copyPart(text.view(), start, count));
      return true;
    }
    case 5: s.pushString(Str(1, static_cast<char>(roundArg(m) & 0xFF))); return true;
    case 6: {  // code of first character
      Str& text = stringArgSlot(m, s);
      popStringPushNumber(s, text.empty() ? 0 : static_cast<unsigned char>(text[0]));
      return true;
    }
    case 14: {
      Str& text = stringArgSlot(m, s);
      popStringPushNumber(s, static_cast<double>(text.size()));
      return true;
    }
    case 15: case 16: {  // upper and lower case, ASCII letters only
      Str& text = stringArgSlot(m, s);
      std::string t = text.str();
      for (char& c : t) {
        if (code == 15 && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (code == 16 && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      }
      replaceTop(s, t);
      return true;
    }
    case 17: case 18: {  // trim leading, trailing spaces (code 32 only)
      Str& text = stringArgSlot(m, s);
      std::string_view v = text.view();
      if (code == 17) v.remove_prefix(std::min(v.find_first_not_of(' '), v.size()));
      else v = v.substr(0, v.find_last_not_of(' ') + 1);
      replaceTop(s, std::string(v));
      return true;
    }
    case 19: case 103: {  // position of substring, from the left or the right
      double n1 = 0, n3 = 0;
      Str a, b, c;
      m.evaluate(n1, a);
      m.evaluate(m.numReg, b);
      const bool withStart = m.evaluate(n3, c) != 0;
      std::string_view text = withStart ? b.view() : a.view();
      std::string_view pattern = withStart ? c.view() : b.view();
      int64_t start = 1;
      if (withStart) start = std::max<int64_t>(roundToInt32(n1), 1);
      int64_t result = 0;
      if (code == 19) {
        if (!pattern.empty() && start <= static_cast<int64_t>(text.size())) {
          const size_t at = text.find(pattern, static_cast<size_t>(start - 1));
          if (at != std::string_view::npos) result = static_cast<int64_t>(at) + 1;
        }
      } else {
        std::string_view searched = withStart ? text.substr(0, static_cast<size_t>(start)) : text;
        if (!pattern.empty() && pattern.size() <= searched.size()) {
          const size_t at = searched.rfind(pattern);
          if (at != std::string_view::npos) result = static_cast<int64_t>(at) + 1;
        }
      }
      s.pushNumber(static_cast<double>(result));
      return true;
    }
    case 33: {  // repeated character
      const int32_t count = roundArg(m);
      Str piece;
      double v = 0;
      const bool isText = m.evaluate(v, piece) != 0;
      char ch = isText ? (piece.empty() ? '\0' : piece[0]) : static_cast<char>(roundToInt32(v) & 0xFF);
      if (count < 1 || (isText && piece.empty())) {
        s.pushString(Str());
      } else {
        if (static_cast<size_t>(count) > m.options.maxStringLength) raise(texts::kOutOfMemory);
        s.pushString(Str(static_cast<size_t>(count), ch));
      }
      return true;
    }
    case 34: {
      const int32_t count = truncArg(m);
      if (count > 0 && static_cast<size_t>(count) > m.options.maxStringLength) raise(texts::kOutOfMemory);
      s.pushString(count > 0 ? Str(static_cast<size_t>(count), ' ') : Str());
      return true;
    }
    case 42: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%08X", static_cast<uint32_t>(roundArg(m)));
      s.pushString(std::string_view(buf));
      return true;
    }
    case 63: {  // delete part
      Str& text = stringArgSlot(m, s);
      const int32_t start = roundArg(m);
      const int32_t count = roundArg(m);
      replaceTop(s, deletePart(text.str(), start, count));
      return true;
    }
    case 64: {  // insert text
      Str& piece = stringArgSlot(m, s);
      const Str text = stringArg(m);
      const int32_t position = roundArg(m);
      replaceTop(s, insertPart(piece.view(), text.str(), position));
      return true;
    }
    case 65: {  // overwrite text
      Str& text = stringArgSlot(m, s);
      const Str piece = stringArg(m);
      const int32_t position = roundArg(m);
      std::string t = deletePart(text.str(), position, static_cast<int64_t>(piece.size()));
      replaceTop(s, insertPart(piece.view(), std::move(t), position));
      return true;
    }
    case 73: s.pushString(convertBase(std::to_string(roundArg(m)), 10, 2)); return true;
    case 74: {
      Str& digits = stringArgSlot(m, s);
      const int32_t from = roundArg(m);
      const int32_t to = roundArg(m);
      replaceTop(s, convertBase(digits.view(), from, to));
      return true;
    }
    case 95: {
      Str& text = stringArgSlot(m, s);
      const Str delimiter = stringArg(m);
      const int32_t n = roundArg(m);
      replaceTop(s, std::string(field(text.view(), delimiter.view(), n)));
      return true;
    }
    case 98: {
      Str& text = stringArgSlot(m, s);
      const Str pattern = stringArg(m);
      popStringPushNumber(s, static_cast<double>(countOccurrences(text.view(), pattern.view())));
      return true;
    }
    case 100: {
      Str& text = stringArgSlot(m, s);
      const Str find = stringArg(m);
      const Str replacement = stringArg(m);
      const std::string result = replaceAll(text.view(), find.view(), replacement.view());
      if (result.size() > m.options.maxStringLength) raise(texts::kOutOfMemory);
      replaceTop(s, result);
      return true;
    }
    case 101: {
      const double value = numberArg(m);
      const int32_t format = truncArg(m);
      const int32_t precision = truncArg(m);
      const int32_t digits = truncArg(m);
      s.pushString(formatNumber(value, format, precision, digits, m.decimalSeparator));
      return true;
    }
    case 102: {
      Str& text = stringArgSlot(m, s);
      std::string t = text.str();
      std::reverse(t.begin(), t.end());
      replaceTop(s, t);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace kestrel
