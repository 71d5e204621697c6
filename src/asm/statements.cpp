#include "asm/statements.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "asm/expressions.h"
#include "asm/external_forms.h"
#include "asm/operands.h"
#include "asm/structure_syntax.h"
#include "image/statement_codes.h"
#include "objects/member_info.h"

namespace kestrel::kasm {

namespace {

struct TemplateRow {
  int code;  // top-level code
  int sub;   // extended sub-code, or -1
  const char* tmpl;  // operands after the mnemonic
};

// Statements whose operands a template describes; their mnemonics are in
// image/statement_codes.h.
const TemplateRow kTemplates[] = {
    {kStmtSetResult, -1, " {E}"},
    {kStmtEndBody, -1, ""},
    {kStmtLeave, -1, ""},
    {kStmtContinue, -1, ""},
    {kStmtExtended, kSubMessage, " {E}"},
    {kStmtExtended, kSubPrint, " {E}{Z}"},
    {kStmtExtended, kSubJumpIfFalse, " {E} goto {J}"},
    {kStmtExtended, kSubJump, " {J}"},
    {kStmtExtended, kSubReturn, ""},
    {kStmtExtended, kSubBeginLoop, " {1}{V} = {E} to {E} step {E} else {J}"},
    {kStmtExtended, kSubEndLoop, " {J}"},
    {kStmtExtended, kSubClearScreen, ""},
    {kStmtExtended, kSubSleep, " {E}"},
    {kStmtExtended, kSubEndProgram, ""},
    {kStmtExtended, kSubExitLoop, " {J}"},
    {kStmtExtended, kSubGosub, " {J}"},
    {kStmtExtended, kSubReturnSub, ""},
    {kStmtExtended, kSubSelect, " {B}, {E}"},
    {kStmtExtended, kSubEndSelect, ""},
    {kStmtExtended, kSubTitle, " {E}"},
    {kStmtExtended, kSubScreenCursor, " {E}"},
    {kStmtExtended, kSubChangeDirectory, " {E}"},
    {kStmtExtended, kSubChangeDrive, " {E}"},
    {kStmtExtended, kSubMakeDirectory, " {E}"},
    {kStmtExtended, kSubRemoveDirectory, " {E}"},
    {kStmtExtended, kSubDeleteFile, " {E}"},
    {kStmtExtended, kSubRunAndWait, " {E}"},
    {kStmtExtended, kSubRunProgram, " {E}"},
    {kStmtExtended, kSubRenameFile, " {E}, {E}"},
    {kStmtExtended, kSubCopyPage, " {E}, {E}"},
    {kStmtExtended, kSubPokeScreen, " {E}, {E}"},
    {kStmtExtended, kSubPlaySound, " {E}, {E}"},
    {kStmtExtended, kSubProcessMessages, ""},
    {kStmtExtended, kSubMessageBox, " {E}, {E}, {E}"},
    {kStmtExtended, kSubMessageDialog, " {E}, {E}, {E}, {E}"},
    {kStmtExtended, kSubSlotB, " {E}"},
    {kStmtExtended, kSubSlotC, " {E}"},
    {kStmtExtended, kSubSendMessage, " {E}, {E}, {E}, {E}"},
    {kStmtExtended, kSubPostMessage, " {E}, {E}, {E}, {E}"},
    {kStmtExtended, kSubPagePrint, " {E}, {E}{Z}"},
    {kStmtExtended, kSubPagePoke, " {E}, {E}, {E}"},
    {kStmtExtended, kSubPrinterPrint, " {E}{Z}"},
    {kStmtExtended, kSubEndDocument, ""},
    {kStmtExtended, kSubRestore, " {Q}"},
    {kStmtExtended, kSubSetEnvironment, " {E}"},
    {kStmtExtended, kSubStdOut, " {E}{Z}"},
    {kStmtExtended, kSubDecimalSeparator, " {E}"},
    {kStmtExtended, kSubSaveResource, " {E}, {E}"},
    {kStmtExtended, kSubSortArray, " {A} to {A}, {E}"},
    {kStmtExtended, kSubPortOut, " {E}, {E}"},
    {kStmtExtended, kSubFillArray, " {X} = {L}"},
    {kStmtExtended, kSubLoadCursor, " {E}, {E}"},
    {kStmtExtended, kSubKeyMode, " {B}"},
    {kStmtExtended, kSubSound, " {E}, {E}"},
    {kStmtExtended, kSubFreeLibrary, " {E}"},
    {kStmtExtended, kSubPlayResource, " {W}, {E}"},
};

std::string_view mnemonicOf(const TemplateRow& row) { return kestrel::mnemonicOf(*findStatement(row.code, row.sub)); }

const TemplateRow* templateByMnemonic(const std::string& m) {
  struct Named {
    std::string_view mnemonic;
    const TemplateRow* row;
  };
  static const std::vector<Named> named = [] {
    std::vector<Named> list;
    for (const TemplateRow& row : kTemplates) list.push_back({mnemonicOf(row), &row});
    return list;
  }();
  for (const Named& n : named)
    if (m == n.mnemonic) return n.row;
  return nullptr;
}

const TemplateRow* templateByCode(int code, int sub) {
  for (const TemplateRow& row : kTemplates)
    if (row.code == code && row.sub == sub) return &row;
  return nullptr;
}

void extended(Emitter& e, int sub) {
  e.u8(kStmtExtended);
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
    e.u8(kStmtAssignParameter);
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
    e.u8(kStmtAssign);
    e.u8(kind);
    const int64_t index = p.integer();
    e.s16(index);
    e.useVariable(kind, index, false, column);
  } else {
    p.expect("[");
    e.u8(kStmtAssignElement);
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
    e.u8(kStmtAssignParameter);
    e.u8(type);
    e.u8(p.integer());
  } else if (p.accept(":")) {
    e.u8(kStmtMemberWrite);
    e.u8(type);
    e.s16(p.integer());
  } else {
    p.expect("[");
    e.u8(kStmtArrayMemberWrite);
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
  extended(e, kSubDeclare);
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
  extended(e, kSubRedim);
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
  extended(e, computed ? (open ? kSubComputedOpenCall : kSubComputedCall) : (open ? kSubOpenCall : kSubCall));
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
  const bool open = sub == kSubOpenCall || sub == kSubComputedOpenCall;
  if (open && count != 0) return false;
  std::string target;
  if (sub == kSubComputedCall || sub == kSubComputedOpenCall) {
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
  extended(e, kSubCase);
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
  extended(e, kSubColor);
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
  extended(e, kSubLocate);
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
  extended(e, kSubRandomize);
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
  if (code == kStmtExtended) sub = d.u8();
  if (!d.ok) return false;
  switch (code) {
    case kStmtAssign: case kStmtAssignElement: {
      const int kind = d.u8();
      if (!kindName(kind)) return false;
      const int index = d.s16();
      out = std::string("let ") + kindName(kind) + (code == kStmtAssign ? ":" : "[") + std::to_string(index) +
            (code == kStmtAssign ? "" : "]");
      if (code == kStmtAssignElement) {
        std::string subs;
        if (!decompileSubscripts(d, names, subs)) return false;
        out += subs;
      }
      std::string x;
      if (!decompileExpression(d, names, x)) return false;
      out += " = " + x;
      return true;
    }
    case kStmtAssignParameter: {
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
    case kStmtMemberWrite: {
      const int type = d.u8();
      const int index = d.s16();
      out = "set " + objectTypeText(type) + ":" + std::to_string(index);
      return decodeMemberOperands(d, names, type, d.u8(), out);
    }
    case kStmtStructure: case kStmtStructArrayField: case kStmtCopyStructure: case kStmtCopyIntoElement:
      return decodeStructureStatement(d, names, code, out);
    case kStmtArrayMemberWrite: {
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
    case kSubDeclare: return decodeDim(d, names, out);
    case kSubRedim: return decodeRedim(d, names, out);
    case kSubCall: case kSubOpenCall: case kSubComputedCall: case kSubComputedOpenCall:
      return decodeCall(d, names, sub, out);
    case kSubCase: out.clear(); return decodeCase(d, names, out);
    case kSubColor: return decodeColor(d, names, out);
    case kSubLocate: return decodeLocate(d, names, out);
    case kSubRandomize: return decodeRandomize(d, names, out);
    case kSubExternalCallFree: case kSubExternalCall:
      return decodeExternStatement(d, names, sub == kSubExternalCallFree, out);
    default: break;
  }
  const TemplateRow* row = templateByCode(code, sub);
  if (!row) return false;
  out = mnemonicOf(*row);
  return decodeTemplate(d, names, row->tmpl, out);
}

}  // namespace kestrel::kasm
