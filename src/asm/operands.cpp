#include "asm/operands.h"

#include <cstdlib>

#include "asm/expressions.h"
#include "asm/structure_syntax.h"
#include "objects/member_info.h"

namespace kestrel::kasm {

namespace {
// The type that {I} operands name.
constexpr int kImpliedObjectType = 84;
}  // namespace

int64_t Parser::integer() {
  bool negative = accept("-");
  const Token& t = peek();
  if (t.type != Tok::Number || t.text.find_first_of(".eE") != std::string::npos ||
      (t.text.find_first_of("eE") != std::string::npos && t.text.rfind("0x", 0) != 0))
    fail("expected an integer");
  std::string text = next().text;
  int64_t v = (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) ? std::strtoll(text.c_str() + 2, nullptr, 16)
                                                                      : std::strtoll(text.c_str(), nullptr, 10);
  return negative ? -v : v;
}

int64_t positionOfMadeUpLabel(const std::string& name) {
  if (name.size() < 2 || (name[0] != 'L' && name[0] != 'P' && name[0] != 'D')) return -1;
  for (size_t i = 1; i < name.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return -1;
  return std::strtoll(name.c_str() + 1, nullptr, 10);
}

// ------------------------------------------------------------ small operands

bool openListFollowsTarget(Parser& p) {
  const size_t mark = p.position();
  if (p.isPunct("(")) {
    int depth = 0;
    do {
      if (p.isPunct("(")) ++depth;
      if (p.isPunct(")")) --depth;
      p.next();
    } while (depth > 0 && !p.atEnd());
  } else if (p.accept("%")) {
    p.integer();
  } else {
    p.ident();
  }
  const bool open = p.isPunct("[");
  p.rewind(mark);
  return open;
}

void compileTarget(Parser& p, Emitter& e, FixKind kind) {
  if (p.accept("%")) {
    e.s32(p.integer());
    return;
  }
  const size_t column = p.column();
  e.target(p.ident(), kind, column);
}

int parseTypeName(Parser& p, const std::string& name) {
  int type = objects::typeByName(name);
  if (type >= 0) return type;
  if (name.size() > 3 && name.rfind("obj", 0) == 0) {
    char* end = nullptr;
    long v = std::strtol(name.c_str() + 3, &end, 10);
    if (*end == 0 && v >= 0 && v <= 255) return static_cast<int>(v);
  }
  p.fail("unknown name '" + name + "'");
}

int compileMemberName(Parser& p, int type) {
  const std::string name = p.ident();
  int member = objects::memberByName(type, name);
  if (member >= 0) return member;
  if (name.size() > 1 && name[0] == 'm') {
    char* end = nullptr;
    long v = std::strtol(name.c_str() + 1, &end, 10);
    if (*end == 0 && v >= 0 && v <= 255) return static_cast<int>(v);
  }
  p.fail("unknown member '" + name + "' of " + objectTypeText(type));
}

std::string memberText(int type, int member) {
  const objects::MemberInfo* info = objects::memberInfo(type, member);
  return info ? info->name : "m" + std::to_string(member);
}

int compileMarker(Parser& p, int defaultMarker) {
  if (p.isPunct("(") && p.isPunct("#", 1)) {
    p.next();
    p.next();
    int marker = static_cast<int>(p.integer());
    p.expect(")");
    return marker;
  }
  if (p.isPunct("(") && p.peek(1).type == Tok::Ident && kindByName(p.peek(1).text) >= 0 && p.isPunct(")", 2)) {
    p.next();
    int marker = kindByName(p.next().text);
    p.next();
    return marker;
  }
  return defaultMarker;
}

std::string markerText(int marker, int defaultMarker) {
  if (marker == defaultMarker) return "";
  if (marker >= 0 && marker <= 9) return std::string("(") + kindName(marker) + ") ";
  return "(#" + std::to_string(marker) + ") ";
}

namespace {
bool listEnds(Parser& p) { return p.atEnd() || p.isPunct(")") || p.isPunct("]"); }
}  // namespace

void compileMarkerList(Parser& p, Emitter& e, bool leadingComma) {
  bool first = !leadingComma;
  while (!listEnds(p)) {
    if (!first) {
      p.expect(",");
      if (listEnds(p)) break;  // "x, " as an empty list after x
    }
    first = false;
    e.u8(compileMarker(p, 1));
    compileExpression(p, e);
  }
  e.u8(11);
}

// A call's arguments: a marker list, then a byte that is 1 for a property
// put followed by the value (written "put value" as the last element), 0
// for none, or another value written {N}.
void compileCallArguments(Parser& p, Emitter& e, bool leadingComma) {
  bool first = !leadingComma;
  while (!listEnds(p)) {
    if (!first) {
      p.expect(",");
      if (listEnds(p)) break;
    }
    first = false;
    if (p.acceptWord("put")) {
      e.u8(11);
      e.u8(1);
      compileExpression(p, e);
      return;
    }
    if (p.accept("{")) {
      e.u8(11);
      e.u8(p.integer());
      p.expect("}");
      return;
    }
    e.u8(compileMarker(p, 1));
    compileExpression(p, e);
  }
  e.u8(11);
  e.u8(0);
}

bool decodeCallArguments(Decoder& d, LabelNames& names, std::string& out) {
  if (!decodeMarkerList(d, names, out)) return false;
  const int b = d.u8();
  std::string tail;
  if (b == 1) {
    std::string value;
    if (!decompileExpression(d, names, value)) return false;
    tail = "put " + value;
  } else if (b != 0) {
    tail = "{" + std::to_string(b) + "}";
  }
  if (!tail.empty()) out += (out.empty() ? "" : ", ") + tail;
  return d.ok;
}

bool decodeMarkerList(Decoder& d, LabelNames& names, std::string& out) {
  out.clear();
  for (;;) {
    const int marker = d.u8();
    if (!d.ok) return false;
    if (marker == 11) return true;
    std::string x;
    if (!decompileExpression(d, names, x)) return false;
    if (!out.empty()) out += ", ";
    out += markerText(marker, 1) + x;
  }
}

// ------------------------------------------------------------ arguments

namespace {

// A by-reference target after "ref".
void compileReference(Parser& p, Emitter& e) {
  const size_t column = p.column();
  const std::string name = p.ident();
  const int kind = kindByName(name);
  int marker = 0;
  if (kind == 9) marker = 9;
  else if (kind >= 0 && p.isPunct("[")) marker = 13 + kind;
  else if (kind >= 0) p.fail("only variants, arrays and objects pass by reference");
  else marker = parseTypeName(p, name);
  if (kind >= 0 && kind != 9) {  // whole array: KIND[N] or KIND[]^S
    p.expect("[");
    if (p.accept("]")) {
      p.expect("^");
      e.u8(marker);
      e.s16(-1);
      e.u8(p.integer());
      return;
    }
    e.u8(marker);
    const int64_t index = p.integer();
    e.s16(index);
    e.useVariable(kind, index, true, column);
    p.expect("]");
    return;
  }
  e.u8(marker);
  if (p.accept("^")) {  // passes on the caller's own reference parameter
    e.s16(-1);
    e.u8(p.integer());
    return;
  }
  if (p.accept(":")) {
    const int64_t index = p.integer();
    if (kind == 9) e.useVariable(kind, index, false, column);
    e.s16(index);
    e.u8(p.accept("#") ? p.integer() : 1);
    return;
  }
  p.expect("[");
  const int64_t index = p.integer();
  if (kind == 9) e.useVariable(kind, index, true, column);
  e.s16(index);
  p.expect("]");
  e.u8(p.accept("#") ? p.integer() : (marker == 9 ? 3 : 29));
  compileSubscripts(p, e);
}

bool decodeReference(Decoder& d, LabelNames& names, int marker, std::string& out) {
  const int index = d.s16();
  std::string name;
  if (marker == 9) name = "var";
  else if (marker >= 13 && marker <= 22) name = kindName(marker - 13);
  else if (marker >= 30) name = objectTypeText(marker);
  else return false;
  if (index == -1) {
    const int slot = d.u8();
    out = "ref " + name + (marker >= 13 && marker <= 22 ? "[]" : "") + "^" + std::to_string(slot);
    return d.ok;
  }
  if (marker >= 13 && marker <= 22) {
    out = "ref " + name + "[" + std::to_string(index) + "]";
    return d.ok;
  }
  const int form = d.u8();
  if (form == 29 || form == 3) {
    std::string subs;
    if (!decompileSubscripts(d, names, subs)) return false;
    const int normal = marker == 9 ? 3 : 29;
    out = "ref " + name + "[" + std::to_string(index) + "]" + (form == normal ? "" : "#" + std::to_string(form)) + subs;
    return d.ok;
  }
  out = "ref " + name + ":" + std::to_string(index) + (form == 1 ? "" : "#" + std::to_string(form));
  return d.ok;
}

}  // namespace

int compileArguments(Parser& p, Emitter& e) {
  p.expect("(");
  int count = 0;
  if (p.accept(")")) return 0;
  do {
    if (p.acceptWord("ref")) {
      compileReference(p, e);
    } else {
      e.u8(compileMarker(p, 0));
      compileExpression(p, e);
    }
    ++count;
  } while (p.accept(","));
  p.expect(")");
  if (count > 255) p.fail("more than 255 arguments");
  return count;
}

bool decodeArguments(Decoder& d, LabelNames& names, int count, std::string& out) {
  out = "(";
  for (int k = 0; k < count; ++k) {
    if (k) out += ", ";
    const int marker = d.u8();
    std::string x;
    if (marker == 9 || marker >= 13) {
      if (!decodeReference(d, names, marker, x)) return false;
    } else {
      if (!decompileExpression(d, names, x)) return false;
      x = markerText(marker, 0) + x;
    }
    out += x;
  }
  out += ")";
  return d.ok;
}

void compileOpenArguments(Parser& p, Emitter& e) {
  p.expect("[");
  compileMarkerList(p, e, false);
  p.expect("]");
}

bool decodeOpenArguments(Decoder& d, LabelNames& names, std::string& out) {
  std::string list;
  if (!decodeMarkerList(d, names, list)) return false;
  out = "[" + list + "]";
  return true;
}

// ------------------------------------------------------------ built-in forms

void compileArrayReference(Parser& p, Emitter& e) {
  if (p.acceptWord("arg")) {
    p.expect(".");
    const int kind = kindByName(p.ident());
    if (kind < 0) p.fail("expected an array kind");
    p.expect("[");
    e.u8(12);
    e.u8(p.integer());
    e.u8(kind);
    p.expect("]");
    return;
  }
  const size_t column = p.column();
  const int kind = kindByName(p.ident());
  if (kind < 0 || kind == 12) p.fail("expected an array kind");
  p.expect("[");
  e.u8(kind);
  const int64_t index = p.integer();
  e.s16(index);
  e.useVariable(kind, index, true, column);
  p.expect("]");
}

bool decodeArrayReference(Decoder& d, LabelNames&, std::string& out) {
  const int first = d.u8();
  if (first == 12) {
    const int slot = d.u8();
    const int kind = d.u8();
    if (!kindName(kind)) return false;
    out = std::string("arg.") + kindName(kind) + "[" + std::to_string(slot) + "]";
    return d.ok;
  }
  if (!kindName(first)) return false;
  out = std::string(kindName(first)) + "[" + std::to_string(d.s16()) + "]";
  return d.ok;
}

void compileRawOrVariable(Parser& p, Emitter& e, int kind) {
  const size_t column = p.column();
  const bool named = p.peek().type == Tok::Ident;
  if (named) {
    if (kindByName(p.ident()) != kind) p.fail(std::string("expected ") + kindName(kind) + ":N");
    p.expect(":");
  }
  const int64_t index = p.integer();
  if (named) e.useVariable(kind, index, false, column);
  e.s16(index);
}

std::string rawOrVariableText(int index, int kind) { return std::string(kindName(kind)) + ":" + std::to_string(index); }

void compileAddressForm(Parser& p, Emitter& e) {
  const size_t column = p.column();
  const int kind = kindByName(p.ident());
  if (kind < 0) p.fail("expected KIND:N or KIND[N](subscripts)");
  if (p.accept(":")) {
    e.u8(1);
    const int64_t index = p.integer();
    e.useVariable(kind, index, false, column);
    e.s16(index);
    e.u8(kind);
    return;
  }
  p.expect("[");
  const int form = 3;
  e.u8(form);
  const int64_t index = p.integer();
  e.useVariable(kind, index, true, column);
  e.s16(index);
  p.expect("]");
  e.u8(kind);
  compileSubscripts(p, e);
}

bool decodeAddressForm(Decoder& d, LabelNames& names, std::string& out) {
  const int form = d.u8();
  const int index = d.s16();
  const int kind = d.u8();
  if (!kindName(kind)) return false;
  if (form == 1) {
    out = std::string(kindName(kind)) + ":" + std::to_string(index);
    return d.ok;
  }
  if (form != 3) return false;
  std::string subs;
  if (!decompileSubscripts(d, names, subs)) return false;
  out = std::string(kindName(kind)) + "[" + std::to_string(index) + "]" + subs;
  return d.ok;
}

void compileVariantReference(Parser& p, Emitter& e) {
  if (p.acceptWord("arg")) {
    p.expect(".");
    p.expectWord("var");
    e.u8(12);
    if (p.accept(":")) {
      e.u8(9);
      e.u8(p.integer());
      return;
    }
    p.expect("[");
    e.u8(22);
    e.u8(p.integer());
    p.expect("]");
    compileSubscripts(p, e);
    return;
  }
  const size_t column = p.column();
  p.expectWord("var");
  if (p.accept(":")) {
    e.u8(1);
    const int64_t index = p.integer();
    e.useVariable(9, index, false, column);
    e.s16(index);
    return;
  }
  p.expect("[");
  e.u8(3);
  const int64_t index = p.integer();
  e.useVariable(9, index, true, column);
  e.s16(index);
  p.expect("]");
  compileSubscripts(p, e);
}

bool decodeVariantReference(Decoder& d, LabelNames& names, std::string& out) {
  const int form = d.u8();
  if (form == 1) {
    out = "var:" + std::to_string(d.s16());
    return d.ok;
  }
  if (form == 3) {
    const int array = d.s16();
    std::string subs;
    if (!decompileSubscripts(d, names, subs)) return false;
    out = "var[" + std::to_string(array) + "]" + subs;
    return d.ok;
  }
  if (form != 12) return false;
  const int which = d.u8();
  const int slot = d.u8();
  if (which == 9) {
    out = "arg.var:" + std::to_string(slot);
    return d.ok;
  }
  if (which != 22) return false;
  std::string subs;
  if (!decompileSubscripts(d, names, subs)) return false;
  out = "arg.var[" + std::to_string(slot) + "]" + subs;
  return d.ok;
}

// ------------------------------------------------------------ templates

namespace {


// Object operand: TYPE:N[#kind], TYPE[N](subs) or arg.TYPE:S.
void compileObjectOperand(Parser& p, Emitter& e, bool typeFirst) {
  int kind = 8;
  int type = 0;
  bool parameter = false;
  if (p.acceptWord("arg")) {
    p.expect(".");
    parameter = true;
    kind = 12;
  }
  type = parseTypeName(p, p.ident());
  auto header = [&](int k) {
    if (typeFirst) {
      e.u8(type);
      e.u8(k);
    } else {
      e.u8(k);
      e.u8(type);
    }
  };
  if (parameter) {
    p.expect(":");
    header(12);
    e.u8(p.integer());
    return;
  }
  if (p.accept("[")) {
    header(29);
    e.s16(p.integer());
    p.expect("]");
    compileSubscripts(p, e);
    return;
  }
  p.expect(":");
  const int64_t index = p.integer();
  if (p.accept("#")) kind = static_cast<int>(p.integer());
  header(kind);
  e.s16(index);
}

// An automation object named by kind and index alone (the member implies
// the type): automation:N, automation:N#KIND or arg.automation:SLOT.
void compileIndexOperand(Parser& p, Emitter& e) {
  const bool parameter = p.acceptWord("arg");
  if (parameter) p.expect(".");
  const std::string name = p.ident();
  if (parseTypeName(p, name) != kImpliedObjectType) p.fail("expected " + objectTypeText(kImpliedObjectType));
  p.expect(":");
  if (parameter) {
    e.u8(12);
    e.u8(p.integer());
    return;
  }
  const int64_t index = p.integer();
  e.u8(p.accept("#") ? static_cast<int>(p.integer()) : 8);
  e.s16(index);
}

bool decodeIndexOperand(Decoder& d, std::string& out) {
  const int kind = d.u8();
  const std::string name = objectTypeText(kImpliedObjectType);
  if (kind == 12) {
    out = "arg." + name + ":" + std::to_string(d.u8());
    return d.ok;
  }
  out = name + ":" + std::to_string(d.s16()) + (kind == 8 ? "" : "#" + std::to_string(kind));
  return d.ok;
}

bool decodeObjectBody(Decoder& d, LabelNames& names, int kind, int type, std::string& out);

bool decodeObjectOperand(Decoder& d, LabelNames& names, bool typeFirst, std::string& out) {
  int kind = 0, type = 0;
  if (typeFirst) {
    type = d.u8();
    kind = d.u8();
  } else {
    kind = d.u8();
    type = d.u8();
  }
  return decodeObjectBody(d, names, kind, type, out);
}

bool decodeObjectBody(Decoder& d, LabelNames& names, int kind, int type, std::string& out) {
  const std::string name = objectTypeText(type);
  if (kind == 12) {
    out = "arg." + name + ":" + std::to_string(d.u8());
    return d.ok;
  }
  if (kind == 29) {
    const int array = d.s16();
    std::string subs;
    if (!decompileSubscripts(d, names, subs)) return false;
    out = name + "[" + std::to_string(array) + "]" + subs;
    return d.ok;
  }
  out = name + ":" + std::to_string(d.s16()) + (kind == 8 ? "" : "#" + std::to_string(kind));
  return d.ok;
}

// Two objects of one type sharing one type code byte (a face's position
// and normal vectors): vector3d:0, vector3d:1.
void compileObjectPair(Parser& p, Emitter& e) {
  const size_t start = e.here();
  compileObjectOperand(p, e, true);
  p.expect(",");
  const size_t second = e.here();
  compileObjectOperand(p, e, true);
  if (e.bytes[second] != e.bytes[start]) p.fail("both objects must be of one type");
  e.bytes.erase(e.bytes.begin() + static_cast<std::ptrdiff_t>(second));
  for (auto& f : e.fixups)
    if (f.at > second) --f.at;
}

bool decodeObjectPair(Decoder& d, LabelNames& names, std::string& out) {
  const int type = d.u8();
  std::string first, second;
  if (!decodeObjectBody(d, names, d.u8(), type, first)) return false;
  if (!decodeObjectBody(d, names, d.u8(), type, second)) return false;
  out = first + ", " + second;
  return d.ok;
}

// A list of objects, type first, ended by the byte 11 where a type code
// would stand (a menu's items): menuitem:1, menuitem:2, ...
void compileObjectList(Parser& p, Emitter& e) {
  bool first = true;
  while (!p.atEnd() && !p.isPunct(")") && !p.isPunct("]")) {
    if (!first) p.expect(",");
    first = false;
    compileObjectOperand(p, e, true);
  }
  e.u8(11);
}

bool decodeObjectList(Decoder& d, LabelNames& names, std::string& out) {
  out.clear();
  while (d.ok && d.peek() != 11) {
    std::string item;
    if (!decodeObjectOperand(d, names, true, item)) return false;
    if (!out.empty()) out += ", ";
    out += item;
  }
  d.u8();
  return d.ok;
}

// Stream reference: TYPE:N with an optional #kind (default 8).
void compileStreamReference(Parser& p, Emitter& e) {
  e.u8(parseTypeName(p, p.ident()));
  p.expect(":");
  const int64_t index = p.integer();
  e.u8(p.accept("#") ? p.integer() : 8);
  e.s16(index);
}

bool decodeStreamReference(Decoder& d, std::string& out) {
  const int type = d.u8();
  const int kind = d.u8();
  out = objectTypeText(type) + ":" + std::to_string(d.s16()) + (kind == 8 ? "" : "#" + std::to_string(kind));
  return d.ok;
}

// First element of an array transfer: form 3 names the array, any other
// form a by-reference parameter slot (12 unless written (#N) before it).
void compileArrayStart(Parser& p, Emitter& e) {
  int form = compileMarker(p, -1);
  const bool parameter = p.acceptWord("arg");
  if (parameter) p.expect(".");
  if (form < 0) form = parameter ? 12 : 3;
  if ((form == 3) == parameter) p.fail(form == 3 ? "form 3 names an array, not a parameter" : "expected arg.KIND[S]");
  const size_t column = p.column();
  const int kind = kindByName(p.ident());
  if (kind < 0) p.fail("expected an array kind");
  e.u8(form);
  e.u8(kind);
  p.expect("[");
  if (parameter) {
    e.u8(p.integer());
  } else {
    const int64_t index = p.integer();
    e.useVariable(kind, index, true, column);
    e.s16(index);
  }
  p.expect("]");
  compileSubscripts(p, e);
}

bool decodeArrayStart(Decoder& d, LabelNames& names, std::string& out) {
  const int form = d.u8();
  const int kind = d.u8();
  if (!kindName(kind)) return false;
  const int index = form == 3 ? d.s16() : d.u8();
  std::string subs;
  if (!decompileSubscripts(d, names, subs)) return false;
  out = (form == 3 || form == 12 ? "" : "(#" + std::to_string(form) + ") ") + (form == 3 ? "" : "arg.") +
        kindName(kind) + "[" + std::to_string(index) + "]" + subs;
  return d.ok;
}

// Byte-array number: byte[N], or arg.byte[S] (the number -1 and a slot).
void compileByteArrayNumber(Parser& p, Emitter& e) {
  const bool parameter = p.acceptWord("arg");
  if (parameter) p.expect(".");
  p.expectWord("byte");
  p.expect("[");
  if (parameter) {
    e.s16(-1);
    e.u8(p.integer());
  } else {
    e.s16(p.integer());
  }
  p.expect("]");
}

bool decodeByteArrayNumber(Decoder& d, std::string& out) {
  const int number = d.s16();
  if (number == -1) out = "arg.byte[" + std::to_string(d.u8()) + "]";
  else out = "byte[" + std::to_string(number) + "]";
  return d.ok;
}

void compileOperand(Parser& p, Emitter& e, char letter) {
  switch (letter) {
    case 'E': compileExpression(p, e); break;
    case 'B': e.u8(p.integer()); break;
    case 'W': e.s16(p.integer()); break;
    case 'D': e.s32(p.integer()); break;
    case 'J': compileTarget(p, e, FixKind::Relative); break;
    case 'P': case 'H': compileTarget(p, e, FixKind::Absolute); break;
    case 'Q': compileTarget(p, e, FixKind::DataRelative); break;
    case 'V': case 'A': case 'X': {
      const size_t column = p.column();
      const int kind = kindByName(p.ident());
      if (kind < 0) p.fail("expected a variable kind");
      e.u8(kind);
      if (letter == 'V') {
        p.expect(":");
        const int64_t index = p.integer();
        e.useVariable(kind, index, false, column);
        e.s16(index);
      } else {
        p.expect("[");
        const int64_t index = p.integer();
        e.useVariable(kind, index, true, column);
        e.s16(index);
        p.expect("]");
        if (letter == 'A') compileSubscripts(p, e);
      }
      break;
    }
    case 'S': compileSubscripts(p, e); break;
    case 'Z':
      if (p.accept(";")) e.u8(11);
      else if (p.accept("#")) e.u8(p.integer());
      else e.u8(13);
      break;
    case 'L': compileMarkerList(p, e, false); break;
    case 'K': compileCallArguments(p, e, false); break;
    case 'I': compileIndexOperand(p, e); break;
    case 'O': compileObjectOperand(p, e, false); break;
    case 'C': compileObjectOperand(p, e, true); break;
    case 'G': compileObjectList(p, e); break;
    case 'M': compileObjectPair(p, e); break;
    case 'T': compileStreamReference(p, e); break;
    case 'Y': compileArrayStart(p, e); break;
    case 'F': compileFieldArrayOperand(p, e); break;
    case 'N': compileByteArrayNumber(p, e); break;
    default: p.fail(std::string("bad operand letter ") + letter);
  }
}

bool decodeOperand(Decoder& d, LabelNames& names, char letter, std::string& out) {
  switch (letter) {
    case 'E': return decompileExpression(d, names, out);
    case 'B': out = std::to_string(d.u8()); break;
    case 'W': out = std::to_string(d.s16()); break;
    case 'D': out = std::to_string(d.s32()); break;
    case 'J': {
      const int32_t offset = d.s32();
      out = names.jump(d.pos, offset);
      break;
    }
    case 'P': case 'H': out = names.proc(d.s32()); break;
    case 'Q': out = names.data(d.s32()); break;
    case 'V': case 'A': case 'X': {
      const int kind = d.u8();
      if (!kindName(kind)) return false;
      const int index = d.s16();
      if (letter == 'V') {
        out = std::string(kindName(kind)) + ":" + std::to_string(index);
      } else {
        out = std::string(kindName(kind)) + "[" + std::to_string(index) + "]";
        if (letter == 'A') {
          std::string subs;
          if (!decompileSubscripts(d, names, subs)) return false;
          out += subs;
        }
      }
      break;
    }
    case 'S': return decompileSubscripts(d, names, out);
    case 'Z': {
      const int b = d.u8();
      out = b == 11 ? ";" : (b == 13 ? "" : " #" + std::to_string(b));
      break;
    }
    case 'L': return decodeMarkerList(d, names, out);
    case 'K': return decodeCallArguments(d, names, out);
    case 'I': return decodeIndexOperand(d, out);
    case 'O': return decodeObjectOperand(d, names, false, out);
    case 'C': return decodeObjectOperand(d, names, true, out);
    case 'G': return decodeObjectList(d, names, out);
    case 'M': return decodeObjectPair(d, names, out);
    case 'T': return decodeStreamReference(d, out);
    case 'Y': return decodeArrayStart(d, names, out);
    case 'F': return decodeFieldArrayOperand(d, names, out);
    case 'N': return decodeByteArrayNumber(d, out);
    default: return false;
  }
  return d.ok;
}

// Splits a template into literal text and placeholder letters.
struct Piece {
  bool placeholder;
  std::string text;  // literal text, or the letter
};

std::vector<Piece> pieces(const std::string& tmpl) {
  std::vector<Piece> out;
  std::string literal;
  for (size_t i = 0; i < tmpl.size(); ++i) {
    const size_t close = tmpl[i] == '{' ? tmpl.find('}', i) : std::string::npos;
    if (close != std::string::npos) {
      if (!literal.empty()) out.push_back({false, literal});
      literal.clear();
      out.push_back({true, tmpl.substr(i + 1, close - i - 1)});
      i = close;
    } else {
      literal += tmpl[i];
    }
  }
  if (!literal.empty()) out.push_back({false, literal});
  return out;
}

}  // namespace

void compileTemplate(Parser& p, Emitter& e, const std::string& tmpl) {
  for (const Piece& piece : pieces(tmpl)) {
    if (piece.placeholder) {
      // {n}: a fixed byte that the statement always has.
      if (piece.text[0] >= '0' && piece.text[0] <= '9') e.u8(std::atoi(piece.text.c_str()));
      else compileOperand(p, e, piece.text[0]);
      continue;
    }
    std::string error;
    for (const Token& t : tokenize(piece.text, error)) {
      if (t.type == Tok::Ident) p.expectWord(t.text.c_str());
      else p.expect(t.text.c_str());
    }
  }
}

bool decodeTemplate(Decoder& d, LabelNames& names, const std::string& tmpl, std::string& out) {
  for (const Piece& piece : pieces(tmpl)) {
    if (!piece.placeholder) {
      out += piece.text;
      continue;
    }
    if (piece.text[0] >= '0' && piece.text[0] <= '9') {
      if (d.u8() != std::atoi(piece.text.c_str())) return false;
      continue;
    }
    std::string text;
    if (!decodeOperand(d, names, piece.text[0], text)) return false;
    out += text;
  }
  return d.ok;
}

namespace {
// The value an ignored byte has unless written {N}: 1 before another
// operand, 11 (an argument list's end) at the end.
int ignoredByteDefault(const char* letter) { return letter[1] ? 1 : 11; }
}  // namespace

void compileLayout(Parser& p, Emitter& e, const char* layout, bool parens) {
  if (parens) p.expect("(");
  bool first = true;
  for (const char* l = layout; *l; ++l) {
    if (*l == 'b') {
      if (p.accept("{")) {
        e.u8(p.integer());
        p.expect("}");
      } else {
        e.u8(ignoredByteDefault(l));
      }
      continue;
    }
    if (*l == 'L' || *l == 'K') {
      // A list leads its elements with commas of its own, so an empty one
      // at the end needs none.
      if (*l == 'L') compileMarkerList(p, e, !first);
      else compileCallArguments(p, e, !first);
      first = false;
      continue;
    }
    if (!first) p.expect(",");
    first = false;
    compileOperand(p, e, *l);
  }
  if (parens) p.expect(")");
}

bool decodeLayout(Decoder& d, LabelNames& names, const char* layout, bool parens, std::string& out) {
  std::string body;
  bool first = true;
  for (const char* l = layout; *l; ++l) {
    if (*l == 'b') {
      const int b = d.u8();
      if (b != ignoredByteDefault(l)) body += (body.empty() ? "{" : " {") + std::to_string(b) + "}";
      continue;
    }
    std::string text;
    if (!decodeOperand(d, names, *l, text)) return false;
    if ((*l == 'L' || *l == 'K') && text.empty()) continue;
    if (!first) body += ", ";
    else if (!body.empty()) body += " ";
    first = false;
    body += text;
  }
  out = parens ? "(" + body + ")" : body;
  return d.ok;
}

}  // namespace kestrel::kasm
