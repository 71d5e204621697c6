#include "asm/external_forms.h"

#include "asm/expressions.h"
#include "asm/operands.h"

namespace kestrel::kasm {

namespace {

constexpr int kFirstObjectKind = 30;
constexpr int kMaxDirectCount = 200;

// A result or argument kind: a kind name or #N.
int compileKind(Parser& p) {
  if (p.accept("#")) {
    const int64_t v = p.integer();
    if (v < 0 || v > 255) p.fail("a kind from 0 to 255");
    return static_cast<int>(v);
  }
  const int kind = kindByName(p.ident());
  if (kind < 0) p.fail("expected a kind (str, byte, short, int, word, long, single, double, fix, var or #N)");
  return kind;
}

std::string kindText(int kind) { return kind <= 9 ? kindName(kind) : "#" + std::to_string(kind); }

void compileName(Parser& p, Emitter& e) {
  if (p.peek().type != Tok::String) p.fail("expected a quoted name");
  const std::string name = p.next().text;
  if (name.size() > 32767) p.fail("name longer than 32767 bytes");
  e.s16(static_cast<int64_t>(name.size()));
  e.raw(name);
}

bool decodeName(Decoder& d, std::string& out) {
  const int length = d.s16();
  if (length < 0 || !d.has(length)) return false;
  std::string bytes;
  for (int i = 0; i < length; ++i) bytes += static_cast<char>(d.u8());
  out = quote(bytes);
  return d.ok;
}

void compileArgument(Parser& p, Emitter& e) {
  if (p.peek().type == Tok::Ident && kindByName(p.peek().text) < 0) {
    const int type = parseTypeName(p, p.ident());
    if (type < kFirstObjectKind) p.fail("object kinds start at 30");
    e.u8(type);
    if (p.accept("^")) {
      e.s16(-1);
      e.u8(p.integer());
    } else {
      e.s16(p.integer());
    }
    return;
  }
  const int kind = compileKind(p);
  if (kind >= kFirstObjectKind) p.fail("an object kind is written as its type name");
  e.u8(kind);
  compileExpression(p, e);
}

bool decodeArgument(Decoder& d, LabelNames& names, std::string& out) {
  const int kind = d.u8();
  if (kind >= kFirstObjectKind) {
    const int index = d.s16();
    out = objectTypeText(kind) + " " + (index == -1 ? "^" + std::to_string(d.u8()) : std::to_string(index));
    return d.ok;
  }
  std::string x;
  if (!decompileExpression(d, names, x)) return false;
  out = kindText(kind) + " " + x;
  return true;
}

// Names, the count byte, the optional result kind, then the arguments.
void compileCall(Parser& p, Emitter& e, int resultKind) {
  compileName(p, e);
  compileName(p, e);
  const bool second = p.isPunct("[");
  p.expect(second ? "[" : "(");
  const char* close = second ? "]" : ")";
  const size_t countAt = e.here();
  e.u8(0);
  if (resultKind >= 0) e.u8(resultKind);
  int count = 0;
  if (!p.accept(close)) {
    do {
      compileArgument(p, e);
      ++count;
    } while (p.accept(","));
    p.expect(close);
  }
  if (second ? count > 255 - (kMaxDirectCount + 1) : count > kMaxDirectCount)
    p.fail("too many arguments for this form of the count");
  e.bytes[countAt] = static_cast<uint8_t>(second ? 255 - count : count);
}

bool decodeCall(Decoder& d, LabelNames& names, bool hasResult, int* resultKind, std::string& out) {
  std::string library, function;
  if (!decodeName(d, library) || !decodeName(d, function)) return false;
  const int countByte = d.u8();
  if (hasResult) *resultKind = d.u8();
  const bool second = countByte > kMaxDirectCount;
  const int count = second ? 255 - countByte : countByte;
  std::string args;
  for (int k = 0; k < count; ++k) {
    std::string a;
    if (!decodeArgument(d, names, a)) return false;
    args += (k ? ", " : "") + a;
  }
  out = library + " " + function + (second ? "[" : "(") + args + (second ? "]" : ")");
  return d.ok;
}

}  // namespace

void compileExternStatement(Parser& p, Emitter& e, bool release) {
  e.u8(0);
  e.u8(release ? 19 : 20);
  compileCall(p, e, release ? -1 : compileKind(p));
}

bool decodeExternStatement(Decoder& d, LabelNames& names, bool release, std::string& out) {
  int resultKind = 0;
  std::string call;
  if (!decodeCall(d, names, !release, &resultKind, call)) return false;
  out = release ? "externfree " + call : "extern " + kindText(resultKind) + " " + call;
  return true;
}

void compileExternItem(Parser& p, Emitter& e) {
  const int kind = compileKind(p);
  if (kind == 1 || kind > 7) p.fail("an external call item has a result kind from str to double, not byte");
  const int recordKind = p.accept("/") ? compileKind(p) : kind;
  e.u8(17);
  e.u8(kind);
  compileCall(p, e, recordKind);
}

bool decodeExternItem(Decoder& d, LabelNames& names, std::string& out) {
  const int kind = d.u8();
  if (kind == 1 || kind > 7) return false;  // such an item reads nothing more: no written form
  int recordKind = 0;
  std::string call;
  if (!decodeCall(d, names, true, &recordKind, call)) return false;
  out = "@extern " + kindText(kind) + (recordKind == kind ? "" : "/" + kindText(recordKind)) + " " + call;
  return true;
}

}  // namespace kestrel::kasm
