#include "ole/bus_text.h"

#include <cstdint>

namespace kestrel::ole {

namespace {

// The length of the UTF-8 sequence at `i`, or 0 when it is not one (bad
// lead or follow bytes, overlong forms, surrogates, beyond U+10FFFF).
size_t sequenceAt(std::string_view s, size_t i, uint32_t& code) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  const uint8_t b0 = byte(i);
  if (b0 < 0x80) {
    code = b0;
    return 1;
  }
  size_t length = 0;
  uint32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) length = 2, code = b0 & 0x1F, min = 0x80;
  else if ((b0 & 0xF0) == 0xE0) length = 3, code = b0 & 0x0F, min = 0x800;
  else if ((b0 & 0xF8) == 0xF0) length = 4, code = b0 & 0x07, min = 0x10000;
  else return 0;
  if (i + length > s.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i + k) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

bool validUtf8(std::string_view s) {
  uint32_t code = 0;
  for (size_t i = 0; i < s.size();) {
    const size_t n = sequenceAt(s, i, code);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace

std::string programToUtf8(std::string_view text) {
  if (validUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  for (const char c : text) {
    const auto b = static_cast<uint8_t>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | b >> 6);
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

std::string utf8ToProgram(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  uint32_t code = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t n = sequenceAt(text, i, code);
    if (n == 0 || code > 0xFF) return std::string(text);
    out += static_cast<char>(code);
    i += n;
  }
  return out;
}

}  // namespace kestrel::ole
