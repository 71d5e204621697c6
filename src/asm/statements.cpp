#include "asm/statements.h"

#include <cstring>

#include "asm/expressions.h"
#include "asm/external_forms.h"
#include "asm/operands.h"
#include "asm/structure_syntax.h"
#include "objects/member_info.h"

namespace kestrel::kasm {

namespace {

struct TemplateRow {
  int code;  // top-level code
  int sub;   // extended sub-code, or -1
  const char* mnemonic;
  const char* tmpl;  // operands after the mnemonic
};

// Statements whose operands a template describes.
const TemplateRow kTemplates[] = {
    {14, -1, "result", " {E}"},
    {11, -1, "endproc", ""},
    {34, -1, "leave", ""},
    {33, -1, "cont", ""},
    {0, 1, "message", " {E}"},
    {0, 2, "print", " {E}{Z}"},
    {0, 4, "ifnot", " {E} goto {J}"},
    {0, 5, "goto", " {J}"},
    {0, 6, "return", ""},
    {0, 7, "for", " {1}{V} = {E} to {E} step {E} else {J}"},
    {0, 8, "next", " {J}"},
    {0, 12, "cls", ""},
    {0, 13, "sleep", " {E}"},
    {0, 14, "endprogram", ""},
    {0, 16, "exitfor", " {J}"},
    {0, 17, "gosub", " {J}"},
    {0, 18, "retsub", ""},
    {0, 21, "select", " {B}, {E}"},
    {0, 23, "endselect", ""},
    {0, 25, "title", " {E}"},
    {0, 26, "screencursor", " {E}"},
    {0, 27, "chdir", " {E}"},
    {0, 28, "chdrive", " {E}"},
    {0, 29, "mkdir", " {E}"},
    {0, 30, "rmdir", " {E}"},
    {0, 31, "kill", " {E}"},
    {0, 32, "runwait", " {E}"},
    {0, 33, "run", " {E}"},
    {0, 34, "rename", " {E}, {E}"},
    {0, 35, "pcopy", " {E}, {E}"},
    {0, 36, "poke", " {E}, {E}"},
    {0, 37, "playsound", " {E}, {E}"},
    {0, 38, "doevents", ""},
    {0, 41, "msgbox", " {E}, {E}, {E}"},
    {0, 44, "msgdlg", " {E}, {E}, {E}, {E}"},
    {0, 45, "slotb", " {E}"},
    {0, 46, "slotc", " {E}"},
    {0, 47, "sendmessage", " {E}, {E}, {E}, {E}"},
    {0, 48, "postmessage", " {E}, {E}, {E}, {E}"},
    {0, 49, "pageprint", " {E}, {E}{Z}"},
    {0, 50, "pagepoke", " {E}, {E}, {E}"},
    {0, 54, "lprint", " {E}{Z}"},
    {0, 55, "enddoc", ""},
    {0, 57, "restore", " {Q}"},
    {0, 58, "setenv", " {E}"},
    {0, 59, "stdout", " {E}{Z}"},
    {0, 60, "decsep", " {E}"},
    {0, 61, "saveres", " {E}, {E}"},
    {0, 64, "sort", " {A} to {A}, {E}"},
    {0, 65, "out", " {E}, {E}"},
    {0, 66, "fill", " {X} = {L}"},
    {0, 67, "loadcursor", " {E}, {E}"},
    {0, 68, "keymode", " {B}"},
    {0, 69, "sound", " {E}, {E}"},
    {0, 70, "freelib", " {E}"},
    {0, 71, "playres", " {W}, {E}"},
};

const TemplateRow* templateByMnemonic(const std::string& m) {
  for (const TemplateRow& row : kTemplates)
    if (m == row.mnemonic) return &row;
  return nullptr;
}

const TemplateRow* templateByCode(int code, int sub) {
  for (const TemplateRow& row : kTemplates)
    if (row.code == code && row.sub == sub) return &row;
  return nullptr;
}

void extended(Emitter& e, int sub) {
  e.u8(0);
  e.u8(sub);
}

// ---------------------------------------------------------------- let

// let KIND:N = e | let KIND[N](subs) = e | let arg.KIND:S = e | let arg.KIND[S](subs) = e
void compileLet(Parser& p, Emitter& e) {
  if (p.acceptWord("struct")) return compileStructureLet(p, e);
  if (p.acceptWord("arg")) {
    p.expect(".");
    const int kind = kindByName(p.ident());
    if (kind < 0) p.fail("expected a parameter kind");
    e.u8(12);
    if (p.accept(":")) {
      e.u8(kind);
      e.u8(p.integer());
    } else {
      p.expect("[");
      e.u8(kind == 9 ? 22 : 13 + kind);
      e.u8(p.integer());
      p.expect("]");
      compileSubscripts(p, e);
    }
    p.expect("=");
    compileExpression(p, e);
    return;
  }
  const size_t column = p.column();
  const int kind = kindByName(p.ident());
  if (kind < 0) p.fail("expected a variable kind");
  if (p.accept(":")) {
    e.u8(1);
    e.u8(kind);
    const int64_t index = p.integer();
    e.s16(index);
    e.useVariable(kind, index, false, column);
  } else {
    p.expect("[");
    e.u8(3);
    e.u8(kind);
    const int64_t index = p.integer();
    e.s16(index);
    e.useVariable(kind, index, true, column);
    p.expect("]");
    compileSubscripts(p, e);
  }
  p.expect("=");
  compileExpression(p, e);
}

// ---------------------------------------------------------------- set (members)

void compileMemberOperands(Parser& p, Emitter& e, int type, int member) {
  const objects::MemberInfo* info = objects::memberInfo(type, member);
  if (info && info->write && *info->write) {
    // Members whose operands are all ignored bytes may leave out the '='.
    const bool onlyIgnored = std::strspn(info->write, "b") == std::strlen(info->write);
    if (!p.accept("=") && !onlyIgnored) p.fail("expected '=' before the member's operands");
    compileLayout(p, e, info->write, false);
  }
}

// set TYPE:N.member [= operands] | set TYPE[N](subs).member ... | set arg.TYPE:S.member ...
void compileSet(Parser& p, Emitter& e) {
  const bool parameter = p.acceptWord("arg");
  if (parameter) p.expect(".");
  const int type = parseTypeName(p, p.ident());
  if (parameter) {
    p.expect(":");
    e.u8(12);
    e.u8(type);
    e.u8(p.integer());
  } else if (p.accept(":")) {
    e.u8(8);
    e.u8(type);
    e.s16(p.integer());
  } else {
    p.expect("[");
    e.u8(29);
    e.u8(type);
    e.s16(p.integer());
    p.expect("]");
    compileSubscripts(p, e);
  }
  p.expect(".");
  const int member = compileMemberName(p, type);
  e.u8(member);
  compileMemberOperands(p, e, type, member);
}

bool decodeMemberOperands(Decoder& d, LabelNames& names, int type, int member, std::string& out) {
  out += "." + memberText(type, member);
  const objects::MemberInfo* info = objects::memberInfo(type, member);
  if (!info || !info->write || !*info->write) return d.ok;
  std::string operands;
  if (!decodeLayout(d, names, info->write, false, operands)) return false;
  // Only members whose operands are all ignored bytes may leave out the '='.
  const bool onlyIgnored = std::strspn(info->write, "b") == std::strlen(info->write);
  if (!operands.empty()) out += " = " + operands;
  else if (!onlyIgnored) out += " =";
  return true;
}

}  // namespace

// ---------------------------------------------------------------- dim, redim

// Bounds: (e, e to e, ...): each dimension a first bound, byte 9 and an upper
// bound or byte 0, then byte 0 (more) or 11 (end).
void compileBounds(Parser& p, Emitter& e) {
  p.expect("(");
  do {
    compileExpression(p, e);
    if (p.acceptWord("to")) {
      e.u8(9);
      compileExpression(p, e);
    } else {
      e.u8(0);
    }
    e.u8(p.isPunct(",") ? 0 : 11);
  } while (p.accept(","));
  p.expect(")");
}

bool decodeBounds(Decoder& d, LabelNames& names, std::string& out) {
  out = "(";
  for (int n = 0;; ++n) {
    if (n == 5) return false;
    std::string first;
    if (!decompileExpression(d, names, first)) return false;
    out += (n ? ", " : "") + first;
    const int upper = d.u8();
    if (upper == 9) {
      std::string second;
      if (!decompileExpression(d, names, second)) return false;
      out += " to " + second;
    } else if (upper != 0) {
      return false;
    }
    const int separator = d.u8();
    if (!d.ok) return false;
    if (separator == 11) break;
    if (separator != 0) return false;
  }
  out += ")";
  return true;
}

namespace {

// dim [keep] KIND:N [len e] | dim [keep] KIND[N](bounds) [len e] | dim TYPE:N | dim TYPE[N](bounds)
void compileDim(Parser& p, Emitter& e) {
  extended(e, 0);
  e.u8(p.acceptWord("keep") ? 1 : 0);
  const std::string name = p.ident();
  int kind = kindByName(name);
  if (kind < 0) kind = parseTypeName(p, name);
  if (p.accept(":")) {
    e.u8(1);
    e.u8(kind);
    const int64_t index = p.integer();
    e.s16(index);
    e.declareVariable(kind, index, false);
  } else {
    p.expect("[");
    const int64_t index = p.integer();
    p.expect("]");
    e.u8(3);
    compileBounds(p, e);
    e.u8(kind);
    e.s16(index);
    e.declareVariable(kind, index, true);
  }
  if (kind == 8) {
    p.expectWord("len");
    compileExpression(p, e);
  }
}

bool decodeDim(Decoder& d, LabelNames& names, std::string& out) {
  const int flag = d.u8();
  if (flag > 1) return false;
  const int form = d.u8();
  std::string bounds;
  if (form == 3 && !decodeBounds(d, names, bounds)) return false;
  if (form != 1 && form != 3) return false;
  const int kind = d.u8();
  const int index = d.s16();
  std::string name = kind <= 9 ? kindName(kind) : objectTypeText(kind);
  out = std::string("dim ") + (flag ? "keep " : "") + name +
        (form == 1 ? ":" + std::to_string(index) : "[" + std::to_string(index) + "]" + bounds);
  if (kind == 8) {
    std::string length;
    if (!decompileExpression(d, names, length)) return false;
    out += " len " + length;
  }
  return d.ok;
}

// redim [preserve] KIND[N](bounds)
void compileRedim(Parser& p, Emitter& e) {
  extended(e, 56);
  e.u8(0);
  const bool preserve = p.acceptWord("preserve");
  const int kind = kindByName(p.ident());
  if (kind < 0) p.fail("expected an array kind");
  p.expect("[");
  const int64_t index = p.integer();
  p.expect("]");
  compileBounds(p, e);
  e.u8(preserve ? 1 : 11);
  e.u8(kind);
  e.s16(index);
  e.declareVariable(kind, index, true);
}

bool decodeRedim(Decoder& d, LabelNames& names, std::string& out) {
  if (d.u8() != 0) return false;
  std::string bounds;
  if (!decodeBounds(d, names, bounds)) return false;
  const int preserve = d.u8();
  if (preserve != 1 && preserve != 11) return false;
  const int kind = d.u8();
  if (!kindName(kind)) return false;
  const int index = d.s16();
  out = std::string("redim ") + (preserve == 1 ? "preserve " : "") + kindName(kind) + "[" + std::to_string(index) + "]" + bounds;
  return d.ok;
}

// ---------------------------------------------------------------- calls

// call NAME(args) | call (e)(args) | call NAME[args] | call (e)[args]
void compileCall(Parser& p, Emitter& e) {
  const bool computed = p.isPunct("(");
  const bool open = openListFollowsTarget(p);
  extended(e, computed ? (open ? 53 : 52) : (open ? 15 : 3));
  size_t countAt = e.here();
  e.u8(0);
  if (computed) {
    p.expect("(");
    compileExpression(p, e);
    p.expect(")");
  } else {
    compileTarget(p, e, FixKind::Absolute);
  }
  if (open) compileOpenArguments(p, e);
  else e.bytes[countAt] = static_cast<uint8_t>(compileArguments(p, e));
}

bool decodeCall(Decoder& d, LabelNames& names, int sub, std::string& out) {
  const int count = d.u8();
  const bool open = sub == 15 || sub == 53;
  if (open && count != 0) return false;
  std::string target;
  if (sub == 52 || sub == 53) {
    if (!decompileExpression(d, names, target)) return false;
    target = "(" + target + ")";
  } else {
    target = names.proc(d.s32());
  }
  std::string args;
  if (open ? !decodeOpenArguments(d, names, args) : !decodeArguments(d, names, count, args)) return false;
  out = "call " + target + args;
  return d.ok;
}

// ---------------------------------------------------------------- case

// case = e, if e, e to e, ... else J   (the count byte counts expressions)
void compileCase(Parser& p, Emitter& e) {
  extended(e, 22);
  size_t countAt = e.here();
  e.u8(0);
  int count = 0;
  if (!p.isWord("else")) {
    do {
      if (p.accept("=")) {
        e.u8(2);
        compileExpression(p, e);
        ++count;
      } else if (p.acceptWord("if")) {
        e.u8(19);
        compileExpression(p, e);
        ++count;
      } else {
        e.u8(0);
        compileExpression(p, e);
        p.expectWord("to");
        e.u8(0);
        compileExpression(p, e);
        count += 2;
      }
    } while (p.accept(","));
  }
  p.expectWord("else");
  compileTemplate(p, e, "{J}");
  e.bytes[countAt] = static_cast<uint8_t>(count);
}

bool decodeCase(Decoder& d, LabelNames& names, std::string& out) {
  const int count = d.u8();
  std::string items;
  for (int counter = 1; counter <= count;) {
    const int op = d.u8();
    std::string x;
    if (!decompileExpression(d, names, x)) return false;
    ++counter;
    if (!items.empty()) items += ", ";
    if (op == 2) {
      items += "= " + x;
    } else if (op == 19) {
      items += "if " + x;
    } else {
      if (op != 0 || d.u8() != 0 || counter > count) return false;
      std::string upper;
      if (!decompileExpression(d, names, upper)) return false;
      ++counter;
      items += x + " to " + upper;
    }
  }
  std::string target;
  if (!decodeTemplate(d, names, "{J}", target)) return false;
  out = "case " + items + (items.empty() ? "" : " ") + "else " + target;
  return d.ok;
}

// ---------------------------------------------------------------- console forms

// color fg | color fg, bg | color , bg
void compileColor(Parser& p, Emitter& e) {
  extended(e, 10);
  if (p.accept(",")) {
    e.u8(11);
    compileExpression(p, e);
    return;
  }
  e.u8(1);
  compileExpression(p, e);
  if (p.accept(",")) {
    e.u8(1);
    compileExpression(p, e);
  } else {
    e.u8(11);
  }
}

bool decodeColor(Decoder& d, LabelNames& names, std::string& out) {
  std::string a, b;
  const int first = d.u8();
  if (first == 11) {
    if (!decompileExpression(d, names, b)) return false;
    out = "color , " + b;
    return true;
  }
  if (first != 1 || !decompileExpression(d, names, a)) return false;
  const int second = d.u8();
  if (second == 11) {
    out = "color " + a;
    return d.ok;
  }
  if (second != 1 || !decompileExpression(d, names, b)) return false;
  out = "color " + a + ", " + b;
  return true;
}

// locate [row] [, [col] [, size]]
void compileLocate(Parser& p, Emitter& e) {
  extended(e, 11);
  const bool hasRow = !p.isPunct(",") && !p.atEnd();
  if (hasRow) {
    e.u8(1);
    compileExpression(p, e);
    if (!p.accept(",")) {
      e.u8(11);
      return;
    }
    if (p.accept(",")) {  // row, , size
      e.u8(2);
      compileExpression(p, e);
      return;
    }
    e.u8(1);
    compileExpression(p, e);
    if (p.accept(",")) {
      e.u8(1);
      compileExpression(p, e);
    } else {
      e.u8(11);
    }
    return;
  }
  e.u8(11);
  p.expect(",");
  if (p.accept(",")) {  // , , size
    e.u8(11);
    compileExpression(p, e);
    return;
  }
  e.u8(1);
  compileExpression(p, e);
  if (p.accept(",")) {
    e.u8(1);
    compileExpression(p, e);
  } else {
    e.u8(11);
  }
}

bool decodeLocate(Decoder& d, LabelNames& names, std::string& out) {
  std::string a, b, c;
  const int b1 = d.u8();
  if (b1 == 1) {
    if (!decompileExpression(d, names, a)) return false;
    const int b2 = d.u8();
    if (b2 == 11) { out = "locate " + a; return d.ok; }
    if (b2 == 2) {
      if (!decompileExpression(d, names, c)) return false;
      out = "locate " + a + ", , " + c;
      return true;
    }
    if (b2 != 1 || !decompileExpression(d, names, b)) return false;
    const int b3 = d.u8();
    if (b3 == 11) { out = "locate " + a + ", " + b; return d.ok; }
    if (b3 != 1 || !decompileExpression(d, names, c)) return false;
    out = "locate " + a + ", " + b + ", " + c;
    return true;
  }
  if (b1 != 11) return false;
  const int b2 = d.u8();
  if (b2 == 11) {
    if (!decompileExpression(d, names, c)) return false;
    out = "locate , , " + c;
    return true;
  }
  if (b2 != 1 || !decompileExpression(d, names, b)) return false;
  const int b3 = d.u8();
  if (b3 == 11) { out = "locate , " + b; return d.ok; }
  if (b3 != 1 || !decompileExpression(d, names, c)) return false;
  out = "locate , " + b + ", " + c;
  return true;
}

// randomize | randomize e
void compileRandomize(Parser& p, Emitter& e) {
  extended(e, 24);
  if (p.atEnd()) {
    e.u8(11);
    return;
  }
  e.u8(1);
  compileExpression(p, e);
}

bool decodeRandomize(Decoder& d, LabelNames& names, std::string& out) {
  const int b = d.u8();
  if (b == 11) { out = "randomize"; return d.ok; }
  if (b != 1) return false;
  std::string x;
  if (!decompileExpression(d, names, x)) return false;
  out = "randomize " + x;
  return true;
}

}  // namespace

void compileStatement(const std::string& mnemonic, Parser& p, Emitter& e) {
  if (mnemonic == "let") return compileLet(p, e);
  if (mnemonic == "set") return compileSet(p, e);
  if (mnemonic == "dim") return compileDim(p, e);
  if (mnemonic == "redim") return compileRedim(p, e);
  if (mnemonic == "call") return compileCall(p, e);
  if (mnemonic == "case") return compileCase(p, e);
  if (mnemonic == "color") return compileColor(p, e);
  if (mnemonic == "locate") return compileLocate(p, e);
  if (mnemonic == "randomize") return compileRandomize(p, e);
  if (mnemonic == "extern") return compileExternStatement(p, e, false);
  if (mnemonic == "externfree") return compileExternStatement(p, e, true);
  if (mnemonic == "defstruct") return compileDefStruct(p, e);
  if (mnemonic == "copystruct") return compileCopyStruct(p, e);
  const TemplateRow* row = templateByMnemonic(mnemonic);
  if (!row) p.fail("unknown statement '" + mnemonic + "'");
  e.u8(row->code);
  if (row->sub >= 0) e.u8(row->sub);
  compileTemplate(p, e, row->tmpl);
}

bool decodeStatement(Decoder& d, LabelNames& names, std::string& out) {
  const int code = d.u8();
  int sub = -1;
  if (code == 0) sub = d.u8();
  if (!d.ok) return false;
  switch (code) {
    case 1: case 3: {
      const int kind = d.u8();
      if (!kindName(kind)) return false;
      const int index = d.s16();
      out = std::string("let ") + kindName(kind) + (code == 1 ? ":" : "[") + std::to_string(index) + (code == 1 ? "" : "]");
      if (code == 3) {
        std::string subs;
        if (!decompileSubscripts(d, names, subs)) return false;
        out += subs;
      }
      std::string x;
      if (!decompileExpression(d, names, x)) return false;
      out += " = " + x;
      return true;
    }
    case 12: {
      const int kind = d.u8();
      const int slot = d.u8();
      if (kind <= 7 || kind == 9) {
        std::string x;
        if (!decompileExpression(d, names, x)) return false;
        out = std::string("let arg.") + kindName(kind) + ":" + std::to_string(slot) + " = " + x;
        return true;
      }
      if ((kind >= 13 && kind <= 20) || kind == 22) {
        std::string subs, x;
        if (!decompileSubscripts(d, names, subs) || !decompileExpression(d, names, x)) return false;
        out = std::string("let arg.") + kindName(kind == 22 ? 9 : kind - 13) + "[" + std::to_string(slot) + "]" + subs + " = " + x;
        return true;
      }
      if (kind < 30) return false;
      out = "set arg." + objectTypeText(kind) + ":" + std::to_string(slot);
      return decodeMemberOperands(d, names, kind, d.u8(), out);
    }
    case 8: {
      const int type = d.u8();
      const int index = d.s16();
      out = "set " + objectTypeText(type) + ":" + std::to_string(index);
      return decodeMemberOperands(d, names, type, d.u8(), out);
    }
    case 37: case 38: case 40: case 41:
      return decodeStructureStatement(d, names, code, out);
    case 29: {
      const int type = d.u8();
      const int array = d.s16();
      std::string subs;
      if (!decompileSubscripts(d, names, subs)) return false;
      out = "set " + objectTypeText(type) + "[" + std::to_string(array) + "]" + subs;
      return decodeMemberOperands(d, names, type, d.u8(), out);
    }
    default: break;
  }
  switch (sub) {
    case 0: return decodeDim(d, names, out);
    case 56: return decodeRedim(d, names, out);
    case 3: case 15: case 52: case 53: return decodeCall(d, names, sub, out);
    case 22: out.clear(); return decodeCase(d, names, out);
    case 10: return decodeColor(d, names, out);
    case 11: return decodeLocate(d, names, out);
    case 24: return decodeRandomize(d, names, out);
    case 19: case 20: return decodeExternStatement(d, names, sub == 19, out);
    default: break;
  }
  const TemplateRow* row = templateByCode(code, sub);
  if (!row) return false;
  out = row->mnemonic;
  return decodeTemplate(d, names, row->tmpl, out);
}

}  // namespace kestrel::kasm
