#include "expr/format_text.h"

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "expr/conversions.h"
#include "expr/number_format.h"

namespace kestrel {

namespace {

class Formatter {
 public:
  Formatter(std::string_view format, const std::vector<FormatArgument>& args, char separator)
      : format_(format), args_(args), separator_(separator) {}

  std::string run() {
    std::string out;
    size_t i = 0;
    while (i < format_.size()) {
      const char c = format_[i++];
      if (c != '%') {
        out += c;
        continue;
      }
      if (i < format_.size() && format_[i] == '%') {
        out += '%';
        ++i;
        continue;
      }
      out += specifier(i);
    }
    return out;
  }

 private:
  [[noreturn]] void fail() const {
    raise("Format '" + std::string(format_) + "' invalid or incompatible with argument");
  }

  const FormatArgument& nextArgument() {
    if (next_ >= args_.size()) fail();
    return args_[next_++];
  }

  double nextNumber() {
    const FormatArgument& a = nextArgument();
    if (a.isText) fail();
    return a.number;
  }

  // A number written in the specifier, or "*" for the next argument; -1 when
  // there is none.
  int count(size_t& i) {
    if (i < format_.size() && format_[i] == '*') {
      ++i;
      return truncToInt32(nextNumber());
    }
    if (i >= format_.size() || !std::isdigit(static_cast<unsigned char>(format_[i]))) return -1;
    int64_t n = 0;
    while (i < format_.size() && std::isdigit(static_cast<unsigned char>(format_[i]))) {
      n = n * 10 + (format_[i++] - '0');
      if (n > 1000000) fail();
    }
    return static_cast<int>(n);
  }

  std::string specifier(size_t& i) {
    // An index: digits or "*" followed by a colon.
    size_t end = i;
    if (end < format_.size() && format_[end] == '*') ++end;
    else while (end < format_.size() && std::isdigit(static_cast<unsigned char>(format_[end]))) ++end;
    if (end > i && end < format_.size() && format_[end] == ':') {
      next_ = static_cast<size_t>(std::max(0, count(i)));
      ++i;
    }
    bool left = false;
    if (i < format_.size() && format_[i] == '-') {
      left = true;
      ++i;
    }
    const int width = count(i);
    int precision = -1;
    if (i < format_.size() && format_[i] == '.') {
      ++i;
      precision = count(i);
      if (precision < 0) precision = 0;
    }
    if (i >= format_.size()) fail();
    const char type = static_cast<char>(std::tolower(static_cast<unsigned char>(format_[i++])));
    std::string text = convert(type, precision);
    if (width > 0 && static_cast<int>(text.size()) < width) {
      if (left) text.append(static_cast<size_t>(width) - text.size(), ' ');
      else text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
    }
    return text;
  }

  std::string convert(char type, int precision) {
    switch (type) {
      case 'd': case 'u': case 'x': {
        const int32_t v = truncToInt32(nextNumber());
        char buf[32];
        if (type == 'd') std::snprintf(buf, sizeof buf, "%" PRIu64, static_cast<uint64_t>(std::llabs(v)));
        else if (type == 'u') std::snprintf(buf, sizeof buf, "%" PRIu32, static_cast<uint32_t>(v));
        else std::snprintf(buf, sizeof buf, "%" PRIX32, static_cast<uint32_t>(v));
        std::string digits = buf;
        if (precision > static_cast<int>(digits.size())) digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
        return type == 'd' && v < 0 ? "-" + digits : digits;
      }
      case 'p': {
        const double v = std::trunc(nextNumber());
        char buf[32];
        std::snprintf(buf, sizeof buf, "%08" PRIX64, v < 0 ? static_cast<uint64_t>(static_cast<uint32_t>(static_cast<int32_t>(v)))
                                                        : static_cast<uint64_t>(v));
        return buf;
      }
      case 'e': return formatNumber(nextNumber(), kFormatScientific, precision < 0 ? 15 : precision, 3, separator_);
      case 'f': return formatNumber(nextNumber(), kFormatFixed, 18, precision < 0 ? 2 : precision, separator_);
      case 'n': return formatNumber(nextNumber(), kFormatThousands, 18, precision < 0 ? 2 : precision, separator_);
      case 'm': return formatNumber(nextNumber(), kFormatCurrency, 18, precision < 0 ? 2 : precision, separator_);
      case 'g': return formatGeneral(nextNumber(), precision < 0 ? 15 : precision, 0, separator_);
      case 's': {
        const FormatArgument& a = nextArgument();
        if (!a.isText) fail();
        if (precision >= 0 && static_cast<size_t>(precision) < a.text.size()) return a.text.substr(0, static_cast<size_t>(precision));
        return a.text;
      }
      default: fail();
    }
  }

  std::string_view format_;
  const std::vector<FormatArgument>& args_;
  char separator_;
  size_t next_ = 0;
};

}  // namespace

std::string formatText(std::string_view format, const std::vector<FormatArgument>& args, char decimalSeparator) {
  return Formatter(format, args, decimalSeparator).run();
}

}  // namespace kestrel
