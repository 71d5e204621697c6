#pragma once
// The fast path's operations and its state, shared by the compiling half
// (fast_path_compile.cpp) and the running half (fast_path_run.cpp).
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "expr/operators.h"
#include "core/fast_path.h"
#include "state/variables.h"

namespace kestrel {

class Machine;

namespace fast {

// Every operation, in one list so that the dispatch table follows it.
#define KESTREL_FAST_OPS(X)                                                            \
  /* Expression operations: push onto or combine on the number stack. */             \
  X(oConst) X(oLoadByte) X(oLoadShort) X(oLoadInt) X(oLoadWord) X(oLoadSingle)        \
  X(oLoadDouble)                                                                       \
  X(oElement)   /* kind, a: array, count: subscripts on the stack */                  \
  X(oTruncCheck) /* a subscript before the last: outside 32 bits it fails at once */  \
  X(oParameter) /* kind, a: slot */                                                   \
  X(oParamInt)  /* a: slot of a 32-bit integer parameter (rounded) */                 \
  X(oParamDouble) /* a: slot of a float parameter (as stored) */                      \
  X(oParamElement) /* kind: element kind, a: slot holding the array, count: subscripts */ \
  /* One subscript into an array of 32-bit integers, the commonest element: */        \
  X(oElementI32)      /* as oElement */                                                \
  /* Elements of double arrays with one or two subscripts: */                        \
  X(oElementD1) X(oElementD2) /* as oElement */                                      \
  X(oParamElementI32) /* as oParamElement */                                           \
  X(oParamElementI32P) /* the same, subscripted by the integer parameter in slot b */  \
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
  /* ... or a 32-bit integer parameter (its slot in a) */                             \
  X(oAddP) X(oSubP) X(oMulP) X(oDivP) X(oBinaryP)                                      \
  /* A 32-bit or double variable (p) combined with a constant (k), pushed. */        \
  X(oIntAddK) X(oIntSubK) X(oIntMulK) X(oIntDivK) X(oIntBinaryK)                       \
  X(oDblAddK) X(oDblSubK) X(oDblMulK) X(oDblDivK) X(oDblBinaryK)                       \
  /* The same for a 32-bit integer parameter, its slot in count. */                  \
  X(oPIntAddK) X(oPIntSubK) X(oPIntMulK) X(oPIntDivK) X(oPIntBinaryK)                  \
  /* Modulo by a constant integer b (not 0 or -1): the top of the stack, a */       \
  /* 32-bit variable (q) or a 32-bit integer parameter (slot count), pushed. */      \
  X(oModK) X(oIntModK) X(oPIntModK)                                                    \
  X(oEnd)       /* end of an expression entry: the value is st[0] */                  \
  /* Statements. */                                                                    \
  X(oAssign)         /* kind, p: store st[0] into a scalar */                         \
  X(oAssignInt) X(oAssignDouble)                                                       \
  X(oElementTarget)  /* kind, a: array, count: the element (subscripts on the stack) */ \
  X(oParamElementTarget) /* the same for an array passed by reference in slot a */   \
  X(oStoreElement)   /* kind: store st[0] into that element */                        \
  X(oStoreElementD)  /* the same for a double element */                              \
  X(oAssignParam)    /* a: slot */                                                    \
  X(oParamStepK)     /* the integer parameter in slot a becomes itself + k */          \
  X(oIntStepK)       /* the 32-bit variable at q becomes itself + k */                \
  X(oSetResult)                                                                        \
  X(oCallStatement)  /* as oCall, no result */                                        \
  X(oLoopStart)      /* kind, p: store the start value */                             \
  X(oLoopLimit)                                                                        \
  X(oLoopBegin)      /* kind, a: variable index, b: where to go when the body does not run */ \
  X(oLoopEnd)        /* a: first statement of the body, b: after the statement */     \
  X(oExitFor)        /* a: target */                                                  \
  X(oJump)           /* a: target */                                                  \
  X(oJumpIfFalse)    /* a: target, b: after the statement */                          \
  /* A comparison that decides a jump: to a when it fails, else on. One op */        \
  /* per comparison (=, <>, >, <, >=, <=), in the order of the operator codes: */     \
  X(oCmpJumpEQ) X(oCmpJumpNE) X(oCmpJumpGT) X(oCmpJumpLT) X(oCmpJumpGE) X(oCmpJumpLE) \
  /* the same against the constant k */                                               \
  X(oCmpJumpKEQ) X(oCmpJumpKNE) X(oCmpJumpKGT) X(oCmpJumpKLT) X(oCmpJumpKGE) X(oCmpJumpKLE) \
  /* the same against the integer parameter in slot count */                        \
  X(oCmpJumpPEQ) X(oCmpJumpPNE) X(oCmpJumpPGT) X(oCmpJumpPLT) X(oCmpJumpPGE) X(oCmpJumpPLE) \
  /* the same for the integer parameter in slot count against k */                   \
  X(oPCmpJumpKEQ) X(oPCmpJumpKNE) X(oPCmpJumpKGT) X(oPCmpJumpKLT) X(oPCmpJumpKGE) X(oPCmpJumpKLE) \
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
  // A block's first op: the statements the block holds, charged to the
  // step budget when the block is entered.
  uint8_t charge = 0;
  int32_t a = 0;
  int32_t b = 0;
  // The start of the statement the op belongs to (what an error reports);
  // -1 in an expression compiled for the decoder.
  int32_t statement = -1;
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

}  // namespace fast

// A call of a compiled procedure running in its caller's dispatch loop: what
// the caller needs back when the callee returns.
struct PendingCall {
  const fast::Op* call;    // the oCall or oCallStatement to finish
  size_t stackBase;        // the caller's numbers (an offset into `values`)
  int sp;
  int calls;               // the caller's open argument lists
  int64_t element;         // an element assignment waiting for its value
  double loopStart, loopLimit;
  size_t loopTop;          // the caller's counted loops
  int32_t loopNesting;
  int32_t statementStart;
};

// Open argument lists (call depths) that one run of the operations holds;
// a call made with more open goes through a nested run instead.
constexpr int kCallSlots = 64;

struct FastPath::Impl {
  // The numbers of every running exec and inline call, one region after the
  // other; offsets stay valid when it grows. `valueTop` is the first free one.
  std::vector<double> values;
  size_t valueTop = 0;
  size_t valueRoom = 0;  // values.size(), kept apart to spare a load
  std::vector<PendingCall> pending;
  size_t pendingTop = 0;
  size_t pendingRoom = 0;  // pending.size()
  // Gives the numbers region at `base` room for one statement's stack.
  double* numbersAt(size_t base) {
    const size_t need = base + fast::kFastStack + 1;
    if (valueRoom < need) [[unlikely]] {
      values.resize(std::max(need, values.size() * 2));
      valueRoom = values.size();
    }
    valueTop = need;
    return values.data() + base;
  }
  PendingCall& pushPending() {
    if (pendingRoom <= pendingTop) [[unlikely]] {
      pending.resize(pending.size() * 2 + 16);
      pendingRoom = pending.size();
    }
    return pending[pendingTop++];
  }
  // Puts the shared stacks back however a run of the operations ends.
  struct Scope {
    Impl& f;
    size_t valueBase, pendingBase;
    explicit Scope(Impl& impl) : f(impl), valueBase(impl.valueTop), pendingBase(impl.pendingTop) {}
    ~Scope() {
      f.valueTop = valueBase;
      f.pendingTop = pendingBase;
    }
  };

  std::vector<int32_t> blockAt;  // statement position -> entry + 1, 0 untried, -1 none
  std::vector<int32_t> exprAt;   // expression position -> entry + 1, 0 untried, -1 none
  std::vector<std::unique_ptr<fast::Op[]>> storage;
  std::vector<const fast::Op*> entries;
  std::vector<int32_t> ends;     // per entry: the position after it

  explicit Impl(int32_t size)
      : blockAt(static_cast<size_t>(size) + 1, fast::kUntried), exprAt(static_cast<size_t>(size) + 1, fast::kUntried) {}

  int32_t addEntry(Machine& m, const std::vector<fast::Op>& ops, int32_t end) {
    auto array = std::make_unique<fast::Op[]>(ops.size());
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
  int32_t compileExpression(Machine& m, int32_t p, std::vector<fast::Op>& out, int& sp, int depth, int base = 0);
  // An expression of its own (subscripts, arguments): its entry id, or kNo/kLater.
  int32_t compileNested(Machine& m, int32_t p, int depth, int32_t& end);
  int32_t compileValue(Machine& m, int32_t& p, std::vector<fast::Op>& out, int depth, int base);
  int32_t compileCall(Machine& m, int32_t& p, std::vector<fast::Op>& out, int count, int depth, int base);
  int32_t compileSubscripts(Machine& m, int32_t& p, std::vector<fast::Op>& out, int count, int depth, int base);
  int32_t compileStatement(Machine& m, int32_t p, std::vector<fast::Op>& out, bool& endsBlock);
  const fast::Op* blockFor(Machine& m, int32_t position);

  double exec(Machine& m, const fast::Op* op, FastPath::Exit* exit);
  // Gives each op the address of its code, where dispatch is threaded.
  void link(Machine& m, fast::Op* ops, size_t count);
  static const void* const* handlers;
  uint8_t* elementAddress(Machine& m, const fast::Op& op, const double* subscripts);
  void callProcedure(Machine& m, const fast::Op& op);
};

}  // namespace kestrel
