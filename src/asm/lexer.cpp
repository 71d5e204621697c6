#include "asm/lexer.h"

#include <cctype>
#include <cstdio>

namespace kestrel::kasm {

namespace {
bool identStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }
bool identChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::vector<Token> tokenize(const std::string& line, std::string& error) {
  std::vector<Token> out;
  size_t i = 0;
  const size_t n = line.size();
  while (i < n) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && line[i + 1] == '/') break;  // comment
    Token t;
    t.column = i + 1;
    if (identStart(c)) {
      size_t j = i;
      while (j < n && identChar(line[j])) ++j;
      t.type = Tok::Ident;
      t.text = line.substr(i, j - i);
      i = j;
    } else if (std::isdigit(static_cast<unsigned char>(c)) ||
               (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(line[i + 1])))) {
      size_t j = i;
      if (c == '0' && j + 1 < n && (line[j + 1] == 'x' || line[j + 1] == 'X')) {
        j += 2;
        while (j < n && hexValue(line[j]) >= 0) ++j;
      } else {
        // A point followed by a name is a member access (obj:0.Size), not a fraction.
        while (j < n && (std::isdigit(static_cast<unsigned char>(line[j])) ||
                         (line[j] == '.' && !(j + 1 < n && identStart(line[j + 1])))))
          ++j;
        if (j < n && (line[j] == 'e' || line[j] == 'E')) {
          size_t k = j + 1;
          if (k < n && (line[k] == '+' || line[k] == '-')) ++k;
          if (k < n && std::isdigit(static_cast<unsigned char>(line[k]))) {
            j = k;
            while (j < n && std::isdigit(static_cast<unsigned char>(line[j]))) ++j;
          }
        }
      }
      t.type = Tok::Number;
      t.text = line.substr(i, j - i);
      i = j;
    } else if (c == '"') {
      size_t j = i + 1;
      std::string bytes;
      bool closed = false;
      while (j < n) {
        char d = line[j];
        if (d == '"') {
          closed = true;
          ++j;
          break;
        }
        if (d == '\\' && j + 1 < n) {
          char e = line[j + 1];
          j += 2;
          switch (e) {
            case 'n': bytes += '\n'; break;
            case 'r': bytes += '\r'; break;
            case 't': bytes += '\t'; break;
            case '0': bytes += '\0'; break;
            case 'x': {
              int hi = j < n ? hexValue(line[j]) : -1;
              int lo = j + 1 < n ? hexValue(line[j + 1]) : -1;
              if (hi < 0 || lo < 0) {
                error = "bad \\x escape in string";
                return out;
              }
              bytes += static_cast<char>(hi * 16 + lo);
              j += 2;
              break;
            }
            default: bytes += e; break;
          }
          continue;
        }
        bytes += d;
        ++j;
      }
      if (!closed) {
        error = "unterminated string";
        return out;
      }
      t.type = Tok::String;
      t.text = bytes;
      i = j;
    } else {
      t.type = Tok::Punct;
      const std::string two = line.substr(i, 2);
      if (two == "<=" || two == ">=" || two == "<>") {
        t.text = two;
        i += 2;
      } else if (std::string("()[],=+-*/\\^<>:.@#;{}%!&").find(c) != std::string::npos) {
        t.text = std::string(1, c);
        ++i;
      } else {
        error = std::string("unexpected character '") + c + "'";
        return out;
      }
    }
    t.end = i + 1;
    out.push_back(std::move(t));
  }
  return out;
}

std::string quote(const std::string& bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c >= 32 && c < 127) {
          out += static_cast<char>(c);
        } else {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02x", c);
          out += buf;
        }
    }
  }
  return out + "\"";
}

}  // namespace kestrel::kasm
