// The compiling half of the fast path: statements and expressions decoded
// into operations, and the blocks that hold them.
#include <cmath>
#include <cstring>

#include "expr/builtin_functions.h"
#include "expr/conversions.h"
#include "expr/item_codes.h"
#include "expr/operators.h"
#include "interp/fast_path_ops.h"
#include "core/machine.h"
#include "interp/statements.h"

namespace kestrel {

using namespace fast;

namespace {

// The fused form of a binary operation whose right operand is `operand`.
bool fuse(Op& last, OpCode binary, uint8_t operatorCode) {
  int family;
  switch (last.code) {
    case oConst: family = 0; break;
    case oLoadInt: family = 1; break;
    case oLoadDouble: family = 2; break;
    case oParamInt: family = 3; break;
    default: return false;
  }
  int which;
  switch (binary) {
    case oAdd: which = 0; break;
    case oSub: which = 1; break;
    case oMul: which = 2; break;
    case oDiv: which = 3; break;
    case oBinary: which = 4; break;
    default: return false;
  }
  last.code = static_cast<OpCode>(oAddK + family * 5 + which);
  last.kind = operatorCode;
  return true;
}

// Whether a 32-bit integer combined with the constant `k` always gives a
// finite result, so that the fused operation needs no overflow check.
bool finiteWithInteger(OpCode withConstant, double k) {
  const double size = std::fabs(k);
  switch (withConstant) {
    case oAddK: case oSubK: return size < 1e300;
    case oMulK: return size < 1e290;
    case oDivK: return size > 1e-290 && size < 1e300;
    default: return true;  // the other operators check nothing here
  }
}

// A variable followed by an operation with a constant becomes one operation
// that pushes the result: [load p][op k] -> [push p op k].
bool fuseLoad(Op& load, const Op& withConstant) {
  if (withConstant.code < oAddK || withConstant.code > oBinaryK) return false;
  const int which = withConstant.code - oAddK;
  if ((load.code == oLoadInt || load.code == oParamInt) && !finiteWithInteger(withConstant.code, withConstant.k))
    return false;
  if (load.code == oLoadInt) load.code = static_cast<OpCode>(oIntAddK + which);
  else if (load.code == oLoadDouble) load.code = static_cast<OpCode>(oDblAddK + which);
  else if (load.code == oParamInt) {
    load.code = static_cast<OpCode>(oPIntAddK + which);
    load.count = static_cast<uint8_t>(load.a);
  } else {
    return false;
  }
  load.kind = withConstant.kind;
  load.k = withConstant.k;  // the variable's address moves to q
  return true;
}

// Modulo by a constant that rounds to an integer other than 0 and -1 (the
// cases with rules of their own) is the processor's remainder.
void constantModulo(Op& op) {
  if (op.kind != kOpModulo || !(op.k > -2147483648.5 && op.k < 2147483647.5)) return;
  const int32_t divisor = roundToInt32(op.k);
  if (divisor == 0 || divisor == -1) return;
  switch (op.code) {
    case oBinaryK: op.code = oModK; break;
    case oIntBinaryK: op.code = oIntModK; break;
    case oPIntBinaryK: op.code = oPIntModK; break;
    default: return;
  }
  op.b = divisor;
}

bool ignoredItem(uint8_t item) {
  return item == 0 || item == 4 || item == 5 || item == 7 || item == 9 || item == 10 || item == 14 ||
         item == 16 || (item >= 18 && item <= 26) || (item >= 30 && item <= 36) ||
         (item >= 42 && item <= 49) || (item >= 66 && item <= 69) || item > 75;
}

int32_t readS32(const uint8_t* code, int32_t p) {
  int32_t v;
  std::memcpy(&v, code + p, 4);
  return v;
}

}  // namespace

int32_t FastPath::Impl::compileNested(Machine& m, int32_t p, int depth, int32_t& end) {
  if (exprAt[static_cast<size_t>(p)] > 0) {
    const int32_t id = exprAt[static_cast<size_t>(p)] - 1;
    end = ends[static_cast<size_t>(id)];
    return id;
  }
  std::vector<Op> ops;
  int sp = 0;
  const int32_t after = compileExpression(m, p, ops, sp, depth);
  if (after < 0) return after;
  if (sp == 0) return kNo;  // no number: the result would be a string
  ops.push_back(Op(oEnd));
  const int32_t id = addEntry(m, ops, after);
  exprAt[static_cast<size_t>(p)] = id + 1;
  end = after;
  return id;
}

// One expression compiled into `out` that leaves exactly one number.
int32_t FastPath::Impl::compileValue(Machine& m, int32_t& p, std::vector<Op>& out, int depth, int base) {
  int sp = 0;
  const int32_t after = compileExpression(m, p, out, sp, depth + 1, base);
  if (after < 0) return after;
  if (sp != 1) return kNo;
  p = after;
  return after;
}

// Subscripts compiled into `out`: each before the last is checked right
// away, as the decoder converts each as soon as it has it.
int32_t FastPath::Impl::compileSubscripts(Machine& m, int32_t& p, std::vector<Op>& out, int count, int depth,
                                          int base) {
  for (int i = 0; i < count; ++i) {
    if (int32_t r = compileValue(m, p, out, depth, base + i); r < 0) return r;
    if (i + 1 < count) out.push_back(Op(oTruncCheck));
  }
  return p;
}

// The arguments of a call (markers and values) compiled into `out`; each
// goes into its frame slot as soon as it is known, as the decoder does.
int32_t FastPath::Impl::compileCall(Machine& m, int32_t& p, std::vector<Op>& out, int count, int depth, int base) {
  out.push_back(Op(oCallBegin));
  for (int k = 0; k < count; ++k) {
    if (p >= m.size) return kNo;
    const int marker = m.code[p++];
    if (marker == kVariant || marker >= 13) {
      // By reference: a variable, an array or an object, or the caller's own
      // reference passed on; elements of object and variant arrays go to the decoder.
      if (p + 2 > m.size) return kNo;
      int16_t index;
      std::memcpy(&index, m.code + p, 2);
      p += 2;
      Op reference(index == -1 ? oPassOn : oReference);
      reference.a = k;
      reference.kind = static_cast<uint8_t>(marker);
      if (index == -1) {
        if (p >= m.size || m.code[p] >= kSlotsPerFrame) return kNo;
        reference.b = m.code[p++];
      } else {
        reference.b = index;
        if (marker == kVariant || marker >= 30) {
          if (p >= m.size) return kNo;
          const int form = m.code[p++];
          if (form == 29 || form == 3) return kNo;
        }
      }
      out.push_back(reference);
      continue;
    }
    if (int32_t r = compileValue(m, p, out, depth, base); r < 0) return r;
    Op argument(oArgument);
    argument.a = k;
    out.push_back(argument);
  }
  if (p >= m.size || m.code[p] == 33) return kNo;  // a continuation byte follows
  return p;
}

int32_t FastPath::Impl::compileExpression(Machine& m, int32_t p, std::vector<Op>& out, int& sp, int depth, int base) {
  if (depth > kMaxNesting) return kNo;
  const size_t first = out.size();  // ops before this belong to the statement
  const uint8_t* code = m.code;
  const int32_t size = m.size;
  auto need = [&](int32_t n) { return p + n <= size; };
  for (;;) {
    if (!need(1)) return kNo;
    const uint8_t item = code[p++];
    if (p >= size) return kNo;  // the image's last byte ends an expression unexecuted
    if (item == kItemEnd) return p;
    Op op;
    switch (item) {
      case kItemVariable: {
        if (!need(1)) return kNo;
        const int kind = code[p];
        if (kind > kVariant) {  // reads only the kind byte and pushes nothing
          ++p;
          continue;
        }
        if (!isNumericKind(kind) || !need(3)) return kNo;
        int16_t index;
        std::memcpy(&index, code + p + 1, 2);
        p += 3;
        const NumericStore& store = *m.vars.scalars[kind];
        const size_t w = static_cast<size_t>(kElementWidth[kind]);
        // Stores only grow: a variable that exists now always will.
        if (index < 0 || (static_cast<size_t>(index) + 1) * w > store.size()) return kLater;
        static constexpr OpCode kLoads[8] = {oEnd, oLoadByte, oLoadShort, oLoadInt, oLoadWord, oLoadInt, oLoadSingle, oLoadDouble};
        op.code = kLoads[kind];
        op.p = store.data() + static_cast<size_t>(index) * w;
        ++sp;
        break;
      }
      case kItemConstant: {
        if (!need(1)) return kNo;
        const int kind = code[p++];
        op.code = oConst;
        switch (kind) {
          case 1: if (!need(1)) return kNo; op.k = code[p]; p += 1; break;
          case 2: { if (!need(2)) return kNo; int16_t v; std::memcpy(&v, code + p, 2); op.k = v; p += 2; break; }
          case 4: { if (!need(2)) return kNo; uint16_t v; std::memcpy(&v, code + p, 2); op.k = v; p += 2; break; }
          case 3: case 5: { if (!need(4)) return kNo; int32_t v; std::memcpy(&v, code + p, 4); op.k = v; p += 4; break; }
          case 6: { if (!need(4)) return kNo; float v; std::memcpy(&v, code + p, 4); op.k = v; p += 4; break; }
          case 7: if (!need(8)) return kNo; std::memcpy(&op.k, code + p, 8); p += 8; break;
          case 0: return kNo;  // a string
          default: continue;   // pushes nothing
        }
        ++sp;
        break;
      }
      case kItemElement: {
        if (!need(4)) return kNo;
        const int kind = code[p];
        if (!isNumericKind(kind)) return kNo;
        int16_t array;
        std::memcpy(&array, code + p + 1, 2);
        int count = code[p + 3];
        p += 4;
        if (count == 0) count = 1;
        if (count > 5) return kNo;
        if (array < 0 || array >= kArrayTableSize) return kNo;  // the decoder reports it
        op.code = oElement;
        op.kind = static_cast<uint8_t>(kind);
        op.a = array;
        op.count = static_cast<uint8_t>(count);
        op.descriptor = &m.vars.descriptors[static_cast<size_t>(kind)][static_cast<size_t>(array)];
        op.store = m.vars.arrays[kind].get();
        if (int32_t r = compileSubscripts(m, p, out, count, depth, base + sp); r < 0) return r;
        if (count == 1 && (kind == kInteger || kind == kLong)) op.code = oElementI32;
        if (count <= 2 && kind == kDouble) op.code = count == 1 ? oElementD1 : oElementD2;
        ++sp;
        break;
      }
      case kItemParameter: {
        if (!need(2)) return kNo;
        const int kind = code[p];
        if (kind >= 14 && kind <= 20 && code[p + 1] < kSlotsPerFrame) {  // an element of a numeric array
          if (!need(3)) return kNo;
          op.code = oParamElement;
          op.kind = static_cast<uint8_t>(kind - 13);
          op.a = code[p + 1];
          int count = code[p + 2];
          p += 3;
          if (count == 0) count = 1;
          if (count > 5) return kNo;
          op.count = static_cast<uint8_t>(count);
          const size_t before = out.size();
          if (int32_t r = compileSubscripts(m, p, out, count, depth, base + sp); r < 0) return r;
          if (count == 1 && (op.kind == kInteger || op.kind == kLong)) {
            op.code = oParamElementI32;
            if (out.size() == before + 1 && out.back().code == oParamInt) {  // subscripted by a parameter
              op.code = oParamElementI32P;
              op.b = out.back().a;
              out.pop_back();
            }
          }
          ++sp;
          break;
        }
        if (!isNumericKind(kind) || code[p + 1] >= kSlotsPerFrame) return kNo;
        op.code = (kind == kInteger || kind == kLong) ? oParamInt : (kind >= kSingle ? oParamDouble : oParameter);
        op.kind = static_cast<uint8_t>(kind);
        op.a = code[p + 1];
        p += 2;
        ++sp;
        break;
      }
      case kItemBuiltin: {
        // The functions of one number; the others stay with the decoder.
        if (!need(1) || !isMathFunction(code[p])) return kNo;
        op.code = oMath;
        op.kind = code[p++];
        if (int32_t r = compileValue(m, p, out, depth, base + sp); r < 0) return r;
        ++sp;
        break;
      }
      case kItemCall: {
        // A call of a numeric function with values for arguments.
        if (!need(6)) return kNo;
        const int resultKind = code[p];
        if (resultKind < 2 || resultKind > 8) return kNo;
        const int count = code[p + 1];
        int32_t entry;
        std::memcpy(&entry, code + p + 2, 4);
        p += 6;
        if (int32_t r = compileCall(m, p, out, count, depth, base + sp); r < 0) return r;
        op.code = oCall;
        op.a = entry;
        op.b = p;
        ++sp;
        break;
      }
      default: {
        if (isOperator(item)) {
          if (item == kOpCharAt) return kNo;
          const bool unary = item == kOpNot || item == kOpNegate;
          if (sp < (unary ? 1 : 2)) return kNo;  // too few operands: the decoder's rules
          if (!unary) --sp;
          switch (item) {
            case kOpPlus: op.code = oAdd; break;
            case kOpMinus: op.code = oSub; break;
            case kOpTimes: op.code = oMul; break;
            case kOpDivide: op.code = oDiv; break;
            case kOpNegate: op.code = oNegate; break;
            case kOpNot: op.code = oNot; break;
            default: op.code = oBinary; op.kind = item; break;
          }
          // An operand pushed just before (not an earlier statement's op) fuses in.
          if (!unary && out.size() > first && fuse(out.back(), op.code, item)) {
            if (out.size() > first + 1) {
              Op& load = out[out.size() - 2];
              uint8_t* address = load.p;
              if (fuseLoad(load, out.back())) {
                load.q = address;
                out.pop_back();
              }
            }
            constantModulo(out.back());
            if (sp > kNumberStackSize || base + sp > kFastStack) return kNo;
            continue;
          }
          break;
        }
        if (!ignoredItem(item)) return kNo;  // strings, functions, members, structures
        continue;
      }
    }
    if (sp > kNumberStackSize || base + sp > kFastStack) return kNo;
    out.push_back(op);
  }
}

int32_t FastPath::Impl::compileStatement(Machine& m, int32_t p, std::vector<Op>& out, bool& endsBlock) {
  const uint8_t* code = m.code;
  const int32_t size = m.size;
  if (p + 1 >= size) return kNo;  // the image's last byte is never executed
  const int32_t start = p;
  std::vector<Op> ops;
  auto need = [&](int32_t n) { return p + n <= size; };
  // A numeric expression at p, appended to ops.
  int lastSp = 0;  // the numbers the last expression left
  auto expression = [&]() -> int32_t {
    int sp = 0;
    const size_t first = ops.size();
    const int32_t after = compileExpression(m, p, ops, sp, 0);
    if (after >= 0 && sp == 0) return kNo;
    if (after >= 0) p = after;
    lastSp = ops.size() > first ? sp : 0;
    return after;
  };
  auto target = [&](int32_t offsetAt) -> int32_t {
    const int64_t t = int64_t{offsetAt} + 4 + readS32(code, offsetAt);
    return (t < 0 || t > size) ? kNo : static_cast<int32_t>(t);
  };
  const uint8_t opcode = code[p++];
  switch (opcode) {
    case kStmtAssign: case kStmtAssignElement: {
      if (!need(3)) return kNo;
      const int kind = code[p];
      if (!isNumericKind(kind)) return kNo;
      int16_t index;
      std::memcpy(&index, code + p + 1, 2);
      p += 3;
      if (opcode == kStmtAssign) {
        const NumericStore& store = *m.vars.scalars[kind];
        const size_t w = static_cast<size_t>(kElementWidth[kind]);
        if (index < 0 || (static_cast<size_t>(index) + 1) * w > store.size()) return kLater;
        if (int32_t r = expression(); r < 0) return r;
        Op op(kind == kInteger || kind == kLong ? oAssignInt : (kind == kDouble ? oAssignDouble : oAssign));
        op.kind = static_cast<uint8_t>(kind);
        op.p = store.data() + static_cast<size_t>(index) * w;
        if (op.code == oAssignInt && ops.size() == 1 && (ops[0].code == oIntAddK || ops[0].code == oIntSubK) &&
            ops[0].q == op.p) {
          // A 32-bit variable counted up or down: one operation.
          ops[0].k = ops[0].code == oIntAddK ? ops[0].k : -ops[0].k;
          ops[0].code = oIntStepK;
          break;
        }
        ops.push_back(op);
      } else {
        if (!need(1)) return kNo;
        int count = code[p++];
        if (count == 0) count = 1;
        if (count > 5) return kNo;
        if (index < 0 || index >= kArrayTableSize) return kNo;
        Op op(oElementTarget);
        op.kind = static_cast<uint8_t>(kind);
        op.a = index;
        op.count = static_cast<uint8_t>(count);
        op.descriptor = &m.vars.descriptors[static_cast<size_t>(kind)][static_cast<size_t>(index)];
        op.store = m.vars.arrays[kind].get();
        if (int32_t r = compileSubscripts(m, p, ops, count, 0, 0); r < 0) return r;
        ops.push_back(op);
        if (int32_t r = expression(); r < 0) return r;
        Op store(kind == kDouble ? oStoreElementD : oStoreElement);
        store.kind = static_cast<uint8_t>(kind);
        ops.push_back(store);
      }
      break;
    }
    case kStmtAssignParameter: {
      if (!need(2)) return kNo;
      const int kind = code[p];
      const int slot = code[p + 1];
      if (kind >= 14 && kind <= 20 && slot < kSlotsPerFrame) {  // an element of a numeric array
        if (!need(3)) return kNo;
        int count = code[p + 2];
        p += 3;
        if (count == 0) count = 1;
        if (count > 5) return kNo;
        Op target(oParamElementTarget);
        target.kind = static_cast<uint8_t>(kind - 13);
        target.a = slot;
        target.count = static_cast<uint8_t>(count);
        if (int32_t r = compileSubscripts(m, p, ops, count, 0, 0); r < 0) return r;
        ops.push_back(target);
        if (int32_t r = expression(); r < 0) return r;
        Op store(oStoreElement);
        store.kind = target.kind;
        ops.push_back(store);
        break;
      }
      if (!isNumericKind(kind) || slot >= kSlotsPerFrame) return kNo;
      p += 2;
      if (int32_t r = expression(); r < 0) return r;
      if (ops.size() == 1 && (ops[0].code == oPIntAddK || ops[0].code == oPIntSubK) && ops[0].count == slot) {
        // An integer parameter counted up or down: one operation.
        ops[0].k = ops[0].code == oPIntAddK ? ops[0].k : -ops[0].k;
        ops[0].code = oParamStepK;
        ops[0].a = slot;
        break;
      }
      Op op(oAssignParam);
      op.a = slot;
      ops.push_back(op);
      break;
    }
    case kStmtSetResult: {
      if (int32_t r = expression(); r < 0) return r;
      ops.push_back(Op(oSetResult));
      break;
    }
    case kStmtEndBody: case kStmtLeave: {
      Op op(opcode == kStmtEndBody ? oEndBody : oLeave);
      op.b = p;
      ops.push_back(op);
      endsBlock = true;
      break;
    }
    case kStmtExtended: {
      if (!need(1)) return kNo;
      const uint8_t sub = code[p++];
      switch (sub) {
        case 4: {  // jump if false
          if (int32_t r = expression(); r < 0) return r;
          if (!need(4)) return kNo;
          Op op(oJumpIfFalse);
          op.a = target(p);
          p += 4;
          op.b = p;
          if (op.a < 0) return kNo;
          // A comparison that makes the whole value branches by itself.
          Op& last = ops.back();
          const bool comparison = last.kind >= kOpEqual && last.kind <= kOpLessEqual;
          OpCode family = oEnd;
          switch (last.code) {
            case oBinary: family = oCmpJumpEQ; break;
            case oBinaryK: family = oCmpJumpKEQ; break;
            case oBinaryP: family = oCmpJumpPEQ; break;
            case oPIntBinaryK: family = oPCmpJumpKEQ; break;
            default: break;
          }
          if (lastSp == 1 && comparison && family != oEnd) {
            last.code = static_cast<OpCode>(family + (last.kind - kOpEqual));
            if (family == oCmpJumpPEQ) last.count = static_cast<uint8_t>(last.a);  // a becomes the target
            last.a = op.a;
            last.b = op.b;
          } else {
            ops.push_back(op);
          }
          break;  // the block goes on with the next statement
        }
        case 5: case 16: {  // jump, leave counted loop
          if (!need(4)) return kNo;
          Op op(sub == 5 ? oJump : oExitFor);
          op.a = target(p);
          p += 4;
          if (op.a < 0) return kNo;
          ops.push_back(op);
          endsBlock = true;
          break;
        }
        case 6:
          ops.push_back(Op(oReturn));
          endsBlock = true;
          break;
        case 7: {  // begin counted loop on a numeric variable
          if (!need(4) || code[p] != 1) return kNo;
          const int kind = code[p + 1];
          int16_t index;
          std::memcpy(&index, code + p + 2, 2);
          p += 4;
          if (!isNumericKind(kind)) return kNo;
          const NumericStore& store = *m.vars.scalars[kind];
          const size_t w = static_cast<size_t>(kElementWidth[kind]);
          if (index < 0 || (static_cast<size_t>(index) + 1) * w > store.size()) return kLater;
          if (int32_t r = expression(); r < 0) return r;
          Op startOp(oLoopStart);
          startOp.kind = static_cast<uint8_t>(kind);
          startOp.p = store.data() + static_cast<size_t>(index) * w;
          ops.push_back(startOp);
          if (int32_t r = expression(); r < 0) return r;
          ops.push_back(Op(oLoopLimit));
          if (int32_t r = expression(); r < 0) return r;
          if (!need(4)) return kNo;
          Op op(oLoopBegin);
          op.kind = static_cast<uint8_t>(kind);
          op.p = startOp.p;
          op.a = index;
          op.b = target(p);
          p += 4;
          if (op.b < 0) return kNo;
          ops.push_back(op);
          break;
        }
        case 8: {  // end of counted loop
          if (!need(4)) return kNo;
          Op op(oLoopEnd);
          op.a = target(p);
          p += 4;
          op.b = p;
          if (op.a < 0) return kNo;
          ops.push_back(op);
          endsBlock = true;
          break;
        }
        case 3: {  // call a procedure with values for arguments
          if (!need(5)) return kNo;
          const int count = code[p];
          const int32_t entry = readS32(code, p + 1);
          p += 5;
          if (int32_t r = compileCall(m, p, ops, count, 0, 0); r < 0) return r;
          Op op(oCallStatement);
          op.a = entry;
          op.b = p;
          ops.push_back(op);
          break;
        }
        default:
          return kNo;
      }
      break;
    }
    default:
      return kNo;
  }
  for (Op& op : ops) op.statement = start;
  out.insert(out.end(), ops.begin(), ops.end());
  return p;
}

const Op* FastPath::Impl::blockFor(Machine& m, int32_t position) {
  if (position < 0 || position > m.size) return nullptr;
  int32_t& slot = blockAt[static_cast<size_t>(position)];
  if (slot > 0) return entries[static_cast<size_t>(slot - 1)];
  if (slot == kNone) return nullptr;
  std::vector<Op> ops;
  int32_t p = position;
  bool endsBlock = false;
  int statements = 0;
  while (!endsBlock && statements < kMaxBlockStatements) {
    std::vector<Op> statementOps;
    const int32_t next = compileStatement(m, p, statementOps, endsBlock);
    if (next < 0) {
      if (statements == 0) {
        if (next == kNo) slot = kNone;  // kLater: try again once the variable exists
        return nullptr;
      }
      endsBlock = false;
      break;
    }
    ops.insert(ops.end(), statementOps.begin(), statementOps.end());
    p = next;
    ++statements;
  }
  if (!endsBlock) {
    Op exit(oExit);
    exit.a = p;
    exit.statement = p;
    ops.push_back(exit);
  }
  ops.front().charge = static_cast<uint8_t>(statements);
  const int32_t id = addEntry(m, ops, p);
  slot = id + 1;
  return entries[static_cast<size_t>(id)];
}

}  // namespace kestrel
