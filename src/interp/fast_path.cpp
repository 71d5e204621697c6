#include "interp/fast_path.h"

#include <cstring>

#include "expr/builtin_functions.h"
#include "expr/conversions.h"
#include "expr/item_codes.h"
#include "expr/operators.h"
#include "interp/machine.h"
#include "interp/statements.h"

namespace kestrel {

namespace {

// Every operation, in one list so that the dispatch table follows it.
#define KESTREL_FAST_OPS(X)                                                            \
  /* Expression operations: push onto or combine on the number stack. */             \
  X(oConst) X(oLoadByte) X(oLoadShort) X(oLoadInt) X(oLoadWord) X(oLoadSingle)        \
  X(oLoadDouble)                                                                       \
  X(oElement)   /* kind, a: array, count: subscripts on the stack */                  \
  X(oParameter) /* kind, a: slot */                                                   \
  X(oParamInt)  /* a: slot of a 32-bit integer parameter (rounded) */                 \
  X(oParamDouble) /* a: slot of a float parameter (as stored) */                      \
  X(oParamElement) /* kind: element kind, a: slot holding the array, count: subscripts */ \
  X(oCallBegin) /* remembers the call depth whose frame the arguments go to */       \
  X(oArgument)  /* a: slot; pops the argument into the frame */                       \
  X(oReference) /* a: slot, kind: marker, b: index; a by-reference argument */       \
  X(oPassOn)    /* a: slot, kind: marker, b: the caller's slot; passes its reference on */ \
  X(oCall)      /* a: entry, b: resume position */                                    \
  X(oAdd) X(oSub) X(oMul) X(oDiv) X(oNegate) X(oNot)                                   \
  X(oBinary)    /* kind: operator code */                                             \
  X(oMath)      /* kind: function code of a function of one number */                \
  /* An operator whose right operand is a constant (k) or a 32-bit or double */       \
  /* variable (p), fused so that the operand needs no operation of its own. */        \
  X(oAddK) X(oSubK) X(oMulK) X(oDivK) X(oBinaryK)                                      \
  X(oAddI) X(oSubI) X(oMulI) X(oDivI) X(oBinaryI)                                      \
  X(oAddD) X(oSubD) X(oMulD) X(oDivD) X(oBinaryD)                                      \
  /* A 32-bit or double variable (p) combined with a constant (k), pushed. */        \
  X(oIntAddK) X(oIntSubK) X(oIntMulK) X(oIntDivK) X(oIntBinaryK)                       \
  X(oDblAddK) X(oDblSubK) X(oDblMulK) X(oDblDivK) X(oDblBinaryK)                       \
  X(oEnd)       /* end of an expression entry: the value is st[0] */                  \
  /* Statements. */                                                                    \
  X(oStatement)      /* a: start position (error reports, the step budget) */         \
  X(oAssign)         /* kind, p: store st[0] into a scalar */                         \
  X(oAssignInt) X(oAssignDouble)                                                       \
  X(oElementTarget)  /* kind, a: array, count: the element (subscripts on the stack) */ \
  X(oParamElementTarget) /* the same for an array passed by reference in slot a */   \
  X(oStoreElement)   /* kind: store st[0] into that element */                        \
  X(oAssignParam)    /* a: slot */                                                    \
  X(oSetResult)                                                                        \
  X(oCallStatement)  /* as oCall, no result */                                        \
  X(oLoopStart)      /* kind, p: store the start value */                             \
  X(oLoopLimit)                                                                        \
  X(oLoopBegin)      /* kind, a: variable index, b: where to go when the body does not run */ \
  X(oLoopEnd)        /* a: first statement of the body, b: after the statement */     \
  X(oExitFor)        /* a: target */                                                  \
  X(oJump)           /* a: target */                                                  \
  X(oJumpIfFalse)    /* a: target, b: after the statement */                          \
  X(oCompareJump)    /* kind: comparison; jumps to a when it fails, else goes to b */ \
  X(oCompareJumpK)   /* the same against the constant k */                            \
  X(oReturn)                                                                           \
  X(oEndBody)        /* b: after the statement */                                     \
  X(oLeave)          /* b: after the statement */                                     \
  X(oExit)           /* a: where the decoder takes over */

#define X(name) name,
enum OpCode : uint8_t { KESTREL_FAST_OPS(X) };
#undef X

struct Op {
  OpCode code;
  uint8_t kind = 0;
  uint8_t count = 0;
  int32_t a = 0;
  int32_t b = 0;
  union {
    double k;
    uint8_t* p;
  };
  // Blocks at the targets a and b, found on first use.
  const void* handler = nullptr;  // where its code starts (threaded dispatch)
  const uint8_t* q = nullptr;     // the variable of a fused load with a constant
  mutable const Op* blockA = nullptr;
  mutable const Op* blockB = nullptr;
  // The descriptor and store of a named array (they never move).
  const ArrayDescriptor* descriptor = nullptr;
  const NumericStore* store = nullptr;
  Op() : code(oEnd), k(0) {}
  explicit Op(OpCode c) : code(c), k(0) {}
};

// The fused form of a binary operation whose right operand is `operand`.
bool fuse(Op& last, OpCode binary, uint8_t operatorCode) {
  int family;
  switch (last.code) {
    case oConst: family = 0; break;
    case oLoadInt: family = 1; break;
    case oLoadDouble: family = 2; break;
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

// A variable followed by an operation with a constant becomes one operation
// that pushes the result: [load p][op k] -> [push p op k].
bool fuseLoad(Op& load, const Op& withConstant) {
  if (withConstant.code < oAddK || withConstant.code > oBinaryK) return false;
  const int which = withConstant.code - oAddK;
  if (load.code == oLoadInt) load.code = static_cast<OpCode>(oIntAddK + which);
  else if (load.code == oLoadDouble) load.code = static_cast<OpCode>(oDblAddK + which);
  else return false;
  load.kind = withConstant.kind;
  load.k = withConstant.k;  // the variable's address moves to q
  return true;
}

constexpr int32_t kUntried = 0;
constexpr int32_t kNone = -1;
// Compile results below zero.
constexpr int32_t kNo = -1;     // not for the fast path, ever
constexpr int32_t kLater = -2;  // names a variable that does not exist yet
constexpr int kMaxNesting = 8;
constexpr int kMaxBlockStatements = 64;
// The numbers held at once by a statement and the subscripts and arguments
// nested in it; deeper nesting stays with the decoder. Small, because every
// call of a byte-code procedure takes one such stack.
constexpr int kFastStack = 32;

bool ignoredItem(uint8_t item) {
  return item == 0 || item == 4 || item == 5 || item == 7 || item == 9 || item == 10 || item == 14 ||
         item == 16 || (item >= 18 && item <= 26) || (item >= 30 && item <= 36) ||
         (item >= 42 && item <= 49) || (item >= 66 && item <= 69) || item > 75;
}

}  // namespace

struct FastPath::Impl {
  std::vector<int32_t> blockAt;  // statement position -> entry + 1, 0 untried, -1 none
  std::vector<int32_t> exprAt;   // expression position -> entry + 1, 0 untried, -1 none
  std::vector<std::unique_ptr<Op[]>> storage;
  std::vector<const Op*> entries;
  std::vector<int32_t> ends;     // per entry: the position after it

  explicit Impl(int32_t size)
      : blockAt(static_cast<size_t>(size) + 1, kUntried), exprAt(static_cast<size_t>(size) + 1, kUntried) {}

  int32_t addEntry(Machine& m, const std::vector<Op>& ops, int32_t end) {
    auto array = std::make_unique<Op[]>(ops.size());
    std::copy(ops.begin(), ops.end(), array.get());
    link(m, array.get(), ops.size());
    entries.push_back(array.get());
    ends.push_back(end);
    storage.push_back(std::move(array));
    return static_cast<int32_t>(entries.size()) - 1;
  }

  // ---------------------------------------------------------------- compiling

  // The ops of the expression at `p` go to `out`; returns the position after
  // its terminator, or kNo/kLater. `sp` counts the numbers it leaves.
  int32_t compileExpression(Machine& m, int32_t p, std::vector<Op>& out, int& sp, int depth, int base = 0);
  // An expression of its own (subscripts, arguments): its entry id, or kNo/kLater.
  int32_t compileNested(Machine& m, int32_t p, int depth, int32_t& end);
  int32_t compileValue(Machine& m, int32_t& p, std::vector<Op>& out, int depth, int base);
  int32_t compileCall(Machine& m, int32_t& p, std::vector<Op>& out, int count, int depth, int base);
  int32_t compileStatement(Machine& m, int32_t p, std::vector<Op>& out, bool& endsBlock);
  const Op* blockFor(Machine& m, int32_t position);

  double exec(Machine& m, const Op* op, FastPath::Exit* exit);
  // Gives each op the address of its code, where dispatch is threaded.
  void link(Machine& m, Op* ops, size_t count);
  static const void* const* handlers;
  uint8_t* elementAddress(Machine& m, const Op& op, const double* subscripts);
  void callProcedure(Machine& m, const Op& op);
  uint8_t* elementAddress(Machine& m, int kind, int32_t array, int count, const double* subscripts);
};

FastPath::FastPath(int32_t imageSize) : impl_(std::make_unique<Impl>(imageSize)) {}
FastPath::~FastPath() = default;

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
        for (int i = 0; i < count; ++i)
          if (int32_t r = compileValue(m, p, out, depth, base + sp + i); r < 0) return r;
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
          for (int i = 0; i < count; ++i)
            if (int32_t r = compileValue(m, p, out, depth, base + sp + i); r < 0) return r;
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

namespace {
inline bool compare(uint8_t code, double a, double b) {
  switch (code) {
    case kOpEqual: return a == b;
    case kOpNotEqual: return a != b;
    case kOpGreater: return a > b;
    case kOpLess: return a < b;
    case kOpGreaterEqual: return a >= b;
    default: return a <= b;
  }
}

// The rarer binary operators; modulo, the commonest of them, inline.
inline double binary(uint8_t code, double a, double b) {
  switch (code) {
    case kOpModulo: return integerModulo(roundToInt32(a), roundToInt32(b));
    case kOpEqual: return a == b ? -1 : 0;
    case kOpNotEqual: return a != b ? -1 : 0;
    case kOpGreater: return a > b ? -1 : 0;
    case kOpLess: return a < b ? -1 : 0;
    case kOpGreaterEqual: return a >= b ? -1 : 0;
    case kOpLessEqual: return a <= b ? -1 : 0;
    default: return numericBinary(code, a, b);
  }
}

inline double loadInt32(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

inline double loadDouble(const uint8_t* p) {
  double v;
  std::memcpy(&v, p, 8);
  return v;
}

int32_t readS32(const uint8_t* code, int32_t p) {
  int32_t v;
  std::memcpy(&v, code + p, 4);
  return v;
}
}  // namespace

int32_t FastPath::Impl::compileStatement(Machine& m, int32_t p, std::vector<Op>& out, bool& endsBlock) {
  const uint8_t* code = m.code;
  const int32_t size = m.size;
  if (p + 1 >= size) return kNo;  // the image's last byte is never executed
  const int32_t start = p;
  Op statement(oStatement);
  statement.a = start;
  std::vector<Op> ops{statement};
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
        for (int i = 0; i < count; ++i)
          if (int32_t r = compileValue(m, p, ops, 0, i); r < 0) return r;
        ops.push_back(op);
        if (int32_t r = expression(); r < 0) return r;
        Op store(oStoreElement);
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
        for (int i = 0; i < count; ++i)
          if (int32_t r = compileValue(m, p, ops, 0, i); r < 0) return r;
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
          if (lastSp == 1 && comparison && (last.code == oBinary || last.code == oBinaryK)) {
            last.code = last.code == oBinary ? oCompareJump : oCompareJumpK;
            last.a = op.a;
            last.b = op.b;
          } else {
            ops.push_back(op);
          }
          endsBlock = true;
          break;
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
    ops.push_back(exit);
  }
  const int32_t id = addEntry(m, ops, p);
  slot = id + 1;
  return entries[static_cast<size_t>(id)];
}

// ---------------------------------------------------------------- running

// An element's address from its descriptor: one and two dimensions take a
// short way, the rest the general one.
inline uint8_t* elementIn(Machine& m, const ArrayDescriptor& d, const NumericStore& store, int kind, int count,
                          const double* subscripts) {
  int64_t linear;
  if (count == 1) {
    linear = int64_t{truncToInt32(subscripts[0])} + d.negLower[0];
  } else if (count == 2) {
    linear = (int64_t{truncToInt32(subscripts[0])} + d.negLower[0]) * d.multiplier[1] + truncToInt32(subscripts[1]) +
             d.negLower[1];
  } else {
    linear = 0;
    const int last = count - 1;
    for (int i = 0; i < last; ++i)
      linear += (int64_t{truncToInt32(subscripts[i])} + d.negLower[static_cast<size_t>(i)]) *
                d.multiplier[static_cast<size_t>(i) + 1];
    linear += int64_t{truncToInt32(subscripts[last])} + d.negLower[static_cast<size_t>(last)];
  }
  m.numReg = subscripts[count - 1];  // as the evaluation of the last subscript leaves it
  if (!m.strReg.empty()) m.strReg.clear();
  const int64_t position = d.first + linear * kElementWidth[kind];
  if (position < 0 || static_cast<uint64_t>(position) + static_cast<uint64_t>(kElementWidth[kind]) > store.size())
      [[unlikely]]
    VariableStores::raiseElementRange(kind, position);
  return store.data() + position;
}

[[noreturn]] void raiseUndeclaredArray(int kind, int32_t array) {
  raise("Array not declared (kind " + std::to_string(kind) + ", number " + std::to_string(array) + ")");
}

// An element of a named array: the descriptor and store come from the op.
uint8_t* FastPath::Impl::elementAddress(Machine& m, const Op& op, const double* subscripts) {
  if (!op.descriptor->declared) [[unlikely]] raiseUndeclaredArray(op.kind, op.a);
  return elementIn(m, *op.descriptor, *op.store, op.kind, op.count, subscripts);
}

uint8_t* FastPath::Impl::elementAddress(Machine& m, int kind, int32_t array, int count, const double* subscripts) {
  const ArrayDescriptor& d = m.vars.descriptor(kind, array);
  if (!d.declared) [[unlikely]] raiseUndeclaredArray(kind, array);
  return elementIn(m, d, *m.vars.arrays[kind], kind, count, subscripts);
}

// Runs a procedure's body: its compiled block directly (kept in the call's
// op), the rest through the statement loop.
void FastPath::Impl::callProcedure(Machine& m, const Op& op) {
  const Machine::CallState state = m.enterProcedure(op.a, op.b);
  const Op* body = op.blockA != nullptr ? op.blockA : (op.blockA = blockFor(m, m.pos));
  FastPath::Exit exit = FastPath::Exit::Continue;
  if (body != nullptr) exec(m, body, &exit);
  if (exit == FastPath::Exit::Continue) m.runLoop();
  m.leaveProcedure(state, op.b);
}

// The operations run through a table of labels (one indirect jump per
// operation, no range check) where the compiler has computed goto, and
// through a switch elsewhere.
#if defined(__GNUC__)
#define KESTREL_THREADED 1
#endif

const void* const* FastPath::Impl::handlers = nullptr;

void FastPath::Impl::link(Machine& m, Op* ops, size_t count) {
#ifdef KESTREL_THREADED
  if (handlers == nullptr) exec(m, nullptr, nullptr);
  for (size_t i = 0; i < count; ++i) ops[i].handler = handlers[ops[i].code];
#else
  (void)m;
  (void)ops;
  (void)count;
#endif
}

double FastPath::Impl::exec(Machine& m, const Op* op, FastPath::Exit* exit) {
  // Subscripts and arguments are computed on this stack above the values of
  // the expressions around them, so it holds every nesting level at once.
  double st[kFastStack + 1];
  int sp = 0;
  int32_t callDepths[kMaxNesting + 2];
  int calls = 0;
  // The current frame's numeric and reference slots, found on first use;
  // anything that may grow the frames (arguments, calls) forgets them.
  double* params = nullptr;
  ByRefSlot* refs = nullptr;
  auto frame = [&]() -> double* { return params != nullptr ? params : (params = m.frames.numbers(m.frames.current())); };
  auto references = [&]() -> ByRefSlot* {
    return refs != nullptr ? refs : (refs = m.frames.references(m.frames.current()));
  };
  double loopStart = 0, loopLimit = 0;
  uint8_t* element = nullptr;
  int32_t next = 0;
#ifdef KESTREL_THREADED
#define X(name) &&L_##name,
  static void* const kLabels[] = {KESTREL_FAST_OPS(X)};
#undef X
  if (op == nullptr) {  // asked for the handler table (see link)
    handlers = kLabels;
    return 0;
  }
#define CASE(name) L_##name:
#define DISPATCH() goto* op->handler
#define NEXT() \
  do {         \
    ++op;      \
    DISPATCH(); \
  } while (0)
  DISPATCH();
#else
#define CASE(name) case name:
#define DISPATCH() continue
#define NEXT() \
  do {         \
    ++op;      \
    continue;  \
  } while (0)
  for (;;) switch (op->code) {
#endif
  CASE(oConst) st[sp++] = op->k; NEXT();
  CASE(oLoadByte) st[sp++] = *op->p; NEXT();
  CASE(oLoadShort) { int16_t v; std::memcpy(&v, op->p, 2); st[sp++] = v; NEXT(); }
  CASE(oLoadInt) st[sp++] = loadInt32(op->p); NEXT();
  CASE(oLoadWord) { uint16_t v; std::memcpy(&v, op->p, 2); st[sp++] = v; NEXT(); }
  CASE(oLoadSingle) { float v; std::memcpy(&v, op->p, 4); st[sp++] = v; NEXT(); }
  CASE(oLoadDouble) st[sp++] = loadDouble(op->p); NEXT();
  CASE(oElement) {
    sp -= op->count;
    const double v = loadNumber(op->kind, elementAddress(m, *op, &st[sp]));
    st[sp++] = v;
    NEXT();
  }
  CASE(oParameter) {
    const double v = frame()[op->a];
    switch (op->kind) {
      case 1: st[sp++] = static_cast<uint8_t>(roundToInt32(v)); break;
      case 2: st[sp++] = static_cast<int16_t>(roundToInt32(v)); break;
      case 4: st[sp++] = static_cast<uint16_t>(roundToInt32(v)); break;
      case 3: case 5: st[sp++] = roundToInt32(v); break;
      default: st[sp++] = v; break;
    }
    NEXT();
  }
  CASE(oParamInt) st[sp++] = roundToInt32(frame()[op->a]); NEXT();
  CASE(oParamDouble) st[sp++] = frame()[op->a]; NEXT();
  CASE(oParamElement) {
    sp -= op->count;
    const int32_t array = references()[op->a].index;
    const double v = loadNumber(op->kind, elementAddress(m, op->kind, array, op->count, &st[sp]));
    st[sp++] = v;
    NEXT();
  }
  CASE(oCallBegin) callDepths[calls++] = m.frames.depth; NEXT();
  CASE(oArgument) {
    const double v = st[--sp];
    m.numReg = v;  // as the argument's evaluation leaves it
    m.strReg.clear();
    m.frames.number(callDepths[calls - 1], op->a) = v;
    params = nullptr;
    refs = nullptr;
    NEXT();
  }
  CASE(oReference)
    m.frames.byRef(callDepths[calls - 1], op->a) = ByRefSlot{op->kind, op->b};
    params = nullptr;
    refs = nullptr;
    NEXT();
  CASE(oPassOn) {
    const int32_t depth = callDepths[calls - 1];
    const int32_t index = m.frames.byRef(depth - 1, op->b).index;
    m.frames.byRef(depth, op->a) = ByRefSlot{op->kind, index};
    params = nullptr;
    refs = nullptr;
    NEXT();
  }
  CASE(oCall)
    --calls;
    params = nullptr;
    refs = nullptr;
    callProcedure(m, *op);
    st[sp++] = m.results.number;
    NEXT();
  CASE(oAdd) --sp; st[sp - 1] = checkedResult(st[sp - 1] + st[sp], st[sp - 1], st[sp]); NEXT();
  CASE(oSub) --sp; st[sp - 1] = checkedResult(st[sp - 1] - st[sp], st[sp - 1], st[sp]); NEXT();
  CASE(oMul) --sp; st[sp - 1] = checkedResult(st[sp - 1] * st[sp], st[sp - 1], st[sp]); NEXT();
  CASE(oDiv) --sp; st[sp - 1] = checkedResult(st[sp - 1] / st[sp], st[sp - 1], st[sp], true); NEXT();
  CASE(oNegate) st[sp - 1] = -st[sp - 1]; NEXT();
  CASE(oNot) st[sp - 1] = ~roundToInt32(st[sp - 1]); NEXT();
  CASE(oMath) {
    const double x = st[sp - 1];
    m.numReg = x;  // as the argument's evaluation leaves it
    if (!m.strReg.empty()) m.strReg.clear();
    st[sp - 1] = mathFunction(op->kind, x);
    NEXT();
  }
  CASE(oBinary) --sp; st[sp - 1] = binary(op->kind, st[sp - 1], st[sp]); NEXT();
#define KESTREL_FUSED(SUFFIX, OPERAND)                                                         \
  CASE(oAdd##SUFFIX) { const double b = OPERAND; st[sp - 1] = checkedResult(st[sp - 1] + b, st[sp - 1], b); NEXT(); } \
  CASE(oSub##SUFFIX) { const double b = OPERAND; st[sp - 1] = checkedResult(st[sp - 1] - b, st[sp - 1], b); NEXT(); } \
  CASE(oMul##SUFFIX) { const double b = OPERAND; st[sp - 1] = checkedResult(st[sp - 1] * b, st[sp - 1], b); NEXT(); } \
  CASE(oDiv##SUFFIX) { const double b = OPERAND; st[sp - 1] = checkedResult(st[sp - 1] / b, st[sp - 1], b, true); NEXT(); } \
  CASE(oBinary##SUFFIX) st[sp - 1] = binary(op->kind, st[sp - 1], OPERAND); NEXT();
  KESTREL_FUSED(K, op->k)
  KESTREL_FUSED(I, loadInt32(op->p))
  KESTREL_FUSED(D, loadDouble(op->p))
#undef KESTREL_FUSED
#define KESTREL_PUSHED(PREFIX, LOAD)                                                              \
  CASE(o##PREFIX##AddK) { const double a = LOAD(op->q); st[sp++] = checkedResult(a + op->k, a, op->k); NEXT(); } \
  CASE(o##PREFIX##SubK) { const double a = LOAD(op->q); st[sp++] = checkedResult(a - op->k, a, op->k); NEXT(); } \
  CASE(o##PREFIX##MulK) { const double a = LOAD(op->q); st[sp++] = checkedResult(a * op->k, a, op->k); NEXT(); } \
  CASE(o##PREFIX##DivK) { const double a = LOAD(op->q); st[sp++] = checkedResult(a / op->k, a, op->k, true); NEXT(); } \
  CASE(o##PREFIX##BinaryK) st[sp++] = binary(op->kind, LOAD(op->q), op->k); NEXT();
  KESTREL_PUSHED(Int, loadInt32)
  KESTREL_PUSHED(Dbl, loadDouble)
#undef KESTREL_PUSHED
  CASE(oEnd) return st[0];

  CASE(oStatement)
    m.statementStart = op->a;
    if (--m.stepsLeft < 0) [[unlikely]] m.onStepBudget();
    NEXT();
  CASE(oAssign) storeNumberTrunc(op->kind, op->p, st[0]); sp = 0; NEXT();
  CASE(oAssignInt) { const int32_t v = truncToInt32(st[0]); std::memcpy(op->p, &v, 4); sp = 0; NEXT(); }
  CASE(oAssignDouble) std::memcpy(op->p, &st[0], 8); sp = 0; NEXT();
  CASE(oElementTarget) sp -= op->count; element = elementAddress(m, *op, &st[sp]); NEXT();
  CASE(oParamElementTarget) {
    sp -= op->count;
    const int32_t array = references()[op->a].index;
    element = elementAddress(m, op->kind, array, op->count, &st[sp]);
    NEXT();
  }
  CASE(oStoreElement) storeNumberTrunc(op->kind, element, st[0]); sp = 0; NEXT();
  CASE(oAssignParam) frame()[op->a] = st[0]; sp = 0; NEXT();
  CASE(oSetResult)
    m.results.number = st[0];
    m.results.variantIsString = 0;
    sp = 0;
    NEXT();
  CASE(oCallStatement) --calls; params = nullptr;
    refs = nullptr; callProcedure(m, *op); NEXT();
  CASE(oLoopStart) loopStart = st[0]; storeNumberRound(op->kind, op->p, loopStart); sp = 0; NEXT();
  CASE(oLoopLimit) loopLimit = st[0]; sp = 0; NEXT();
  CASE(oLoopBegin) {
    const double step = st[0];
    sp = 0;
    if ((step < 0 && loopStart < loopLimit) || (step > 0 && loopStart > loopLimit)) {
      next = op->b;  // the body does not run
      goto transfer;
    }
    ControlStacks& c = m.ctl;
    if (c.loops.size() <= c.loopTop) c.loops.resize(c.loopTop + 8);
    c.loops[c.loopTop++] = LoopRecord{1, op->kind, static_cast<int16_t>(op->a), loopLimit, step};
    ++c.loopNesting;
    NEXT();
  }
  CASE(oLoopEnd) {
    ControlStacks& c = m.ctl;
    next = op->b;
    if (c.loopTop == 0) goto transfer;  // no loop is running
    const LoopRecord& r = c.loops[c.loopTop - 1];
    if (isNumericKind(r.kind)) {
      uint8_t* p = m.vars.scalarAt(r.kind, r.index);
      double value;
      if (r.kind == kInteger || r.kind == kLong) {
        int32_t v;
        std::memcpy(&v, p, 4);
        v = static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(roundToInt32(r.step)));
        std::memcpy(p, &v, 4);
        value = v;
      } else if (r.kind == kDouble) {
        std::memcpy(&value, p, 8);
        value += r.step;
        std::memcpy(p, &value, 8);
      } else {
        value = stepLoopVariable(m, r);
      }
      if ((r.step < 0 && value >= r.limit) || (r.step > 0 && value <= r.limit)) {
        next = op->a;
        goto transfer;
      }
    }
    --c.loopTop;
    --c.loopNesting;
    goto transfer;
  }
  CASE(oExitFor)
    if (m.ctl.loopTop > 0) --m.ctl.loopTop;
    next = op->a;
    goto transfer;
  CASE(oJump) next = op->a; goto transfer;
  CASE(oJumpIfFalse)
    next = st[0] == 0 ? op->a : op->b;
    sp = 0;
    goto transfer;
  CASE(oCompareJump) {
    --sp;
    next = compare(op->kind, st[sp - 1], st[sp]) ? op->b : op->a;
    sp = 0;
    goto transfer;
  }
  CASE(oCompareJumpK)
    next = compare(op->kind, st[sp - 1], op->k) ? op->b : op->a;
    sp = 0;
    goto transfer;
  CASE(oReturn) {
    const int32_t depth = --m.frames.depth;
    const auto& stack = m.ctl.returnPositions;
    if (depth >= 0 && static_cast<size_t>(depth) < stack.size()) m.seek(stack[static_cast<size_t>(depth)]);
    *exit = FastPath::Exit::LeaveRun;
    return 0;
  }
  CASE(oEndBody)
    --m.frames.depth;
    m.pos = op->b;
    *exit = FastPath::Exit::LeaveRun;
    return 0;
  CASE(oLeave)
    m.pos = op->b;
    *exit = FastPath::Exit::LeaveRun;
    return 0;
  CASE(oExit)
    m.pos = op->a;
    *exit = FastPath::Exit::Continue;
    return 0;
#ifndef KESTREL_THREADED
  }
#endif

transfer: {
  // Go on in the block at `next`, or hand the statement there to the
  // decoder. Each target's block is looked up once and kept in the op.
  const Op*& cache = next == op->a ? op->blockA : op->blockB;
  const Op* block = cache != nullptr ? cache : (cache = blockFor(m, next));
  if (block != nullptr) {
    op = block;
    DISPATCH();
  }
  m.pos = next;
  *exit = FastPath::Exit::Continue;
  return 0;
}
#undef CASE
#undef DISPATCH
#undef NEXT
}

bool FastPath::run(Machine& m, Exit& exit) {
  const Op* block = impl_->blockFor(m, m.pos);
  if (block == nullptr) return false;
  impl_->exec(m, block, &exit);
  return true;
}

bool FastPath::evaluateNumber(Machine& m, double& result) {
  const int32_t start = m.pos;
  int32_t entry = impl_->exprAt[static_cast<size_t>(start)];
  if (entry == kNone) return false;
  if (entry == kUntried) {
    int32_t end = 0;
    const int32_t id = impl_->compileNested(m, start, 0, end);
    if (id < 0) {
      if (id == kNo) impl_->exprAt[static_cast<size_t>(start)] = kNone;
      return false;
    }
    entry = id + 1;
  }
  const size_t id = static_cast<size_t>(entry - 1);
  result = impl_->exec(m, impl_->entries[id], nullptr);
  m.pos = impl_->ends[id];
  return true;
}

}  // namespace kestrel
