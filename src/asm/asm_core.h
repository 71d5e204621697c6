#pragma once
// Shared pieces of the assembler and disassembler: the byte emitter with
// label fixups, the token parser, and the byte decoder.
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "asm/lexer.h"

namespace kestrel::kasm {

struct AsmError : std::runtime_error {
  AsmError(int line, size_t column, const std::string& what)
      : std::runtime_error(what), line(line), column(column) {}
  int line;
  size_t column;
};

// Something that assembles but is rarely what the writer meant.
struct Warning {
  int line;
  size_t column;
  std::string text;
};

// A variable named by a statement: declared by dim or redim, or used.
struct VariableUse {
  int kind;
  int64_t index;
  bool array;
  bool declares;
  int line;
  size_t column;
};

enum class FixKind { Relative, Absolute, DataRelative };

struct Fixup {
  size_t at;  // where the 4 bytes go
  std::string label;
  FixKind kind;
  int line;
  size_t column;
};

class Emitter {
 public:
  std::vector<uint8_t> bytes;
  std::vector<Fixup> fixups;
  int line = 0;
  // What the warnings look at; nothing here changes the bytes.
  std::vector<VariableUse> variables;
  std::vector<Warning> warnings;

  void useVariable(int kind, int64_t index, bool array, size_t column) {
    if (kind >= 0 && kind <= 9) variables.push_back({kind, index, array, false, line, column});
  }
  void declareVariable(int kind, int64_t index, bool array) {
    if (kind >= 0 && kind <= 9) variables.push_back({kind, index, array, true, line, 0});
  }
  void warn(size_t column, const std::string& text) { warnings.push_back({line, column, text}); }

  size_t here() const { return bytes.size(); }
  void u8(int64_t v) { bytes.push_back(static_cast<uint8_t>(v)); }
  void s16(int64_t v) { u8(v); u8(v >> 8); }
  void s32(int64_t v) { s16(v); s16(v >> 16); }
  void f32(float v) { uint32_t w; std::memcpy(&w, &v, 4); s32(w); }
  void f64(double v) { uint64_t w; std::memcpy(&w, &v, 8); s32(static_cast<int64_t>(w & 0xffffffff)); s32(static_cast<int64_t>(w >> 32)); }
  void raw(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }
  void target(const std::string& label, FixKind kind, size_t column) {
    fixups.push_back({here(), label, kind, line, column});
    s32(0);
  }
};

// A cursor over the tokens of one line.
class Parser {
 public:
  Parser(std::vector<Token> tokens, int line) : t_(std::move(tokens)), line_(line) {}

  const Token& peek(size_t ahead = 0) const {
    static const Token end;
    return i_ + ahead < t_.size() ? t_[i_ + ahead] : end;
  }
  const Token& next() {
    const Token& t = peek();
    if (i_ < t_.size()) ++i_;
    return t;
  }
  bool atEnd() const { return i_ >= t_.size(); }
  bool isPunct(const char* p, size_t ahead = 0) const {
    return peek(ahead).type == Tok::Punct && peek(ahead).text == p;
  }
  bool isWord(const char* w, size_t ahead = 0) const {
    return peek(ahead).type == Tok::Ident && peek(ahead).text == w;
  }
  bool accept(const char* p) {
    if (!isPunct(p)) return false;
    ++i_;
    return true;
  }
  bool acceptWord(const char* w) {
    if (!isWord(w)) return false;
    ++i_;
    return true;
  }
  void expect(const char* p) {
    if (!accept(p)) fail(std::string("expected '") + p + "'");
  }
  void expectWord(const char* w) {
    if (!acceptWord(w)) fail(std::string("expected '") + w + "'");
  }
  std::string ident() {
    if (peek().type != Tok::Ident) fail("expected a name");
    return next().text;
  }
  int64_t integer();        // a signed integer literal (decimal or 0x)
  size_t column() const { return peek().column; }
  int line() const { return line_; }
  [[noreturn]] void fail(const std::string& what) const {
    throw AsmError(line_, peek().column, what + (atEnd() ? " at the end of the line" : " near '" + peek().text + "'"));
  }
  size_t position() const { return i_; }
  void rewind(size_t p) { i_ = p; }

 private:
  std::vector<Token> t_;
  size_t i_ = 0;
  int line_;
};

// Reads bytes of an image for the disassembler. Reading past the end marks
// the decode as failed instead of inventing bytes.
class Decoder {
 public:
  Decoder(const std::vector<uint8_t>& bytes, int32_t begin, int32_t end) : b_(bytes), pos(begin), end(end) {}
  const std::vector<uint8_t>& b_;
  int32_t pos;
  int32_t end;
  bool ok = true;

  bool has(int n) const { return pos + n <= end; }
  uint8_t u8() {
    if (!has(1)) { ok = false; pos = end; return 0; }
    return b_[static_cast<size_t>(pos++)];
  }
  int16_t s16() { uint16_t lo = u8(); uint16_t hi = u8(); return static_cast<int16_t>(lo | hi << 8); }
  uint16_t u16() { return static_cast<uint16_t>(s16()); }
  int32_t s32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(u8()) << (8 * i);
    return static_cast<int32_t>(v);
  }
  float f32() { uint32_t w = static_cast<uint32_t>(s32()); float f; std::memcpy(&f, &w, 4); return f; }
  double f64() {
    uint64_t lo = static_cast<uint32_t>(s32()), hi = static_cast<uint32_t>(s32());
    uint64_t w = lo | hi << 32;
    double d;
    std::memcpy(&d, &w, 8);
    return d;
  }
  uint8_t peek() const { return pos < end ? b_[static_cast<size_t>(pos)] : 0; }
};

// Label names the disassembler makes up carry their position, so a single
// statement can be assembled again to check it. Targets outside the code
// (or, for data labels, outside the data block) are written as raw numbers.
struct LabelNames {
  std::map<int32_t, char> kinds;  // position -> 'L' (jump), 'P' (procedure), 'D' (data)
  // Every name given out: a position jumped to and called has two.
  std::set<std::pair<int32_t, char>> used;
  int32_t dataStart = 0;
  int32_t codeStart = 0;
  int32_t end = 0;
  bool inCode(int64_t p) const { return p >= codeStart && p <= end; }
  std::string jump(int32_t fieldEnd, int32_t offset) {
    const int64_t target = int64_t{fieldEnd} + offset;
    if (!inCode(target)) return "%" + std::to_string(offset);
    kinds.emplace(static_cast<int32_t>(target), 'L');
    used.emplace(static_cast<int32_t>(target), 'L');
    return "L" + std::to_string(target);
  }
  std::string proc(int32_t position) {
    if (!inCode(position)) return "%" + std::to_string(position);
    kinds[position] = 'P';
    used.emplace(position, 'P');
    return "P" + std::to_string(position);
  }
  std::string data(int32_t offset) {
    const int64_t target = int64_t{dataStart} + offset;
    if (target < dataStart || target >= codeStart) return "%" + std::to_string(offset);
    kinds.emplace(static_cast<int32_t>(target), 'D');
    used.emplace(static_cast<int32_t>(target), 'D');
    return "D" + std::to_string(target);
  }
};

// Resolves a made-up label name back to its position (-1 if it is not one).
int64_t positionOfMadeUpLabel(const std::string& name);

}  // namespace kestrel::kasm
