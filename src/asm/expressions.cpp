#include "asm/expressions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "asm/external_forms.h"
#include "asm/operands.h"
#include "asm/structure_syntax.h"
#include "expr/builtin_table.h"
#include "expr/item_codes.h"
#include "objects/member_info.h"

namespace kestrel::kasm {

namespace {

const char* const kKindNames[10] = {"str", "byte", "short", "int", "word", "long", "single", "double", "fix", "var"};

// Precedence levels, lowest first.
enum Level { kOr = 1, kAnd, kNot, kCompare, kShift, kAdd, kMul, kNeg, kPow, kPostfix, kAtom };

struct BinaryOp {
  const char* text;
  uint8_t code;
  int level;
};
const BinaryOp kBinary[] = {
    {"or", 51, kOr},      {"xor", 52, kOr},      {"and", 50, kAnd},    {"=", 60, kCompare},
    {"<>", 61, kCompare}, {">", 62, kCompare},   {"<", 63, kCompare},  {">=", 64, kCompare},
    {"<=", 65, kCompare}, {"shl", 70, kShift},   {"shr", 71, kShift},  {"+", 54, kAdd},
    {"-", 55, kAdd},      {"*", 56, kMul},       {"/", 57, kMul},      {"\\", 74, kMul},
    {"mod", 59, kMul},    {"modinv", 72, kMul},  {"^", 58, kPow},
};

const BinaryOp* binaryAt(const Parser& p, int level) {
  const Token& t = p.peek();
  if (t.type != Tok::Punct && t.type != Tok::Ident) return nullptr;
  for (const BinaryOp& op : kBinary)
    if (op.level == level && t.text == op.text) return &op;
  return nullptr;
}

const BinaryOp* binaryByCode(uint8_t code) {
  for (const BinaryOp& op : kBinary)
    if (op.code == code) return &op;
  return nullptr;
}

// Encoding the assembler picks for a literal without a kind suffix.
int defaultLiteralKind(const std::string& text, double v) {
  const bool integral = text.find_first_of(".eE") == std::string::npos || text.rfind("0x", 0) == 0 ||
                        text.rfind("-0x", 0) == 0;
  if (!integral) return 7;
  if (v >= 0 && v <= 255) return 1;
  if (v >= -32768 && v <= 32767) return 2;
  if (v >= 0 && v <= 65535) return 4;
  if (v >= -2147483648.0 && v <= 2147483647.0) return 3;
  return 7;
}

void emitNumber(Parser& p, Emitter& e, const std::string& text, bool negative) {
  double v = 0;
  if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) v = static_cast<double>(std::strtoull(text.c_str() + 2, nullptr, 16));
  else v = std::strtod(text.c_str(), nullptr);
  if (negative) v = -v;
  const std::string signedText = negative ? "-" + text : text;
  int kind = defaultLiteralKind(signedText, v);
  // A kind suffix is a name; "#" and a number after an expression is the
  // line-end byte of the print statements.
  if (p.isPunct("#") && p.peek(1).type == Tok::Ident) {
    p.accept("#");
    kind = kindByName(p.ident());
    if (kind < 1 || kind > 7) p.fail("a numeric kind (byte, short, int, word, long, single, double)");
  }
  const bool integral = v == std::trunc(v);
  auto needRange = [&](double lo, double hi) {
    if (!integral || v < lo || v > hi) p.fail("literal " + signedText + " does not fit its kind");
  };
  e.u8(kItemConstant);
  e.u8(kind);
  switch (kind) {
    case 1: needRange(0, 255); e.u8(static_cast<int64_t>(v)); break;
    case 2: needRange(-32768, 32767); e.s16(static_cast<int64_t>(v)); break;
    case 4: needRange(0, 65535); e.s16(static_cast<int64_t>(v)); break;
    case 3: case 5: needRange(-2147483648.0, 2147483647.0); e.s32(static_cast<int64_t>(v)); break;
    case 6: e.f32(static_cast<float>(v)); break;
    default: e.f64(v); break;
  }
}

// What an operand is known to be when the assembler sees it, for the
// warning about strings added to numbers. Variants, members and anything
// computed at run time are unknown.
enum class Static { Unknown, Number, String };

Static staticOfKind(int kind) {
  if (kind == 0 || kind == 8) return Static::String;
  if (kind >= 1 && kind <= 7) return Static::Number;
  return Static::Unknown;
}

Static staticOfBuiltin(const std::string& name) {
  static const char* const kText[] = {"str", "left", "right", "mid", "chr", "ucase", "lcase", "ltrim",
                                      "rtrim", "string", "space", "hex", "bin", "replace", "reverse",
                                      "format", "date", "time", "curdir", "environ", "inkey", "openstr"};
  static const char* const kNumber[] = {"val", "len", "asc", "instr", "instrrev", "abs", "cos", "sin",
                                        "tan", "atn", "sqr", "exp", "log", "int", "sgn", "round", "fix",
                                        "frac", "ceil", "floor", "acos", "asin", "rnd", "timer", "count",
                                        "lbound", "ubound", "paramcount", "opennumcount", "openstrcount",
                                        "opennum", "rgb"};
  for (const char* n : kText)
    if (name == n) return Static::String;
  for (const char* n : kNumber)
    if (name == n) return Static::Number;
  return Static::Unknown;
}

Static expression(Parser& p, Emitter& e, int level);

Static primary(Parser& p, Emitter& e);

// Call items: @KIND target(args) or @KIND target[open args].
Static callItem(Parser& p, Emitter& e) {
  const std::string kindText = p.ident();
  int resultKind = kindByName(kindText);
  if (resultKind < 0 || resultKind == 1) p.fail("a result kind (str, short, int, word, long, single, double, fix, var)");
  const bool computed = p.isPunct("(");
  const bool open = openListFollowsTarget(p);
  const uint8_t item = computed ? (open ? kItemComputedOpenCall : kItemComputedCall) : (open ? kItemOpenCall : kItemCall);
  e.u8(item);
  e.u8(resultKind);
  if (open) {
    if (computed) {
      e.u8(0);
      p.expect("(");
      expression(p, e, kOr);
      e.u8(11);
      p.expect(")");
    } else {
      compileTarget(p, e, FixKind::Absolute);
    }
    compileOpenArguments(p, e);
    return staticOfKind(resultKind);
  }
  // Count the arguments first: the count byte comes before the entry.
  const size_t countAt = e.here();
  e.u8(0);
  if (computed) {
    p.expect("(");
    expression(p, e, kOr);
    e.u8(11);
    p.expect(")");
  } else {
    compileTarget(p, e, FixKind::Absolute);
  }
  e.bytes[countAt] = static_cast<uint8_t>(compileArguments(p, e));
  return staticOfKind(resultKind);
}

void builtin(Parser& p, Emitter& e, const BuiltinInfo& info) {
  e.u8(kItemBuiltin);
  e.u8(info.code);
  p.expect("(");
  bool first = true;
  for (const char* l = info.layout; *l; ++l) {
    if (*l == 'R' && p.isPunct(")")) {
      e.u8(11);
      continue;
    }
    if (!first && *l != 'L') p.expect(",");
    first = false;
    switch (*l) {
      case 'e': expression(p, e, kOr); e.u8(11); break;
      case 'R': e.u8(compileMarker(p, 1)); expression(p, e, kOr); e.u8(11); break;
      case 'A': compileArrayReference(p, e); break;
      case 'w': compileRawOrVariable(p, e, 8); break;
      case 'M': compileAddressForm(p, e); break;
      case 'V': compileVariantReference(p, e); break;
      case 'C':
        compileTarget(p, e, FixKind::Absolute);
        p.expect(",");
        e.u8(p.integer());
        break;
      case 'L': compileMarkerList(p, e, true); break;
      default: break;
    }
  }
  p.expect(")");
}

void memberRead(Parser& p, Emitter& e, int type) {
  if (p.accept(":")) {
    e.u8(kItemMember);
    e.u8(type);
    e.s16(p.integer());
  } else {
    p.expect("[");
    e.u8(kItemArrayMember);
    e.u8(type);
    e.s16(p.integer());
    p.expect("]");
    compileSubscripts(p, e);
  }
  p.expect(".");
  const int member = compileMemberName(p, type);
  e.u8(member);
  const objects::MemberInfo* info = objects::memberInfo(type, member);
  if (info && info->read && *info->read) compileLayout(p, e, info->read, true);
}

void parameter(Parser& p, Emitter& e) {
  p.expect(".");
  e.u8(kItemParameter);
  const std::string name = p.ident();
  int kind = kindByName(name);
  if (kind >= 0) {
    if (p.accept(":")) {
      e.u8(kind);
      e.u8(p.integer());
    } else {
      p.expect("[");
      e.u8(kind == 9 ? 22 : kind + 13);
      e.u8(p.integer());
      p.expect("]");
      compileSubscripts(p, e);
    }
    return;
  }
  int type = parseTypeName(p, name);
  p.expect(":");
  e.u8(type);
  e.u8(p.integer());
  p.expect(".");
  const int member = compileMemberName(p, type);
  e.u8(member);
  const objects::MemberInfo* info = objects::memberInfo(type, member);
  if (info && info->read && *info->read) compileLayout(p, e, info->read, true);
}

Static primary(Parser& p, Emitter& e) {
  const Token& t = p.peek();
  if (t.type == Tok::Number) {
    const std::string text = p.next().text;
    emitNumber(p, e, text, false);
    return Static::Number;
  }
  if (t.type == Tok::String) {
    const std::string text = p.next().text;
    if (text.size() > 65535) p.fail("string constant longer than 65535 bytes");
    e.u8(kItemConstant);
    e.u8(0);
    e.s16(static_cast<int64_t>(text.size()));
    e.raw(text);
    return Static::String;
  }
  if (p.accept("(")) {
    const Static inner = expression(p, e, kOr);
    p.expect(")");
    return inner;
  }
  if (p.accept("@")) {
    if (p.acceptWord("extern")) {
      compileExternItem(p, e);
      return Static::Unknown;
    }
    return callItem(p, e);
  }
  if (p.accept("&")) {  // a label's position as a 32-bit constant
    e.u8(kItemConstant);
    e.u8(3);
    compileTarget(p, e, FixKind::Absolute);
    return Static::Number;
  }
  if (t.type != Tok::Ident) p.fail("expected an operand");
  const size_t column = t.column;
  const std::string name = p.next().text;
  if (name == "arg" && p.isPunct(".")) {
    const int kind = kindByName(p.peek(1).text);
    parameter(p, e);
    return staticOfKind(kind);
  }
  if (isStructureWord(name)) {
    compileStructureItem(p, e, name);
    return Static::Unknown;
  }
  const int kind = kindByName(name);
  if (p.isPunct("(")) {
    const BuiltinInfo* info = builtinByName(name.c_str());
    if (!info) p.fail("unknown function '" + name + "'");
    builtin(p, e, *info);
    return staticOfBuiltin(name);
  }
  if (kind >= 0 && p.accept(":")) {
    e.u8(kItemVariable);
    e.u8(kind);
    const int64_t index = p.integer();
    e.s16(index);
    e.useVariable(kind, index, false, column);
    return staticOfKind(kind);
  }
  if (kind >= 0 && p.isPunct("[")) {
    p.next();
    e.u8(kItemElement);
    e.u8(kind);
    const int64_t index = p.integer();
    e.s16(index);
    e.useVariable(kind, index, true, column);
    p.expect("]");
    compileSubscripts(p, e);
    return staticOfKind(kind);
  }
  const int type = parseTypeName(p, name);
  memberRead(p, e, type);
  return Static::Unknown;
}

Static postfixExpr(Parser& p, Emitter& e) {
  Static result = primary(p, e);
  while (p.accept("[")) {
    expression(p, e, kOr);
    p.expect("]");
    e.u8(75);
    result = Static::Unknown;
  }
  return result;
}

// The static kind of a binary operation's result; warns about a string and
// a number meeting at '+', which the run-time answers with the number alone.
Static combine(Emitter& e, const BinaryOp& op, Static left, Static right, size_t column) {
  if (op.code == 54) {
    if ((left == Static::String && right == Static::Number) || (left == Static::Number && right == Static::String)) {
      e.warn(column, "a string and a number meet at '+': the result is the number alone, not text; "
                     "use str() to turn the number into text");
      return Static::Unknown;
    }
    return left == right ? left : Static::Unknown;
  }
  if (op.code == 55) return left == right ? left : Static::Unknown;
  return Static::Number;
}

// Parses the operators of `level` and everything that binds tighter.
Static expression(Parser& p, Emitter& e, int level) {
  if (level == kNot) {
    if (p.acceptWord("not")) {
      expression(p, e, kNot);
      e.u8(53);
      return Static::Number;
    }
    return expression(p, e, kCompare);
  }
  if (level == kNeg) {
    if (!p.accept("-")) return expression(p, e, kPow);
    if (p.peek().type == Tok::Number) {
      // A minus sign right before a number is part of the literal, which is
      // then a whole operand that powers may follow.
      const std::string text = p.next().text;
      emitNumber(p, e, text, true);
      while (binaryAt(p, kPow)) {
        p.next();
        postfixExpr(p, e);
        e.u8(58);
      }
      return Static::Number;
    }
    expression(p, e, kNeg);
    e.u8(73);
    return Static::Number;
  }
  if (level >= kPostfix) return postfixExpr(p, e);
  Static left = expression(p, e, level + 1);
  while (const BinaryOp* op = binaryAt(p, level)) {
    const size_t column = p.column();
    p.next();
    const Static right = expression(p, e, level + 1);
    e.u8(op->code);
    left = combine(e, *op, left, right, column);
  }
  return left;
}

}  // namespace

const char* kindName(int kind) { return kind >= 0 && kind <= 9 ? kKindNames[kind] : nullptr; }

int kindByName(const std::string& name) {
  for (int k = 0; k < 10; ++k)
    if (name == kKindNames[k]) return k;
  return -1;
}

void compileExpression(Parser& p, Emitter& e) {
  if (p.acceptWord("nothing")) {
    e.u8(11);
    return;
  }
  expression(p, e, kOr);
  e.u8(11);
}

void compileSubscripts(Parser& p, Emitter& e) {
  p.expect("(");
  size_t countAt = e.here();
  e.u8(0);
  int count = 0;
  if (p.accept("#")) {  // an explicit count byte (0 still reads one expression)
    e.bytes[countAt] = static_cast<uint8_t>(p.integer());
    count = -1;
  }
  do {
    expression(p, e, kOr);
    e.u8(11);
    if (count >= 0) ++count;
  } while (p.accept(","));
  p.expect(")");
  if (count >= 0) e.bytes[countAt] = static_cast<uint8_t>(count);
}

int parseObjectName(Parser& p) { return parseTypeName(p, p.ident()); }

std::string objectTypeText(int type) {
  const char* name = objects::typeName(type);
  return name ? name : "obj" + std::to_string(type);
}

// ---------------------------------------------------------------- decompiler

namespace {

struct Node {
  std::string text;
  int level;
};

std::string wrap(const Node& n, bool parens) { return parens ? "(" + n.text + ")" : n.text; }

std::string formatDouble(double v) {
  char buf[40];
  for (int precision = 15; precision <= 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  std::string s = buf;
  if (s.find_first_of(".en") == std::string::npos) s += ".0";
  return s;
}

std::string formatSingle(float v) {
  char buf[40];
  for (int precision = 6; precision <= 9; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, static_cast<double>(v));
    if (static_cast<float>(std::strtod(buf, nullptr)) == v) break;
  }
  std::string s = buf;
  if (s.find_first_of(".en") == std::string::npos) s += ".0";
  return s;
}

bool decodeBuiltin(Decoder& d, LabelNames& names, std::string& out) {
  const int code = d.u8();
  const BuiltinInfo* info = builtinByCode(code);
  if (!info) return false;
  std::string args;
  for (const char* l = info->layout; *l; ++l) {
    std::string part;
    switch (*l) {
      case 'e': if (!decompileExpression(d, names, part)) return false; break;
      case 'R':
        if (d.peek() == 11) {
          d.u8();
          continue;
        }
        part = markerText(d.u8(), 1);
        {
          std::string x;
          if (!decompileExpression(d, names, x)) return false;
          part += x;
        }
        break;
      case 'A': if (!decodeArrayReference(d, names, part)) return false; break;
      case 'w': part = rawOrVariableText(d.s16(), 8); break;
      case 'M': if (!decodeAddressForm(d, names, part)) return false; break;
      case 'V': if (!decodeVariantReference(d, names, part)) return false; break;
      case 'C': {
        const int32_t entry = d.s32();
        part = names.proc(entry) + ", " + std::to_string(d.u8());
        break;
      }
      case 'L': {
        if (!decodeMarkerList(d, names, part)) return false;
        if (!part.empty()) args += ", ";
        args += part;
        continue;
      }
      default: return false;
    }
    if (!args.empty()) args += ", ";
    args += part;
  }
  out = std::string(info->name) + "(" + args + ")";
  return d.ok;
}

bool decodeCall(Decoder& d, LabelNames& names, uint8_t item, std::string& out) {
  const int resultKind = d.u8();
  if (resultKind == 1 || resultKind > 9) return false;
  std::string text = std::string("@") + kindName(resultKind) + " ";
  if (item == kItemOpenCall || item == kItemComputedOpenCall) {
    if (item == kItemComputedOpenCall) {
      if (d.u8() != 0) return false;
      std::string target;
      if (!decompileExpression(d, names, target)) return false;
      text += "(" + target + ")";
    } else {
      text += names.proc(d.s32());
    }
    std::string args;
    if (!decodeOpenArguments(d, names, args)) return false;
    out = text + args;
    return d.ok;
  }
  const int count = d.u8();
  if (item == kItemComputedCall) {
    std::string target;
    if (!decompileExpression(d, names, target)) return false;
    text += "(" + target + ")";
  } else {
    text += names.proc(d.s32());
  }
  std::string args;
  if (!decodeArguments(d, names, count, args)) return false;
  out = text + args;
  return d.ok;
}

bool decodeMemberRead(Decoder& d, LabelNames& names, int type, const std::string& object, std::string& out) {
  const int member = d.u8();
  out = object + "." + memberText(type, member);
  const objects::MemberInfo* info = objects::memberInfo(type, member);
  if (info && info->read && *info->read) {
    std::string args;
    if (!decodeLayout(d, names, info->read, true, args)) return false;
    out += args;
  }
  return d.ok;
}

bool decodeParameter(Decoder& d, LabelNames& names, std::string& out) {
  const int kind = d.u8();
  const int slot = d.u8();
  if (kind <= 7) {
    out = std::string("arg.") + kindName(kind) + ":" + std::to_string(slot);
    return d.ok;
  }
  if (kind == 9) {
    out = "arg.var:" + std::to_string(slot);
    return d.ok;
  }
  if ((kind >= 13 && kind <= 20) || kind == 22) {
    std::string subs;
    if (!decompileSubscripts(d, names, subs)) return false;
    out = std::string("arg.") + kindName(kind == 22 ? 9 : kind - 13) + "[" + std::to_string(slot) + "]" + subs;
    return d.ok;
  }
  if (kind < 30) return false;  // object kinds below 30 have no written form
  return decodeMemberRead(d, names, kind, "arg." + objectTypeText(kind) + ":" + std::to_string(slot), out);
}

bool decodeItem(Decoder& d, LabelNames& names, uint8_t code, std::vector<Node>& stack) {
  std::string text;
  switch (code) {
    case kItemVariable: {
      const int kind = d.u8();
      if (kind > 9) return false;
      text = std::string(kindName(kind)) + ":" + std::to_string(d.s16());
      break;
    }
    case kItemConstant: {
      const int kind = d.u8();
      switch (kind) {
        case 0: {
          const int length = d.u16();
          std::string bytes;
          for (int i = 0; i < length; ++i) bytes += static_cast<char>(d.u8());
          text = quote(bytes);
          break;
        }
        case 1: text = numberLiteral(1, d.u8()); break;
        case 2: text = numberLiteral(2, d.s16()); break;
        case 3: case 5: text = numberLiteral(kind, d.s32()); break;
        case 4: text = numberLiteral(4, d.u16()); break;
        case 6: {
          const float f = d.f32();
          if (!std::isfinite(f)) return false;
          text = formatSingle(f) + "#single";
          break;
        }
        case 7: {
          const double v = d.f64();
          if (!std::isfinite(v)) return false;
          text = numberLiteral(7, v);
          break;
        }
        default: return false;
      }
      if (!text.empty() && text[0] == '-') {
        stack.push_back({text, kNeg});
        return d.ok;
      }
      break;
    }
    case kItemElement: {
      const int kind = d.u8();
      if (kind > 9) return false;
      const int array = d.s16();
      std::string subs;
      if (!decompileSubscripts(d, names, subs)) return false;
      text = std::string(kindName(kind)) + "[" + std::to_string(array) + "]" + subs;
      break;
    }
    case kItemBuiltin:
      if (!decodeBuiltin(d, names, text)) return false;
      break;
    case kItemMember: {
      const int type = d.u8();
      const int index = d.s16();
      if (!decodeMemberRead(d, names, type, objectTypeText(type) + ":" + std::to_string(index), text)) return false;
      break;
    }
    case kItemArrayMember: {
      const int type = d.u8();
      const int array = d.s16();
      std::string subs;
      if (!decompileSubscripts(d, names, subs)) return false;
      if (!decodeMemberRead(d, names, type, objectTypeText(type) + "[" + std::to_string(array) + "]" + subs, text))
        return false;
      break;
    }
    case kItemParameter:
      if (!decodeParameter(d, names, text)) return false;
      break;
    case kItemExternal:
      if (!decodeExternItem(d, names, text)) return false;
      if (d.peek() == 33) return false;  // as after the other call items
      break;
    case kItemStructField: case kItemStructArrayField: case kItemStructSize:
    case kItemStructAddress: case kItemStructElementAddress:
      if (!decodeStructureItem(d, names, code, text)) return false;
      break;
    case kItemCall: case kItemOpenCall: case kItemComputedCall: case kItemComputedOpenCall:
      if (!decodeCall(d, names, code, text)) return false;
      // A continuation byte after a call has no written form inside an expression.
      if ((code == kItemCall || code == kItemComputedCall) && d.peek() == 33) return false;
      break;
    default: {
      if (code == 53 || code == 73) {
        if (stack.empty()) return false;
        Node operand = stack.back();
        stack.pop_back();
        if (code == 53) {
          stack.push_back({"not " + wrap(operand, operand.level < kNot), kNot});
        } else {
          const bool plain = operand.level >= kPostfix && operand.text[0] != '-' &&
                             !(operand.text[0] >= '0' && operand.text[0] <= '9') && operand.text[0] != '.';
          stack.push_back({"-" + wrap(operand, !plain), kNeg});
        }
        return true;
      }
      if (code == 75) {
        if (stack.size() < 2) return false;
        Node index = stack.back();
        stack.pop_back();
        Node& base = stack.back();
        base = {wrap(base, base.level < kPostfix) + "[" + index.text + "]", kPostfix};
        return true;
      }
      const BinaryOp* op = binaryByCode(code);
      if (!op || stack.size() < 2) return false;
      Node right = stack.back();
      stack.pop_back();
      Node& left = stack.back();
      // A power's right side is parsed as a postfix operand.
      const bool rightParens = op->level == kPow ? right.level < kPostfix : right.level <= op->level;
      left = {wrap(left, left.level < op->level) + " " + op->text + " " + wrap(right, rightParens), op->level};
      return true;
    }
  }
  stack.push_back({text, kAtom});
  return d.ok;
}

}  // namespace

std::string numberLiteral(int kind, double value) {
  std::string text;
  if (kind == 7) text = formatDouble(value);
  else text = std::to_string(static_cast<int64_t>(value));
  if (defaultLiteralKind(text, value) != kind) text += std::string("#") + kindName(kind);
  return text;
}

bool decompileExpression(Decoder& d, LabelNames& names, std::string& out) {
  std::vector<Node> stack;
  for (;;) {
    if (!d.has(1)) return false;
    const uint8_t code = d.u8();
    if (code == 11) break;
    if (!decodeItem(d, names, code, stack)) return false;
  }
  if (stack.empty()) {
    out = "nothing";
    return true;
  }
  if (stack.size() != 1) return false;
  out = stack[0].text;
  return true;
}

bool decompileSubscripts(Decoder& d, LabelNames& names, std::string& out) {
  const int count = d.u8();
  const int reads = count == 0 ? 1 : count;
  out = count == 0 ? "(#0 " : "(";
  for (int i = 0; i < reads; ++i) {
    std::string x;
    if (!decompileExpression(d, names, x)) return false;
    out += (i ? ", " : "") + x;
  }
  out += ")";
  return d.ok;
}

}  // namespace kestrel::kasm
