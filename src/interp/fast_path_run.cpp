// The running half of the fast path: the operations' code, element
// addresses and procedure calls.
#include <cmath>
#include <cstring>

#include "expr/builtin_functions.h"
#include "expr/conversions.h"
#include "expr/operators.h"
#include "interp/fast_path_ops.h"
#include "core/machine.h"
#include "interp/statements.h"

namespace kestrel {

using namespace fast;

FastPath::FastPath(int32_t imageSize) : impl_(std::make_unique<Impl>(imageSize)) {}
FastPath::~FastPath() = default;

// An element's position in its store: one and two dimensions take a short
// way, the rest the general one. The element must be one of the array's own
// (the arrays of a kind share a store, so this also keeps it in the store).
[[gnu::always_inline]] inline int64_t elementPosition(Machine& m, const ArrayDescriptor& d, int kind, int count,
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
  if (static_cast<uint64_t>(linear) >= static_cast<uint64_t>(d.elements)) [[unlikely]]
    VariableStores::raiseElementRange(kind, position);
  return position;
}

[[gnu::always_inline]] inline uint8_t* elementIn(Machine& m, const ArrayDescriptor& d, const NumericStore& store, int kind, int count,
                          const double* subscripts) {
  return store.data() + elementPosition(m, d, kind, count, subscripts);
}

[[noreturn]] void raiseUndeclaredArray(int kind, int32_t array) {
  raise("Array not declared (kind " + std::to_string(kind) + ", number " + std::to_string(array) + ")");
}

// The descriptor of the array that the current frame's reference slot holds.
[[gnu::noinline]] const ArrayDescriptor& referencedArray(Machine& m, int kind, int slot) {
  return m.vars.descriptor(kind, m.frames.references(m.frames.current())[slot].index);
}

// An element of a named array: the descriptor and store come from the op.
uint8_t* FastPath::Impl::elementAddress(Machine& m, const Op& op, const double* subscripts) {
  if (!op.descriptor->declared) [[unlikely]] raiseUndeclaredArray(op.kind, op.a);
  return elementIn(m, *op.descriptor, *op.store, op.kind, op.count, subscripts);
}

// Makes a loop on a 32-bit variable a counted loop when its step and limit
// allow the same decisions in integers: a step that rounds without error,
// not zero, and a limit whose floor (counting up) or ceiling (counting down)
// is a 32-bit integer. The double-valued record stays for the decoder.
inline void countedLoop(LoopRecord& r, uint8_t* variable) {
  if (!(r.step > -2147483648.5 && r.step < 2147483647.5) || r.step == 0) return;
  const double bound = r.step > 0 ? std::floor(r.limit) : std::ceil(r.limit);
  if (!(bound >= -2147483648.0 && bound <= 2147483647.0)) return;
  r.countStep = roundToInt32(r.step);
  r.countLimit = static_cast<int32_t>(bound);
  r.counted = variable;
}

// Entering a block charges its statements to the step budget at once, and
// tells a watching trace or profile (the block's first op belongs to its
// first statement).
inline void charge(Machine& m, const Op* block) {
  m.stepsLeft -= block->charge;
  if (m.stepsLeft < 0) [[unlikely]] m.onStepBudget();
  if (m.observer) [[unlikely]] m.observer->block(m, block->statement, block->charge);
}

// Runs a procedure's body: its compiled block directly (kept in the call's
// op), the rest through the statement loop.
void FastPath::Impl::callProcedure(Machine& m, const Op& op) {
  if (op.statement >= 0) m.statementStart = op.statement;  // errors of the call itself
  const Machine::CallState state = m.enterProcedure(op.a, op.b);
  const Op* body = op.blockA != nullptr ? op.blockA : (op.blockA = blockFor(m, m.pos));
  FastPath::Exit exit = FastPath::Exit::Continue;
  if (body != nullptr) {
    charge(m, body);
    exec(m, body, &exit);
  }
  if (exit == FastPath::Exit::Continue) m.runLoop();
  m.leaveProcedure(state, op.b);
  // An end statement in an event handler the procedure ran ends the run
  // before the rest of the calling statement.
  if (m.stepsLeft <= 0) [[unlikely]] m.onStepBudget();
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

namespace {

// Where a procedure's statements begin; -1 (no block) when that is outside
// the image, which the decoder's call reports.
int32_t bodyPosition(const Machine& m, int32_t entry) {
  const int64_t p = int64_t{entry} + 4;
  return p >= 0 && p <= m.size ? static_cast<int32_t>(p) : -1;
}

[[gnu::noinline, noreturn]] void raiseTooDeep(Machine& m, const Op& call) {
  if (call.statement >= 0) m.statementStart = call.statement;
  raise(texts::kStackOverflow);
}

}  // namespace

double FastPath::Impl::exec(Machine& m, const Op* op, FastPath::Exit* exit) {
  // Subscripts and arguments are computed on this stack above the values of
  // the expressions around them, so it holds every nesting level at once.
  // A compiled callee runs in this same loop, its stack above its caller's.
  Scope scope(*this);
  const int32_t depthBase = m.frames.depth;  // where this run's inline calls start
  size_t stackBase = valueTop;
  double* st = op != nullptr ? numbersAt(stackBase) : nullptr;
  int sp = 0;
  int32_t callDepths[kCallSlots];
  int calls = 0;
  // Every frame's slots, which never move (Frames::reserve).
  double* const frameNumbers = m.frames.numbersOf(0);
  ByRefSlot* const frameRefs = m.frames.referencesOf(0);
  const Op* body = nullptr;
  // The current frame's numeric and reference slots, found on first use;
  // anything that may grow the frames (arguments, calls) forgets them.
  double* params = nullptr;
  ByRefSlot* refs = nullptr;
  auto frame = [&]() -> double* { return params != nullptr ? params : (params = m.frames.numbers(m.frames.current())); };
  auto references = [&]() -> ByRefSlot* {
    return refs != nullptr ? refs : (refs = m.frames.references(m.frames.current()));
  };
  // The array that a reference slot holds, looked up once: the descriptor
  // tables never move, only the slot's contents can change.
  int refArraySlot = -1, refArrayKind = -1;
  const ArrayDescriptor* refArray = nullptr;
#define PARAM_ARRAY()                                                  \
  do {                                                                 \
    if (op->a != refArraySlot || op->kind != refArrayKind) [[unlikely]] { \
      refArray = &referencedArray(m, op->kind, op->a);                 \
      refArraySlot = op->a;                                            \
      refArrayKind = op->kind;                                         \
    }                                                                  \
    if (!refArray->declared) [[unlikely]] raiseUndeclaredArray(op->kind, references()[op->a].index); \
  } while (0)
#define FORGET_FRAME() \
  do {                 \
    params = nullptr;  \
    refs = nullptr;    \
    refArraySlot = -1; \
  } while (0)
  double loopStart = 0, loopLimit = 0;
  int64_t element = 0;  // the position an element assignment stores into
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
  try {
  DISPATCH();
#else
#define CASE(name) case name:
#define DISPATCH() continue
#define NEXT() \
  do {         \
    ++op;      \
    continue;  \
  } while (0)
  try {
  for (;;) { switch (op->code) {
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
    PARAM_ARRAY();
    const double v = loadNumber(op->kind, elementIn(m, *refArray, *m.vars.arrays[op->kind], op->kind, op->count, &st[sp]));
    st[sp++] = v;
    NEXT();
  }
  CASE(oElementI32) {
    if (!op->descriptor->declared) [[unlikely]] raiseUndeclaredArray(op->kind, op->a);
    st[sp - 1] = loadInt32(elementIn(m, *op->descriptor, *op->store, op->kind, 1, &st[sp - 1]));
    NEXT();
  }
  CASE(oElementD1) {
    if (!op->descriptor->declared) [[unlikely]] raiseUndeclaredArray(op->kind, op->a);
    st[sp - 1] = loadDouble(elementIn(m, *op->descriptor, *op->store, kDouble, 1, &st[sp - 1]));
    NEXT();
  }
  CASE(oElementD2) {
    if (!op->descriptor->declared) [[unlikely]] raiseUndeclaredArray(op->kind, op->a);
    --sp;
    st[sp - 1] = loadDouble(elementIn(m, *op->descriptor, *op->store, kDouble, 2, &st[sp - 1]));
    NEXT();
  }
  CASE(oParamElementI32) {
    PARAM_ARRAY();
    st[sp - 1] = loadInt32(elementIn(m, *refArray, *m.vars.arrays[op->kind], op->kind, 1, &st[sp - 1]));
    NEXT();
  }
  CASE(oParamElementI32P) {
    const double subscript = roundToInt32(frame()[op->b]);
    PARAM_ARRAY();
    st[sp++] = loadInt32(elementIn(m, *refArray, *m.vars.arrays[op->kind], op->kind, 1, &subscript));
    NEXT();
  }
  CASE(oCallBegin)
    m.frames.ensure(m.frames.depth);  // the frame the arguments go to
    callDepths[calls++] = m.frames.depth;
    NEXT();
  CASE(oArgument) {
    const double v = st[--sp];
    m.numReg = v;  // as the argument's evaluation leaves it
    m.strReg.clear();
    frameNumbers[static_cast<size_t>(callDepths[calls - 1]) * kSlotsPerFrame + static_cast<size_t>(op->a)] = v;
    NEXT();
  }
  CASE(oReference) {
    ByRefSlot* slots = frameRefs + static_cast<size_t>(callDepths[calls - 1]) * kSlotsPerFrame;
    slots[op->a] = ByRefSlot{op->kind, op->b};
    if (refs == slots) refArraySlot = -1;
    NEXT();
  }
  CASE(oPassOn) {
    const int32_t depth = callDepths[calls - 1];
    const int32_t index = m.frames.byRef(depth - 1, op->b).index;
    m.frames.byRef(depth, op->a) = ByRefSlot{op->kind, index};
    FORGET_FRAME();
    NEXT();
  }
  CASE(oCall)
  CASE(oCallStatement)
    --calls;
    FORGET_FRAME();
    body = op->blockA != nullptr ? op->blockA : (op->blockA = blockFor(m, bodyPosition(m, op->a)));
    if (body != nullptr && calls <= kCallSlots - kMaxNesting - 2) [[likely]] goto enter;
    callProcedure(m, *op);
    st = values.data() + stackBase;  // the callee's runs may have moved the numbers
    if (op->code == oCall) st[sp++] = m.results.number;
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
  KESTREL_FUSED(P, roundToInt32(frame()[op->a]))
#undef KESTREL_FUSED
#define KESTREL_PUSHED(PREFIX, VALUE)                                                              \
  CASE(o##PREFIX##AddK) { const double a = VALUE; st[sp++] = checkedResult(a + op->k, a, op->k); NEXT(); } \
  CASE(o##PREFIX##SubK) { const double a = VALUE; st[sp++] = checkedResult(a - op->k, a, op->k); NEXT(); } \
  CASE(o##PREFIX##MulK) { const double a = VALUE; st[sp++] = checkedResult(a * op->k, a, op->k); NEXT(); } \
  CASE(o##PREFIX##DivK) { const double a = VALUE; st[sp++] = checkedResult(a / op->k, a, op->k, true); NEXT(); } \
  CASE(o##PREFIX##BinaryK) st[sp++] = binary(op->kind, VALUE, op->k); NEXT();
  KESTREL_PUSHED(Dbl, loadDouble(op->q))
#undef KESTREL_PUSHED
  // A 32-bit integer with a constant: the compiler fuses only constants that
  // keep the result finite, so there is nothing to check.
#define KESTREL_PUSHED_INT(PREFIX, VALUE)                                                   \
  CASE(o##PREFIX##AddK) { const double a = VALUE; st[sp++] = a + op->k; NEXT(); }      \
  CASE(o##PREFIX##SubK) { const double a = VALUE; st[sp++] = a - op->k; NEXT(); }      \
  CASE(o##PREFIX##MulK) { const double a = VALUE; st[sp++] = a * op->k; NEXT(); }      \
  CASE(o##PREFIX##DivK) { const double a = VALUE; st[sp++] = a / op->k; NEXT(); }      \
  CASE(o##PREFIX##BinaryK) st[sp++] = binary(op->kind, VALUE, op->k); NEXT();
  KESTREL_PUSHED_INT(Int, loadInt32(op->q))
  KESTREL_PUSHED_INT(PInt, roundToInt32(frame()[op->count]))
#undef KESTREL_PUSHED_INT
  CASE(oModK) st[sp - 1] = roundToInt32(st[sp - 1]) % op->b; NEXT();
  CASE(oIntModK) {
    int32_t v;
    std::memcpy(&v, op->q, 4);
    st[sp++] = v % op->b;
    NEXT();
  }
  CASE(oPIntModK) st[sp++] = roundToInt32(frame()[op->count]) % op->b; NEXT();
  CASE(oEnd) return st[0];

  CASE(oAssign) storeNumberTrunc(op->kind, op->p, st[0]); sp = 0; NEXT();
  CASE(oAssignInt) { const int32_t v = truncToInt32(st[0]); std::memcpy(op->p, &v, 4); sp = 0; NEXT(); }
  CASE(oAssignDouble) std::memcpy(op->p, &st[0], 8); sp = 0; NEXT();
  CASE(oElementTarget) {
    sp -= op->count;
    if (!op->descriptor->declared) [[unlikely]] raiseUndeclaredArray(op->kind, op->a);
    element = elementPosition(m, *op->descriptor, op->kind, op->count, &st[sp]);
    NEXT();
  }
  CASE(oParamElementTarget) {
    sp -= op->count;
    PARAM_ARRAY();
    element = elementPosition(m, *refArray, op->kind, op->count, &st[sp]);
    NEXT();
  }
  // The position was checked by the target: stores only grow, so it still holds.
  CASE(oStoreElement) storeNumberTrunc(op->kind, m.vars.arrays[op->kind]->data() + element, st[0]); sp = 0; NEXT();
  CASE(oStoreElementD) std::memcpy(m.vars.arrays[kDouble]->data() + element, &st[0], 8); sp = 0; NEXT();
  CASE(oTruncCheck) truncToInt32(st[sp - 1]); NEXT();
  CASE(oAssignParam) frame()[op->a] = st[0]; sp = 0; NEXT();
  CASE(oParamStepK) {
    double* slots = frame();
    slots[op->a] = roundToInt32(slots[op->a]) + op->k;
    NEXT();
  }
  CASE(oIntStepK) {
    int32_t v;
    std::memcpy(&v, op->q, 4);
    v = truncToInt32(v + op->k);
    std::memcpy(const_cast<uint8_t*>(op->q), &v, 4);  // q is the variable itself
    NEXT();
  }
  CASE(oSetResult)
    m.results.number = st[0];
    m.results.variantIsString = 0;
    sp = 0;
    NEXT();
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
    LoopRecord& r = c.loops[c.loopTop++];
    r = LoopRecord{1, op->kind, static_cast<int16_t>(op->a), loopLimit, step};
    ++c.loopNesting;
    if (op->kind == kInteger || op->kind == kLong) countedLoop(r, op->p);
    NEXT();
  }
  CASE(oLoopEnd) {
    ControlStacks& c = m.ctl;
    next = op->b;
    if (c.loopTop == 0) goto transfer;  // no loop is running
    const LoopRecord& r = c.loops[c.loopTop - 1];
    if (r.counted != nullptr) [[likely]] {
      int32_t v;
      std::memcpy(&v, r.counted, 4);
      v = static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(r.countStep));
      std::memcpy(r.counted, &v, 4);
      if (r.step > 0 ? v <= r.countLimit : v >= r.countLimit) {
        const Op* body = op->blockA != nullptr ? op->blockA : (op->blockA = blockFor(m, op->a));
        if (body != nullptr) [[likely]] {
          charge(m, body);
          op = body;
          DISPATCH();
        }
        next = op->a;
        goto transfer;
      }
      --c.loopTop;
      --c.loopNesting;
      goto transfer;
    }
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
  CASE(oJump) {
    const Op* block = op->blockA;
    if (block != nullptr) [[likely]] {
      charge(m, block);
      op = block;
      DISPATCH();
    }
    next = op->a;
    goto transfer;
  }
  // A conditional jump that is not taken goes on with the next statement's
  // operations, which follow in the same block.
  CASE(oJumpIfFalse)
    sp = 0;
    if (st[0] == 0) {
      next = op->a;
      goto transfer;
    }
    NEXT();
#define KESTREL_COMPARE_JUMP(SUFFIX, LEFT, RIGHT)                                        \
  CASE(oCmpJump##SUFFIX##EQ) sp = 0; if (!(LEFT == RIGHT)) goto taken; NEXT();            \
  CASE(oCmpJump##SUFFIX##NE) sp = 0; if (!(LEFT != RIGHT)) goto taken; NEXT();            \
  CASE(oCmpJump##SUFFIX##GT) sp = 0; if (!(LEFT > RIGHT)) goto taken; NEXT();             \
  CASE(oCmpJump##SUFFIX##LT) sp = 0; if (!(LEFT < RIGHT)) goto taken; NEXT();             \
  CASE(oCmpJump##SUFFIX##GE) sp = 0; if (!(LEFT >= RIGHT)) goto taken; NEXT();            \
  CASE(oCmpJump##SUFFIX##LE) sp = 0; if (!(LEFT <= RIGHT)) goto taken; NEXT();
  KESTREL_COMPARE_JUMP(, st[0], st[1])
  KESTREL_COMPARE_JUMP(K, st[0], op->k)
  KESTREL_COMPARE_JUMP(P, st[0], static_cast<double>(roundToInt32(frame()[op->count])))
#undef KESTREL_COMPARE_JUMP
#define KESTREL_PARAM_COMPARE_JUMP(NAME, TEST)                                        \
  CASE(oPCmpJumpK##NAME) {                                                             \
    const double v = roundToInt32(frame()[op->count]);                                 \
    if (!(TEST)) goto taken;                                                           \
    NEXT();                                                                            \
  }
  KESTREL_PARAM_COMPARE_JUMP(EQ, v == op->k)
  KESTREL_PARAM_COMPARE_JUMP(NE, v != op->k)
  KESTREL_PARAM_COMPARE_JUMP(GT, v > op->k)
  KESTREL_PARAM_COMPARE_JUMP(LT, v < op->k)
  KESTREL_PARAM_COMPARE_JUMP(GE, v >= op->k)
  KESTREL_PARAM_COMPARE_JUMP(LE, v <= op->k)
#undef KESTREL_PARAM_COMPARE_JUMP
  CASE(oReturn) {
    if (pendingTop > scope.pendingBase) {
      --m.frames.depth;
      goto leave;
    }
    const int32_t depth = --m.frames.depth;
    const auto& stack = m.ctl.returnPositions;
    if (depth >= 0 && static_cast<size_t>(depth) < stack.size()) m.seek(stack[static_cast<size_t>(depth)]);
    *exit = FastPath::Exit::LeaveRun;
    return 0;
  }
  CASE(oEndBody)
    --m.frames.depth;
    if (pendingTop > scope.pendingBase) goto leave;
    m.pos = op->b;
    *exit = FastPath::Exit::LeaveRun;
    return 0;
  CASE(oLeave)
    if (pendingTop > scope.pendingBase) goto leave;
    m.pos = op->b;
    *exit = FastPath::Exit::LeaveRun;
    return 0;
  CASE(oExit)
    m.pos = op->a;
    if (pendingTop > scope.pendingBase) {
      // The rest of a callee's body needs the decoder: a nested run of the
      // statement loop finishes it, as for a call made by the decoder.
      const Op* call = pending[pendingTop - 1].call;
      m.ctl.setReturnPosition(m.frames.depth - 1, call->b, call->a);
      m.runLoop();
      goto leave;
    }
    *exit = FastPath::Exit::Continue;
    return 0;
#ifndef KESTREL_THREADED
  }
#endif

taken:  // a conditional jump to a
  next = op->a;
transfer: {
  // Go on in the block at `next`, or hand the statement there to the
  // decoder. Each target's block is looked up once and kept in the op.
  const Op*& cache = next == op->a ? op->blockA : op->blockB;
  const Op* block = cache != nullptr ? cache : (cache = blockFor(m, next));
  if (block != nullptr) {
    charge(m, block);
    op = block;
    DISPATCH();
  }
  m.pos = next;
  *exit = FastPath::Exit::Continue;
  return 0;
}
enter: {
  // A compiled callee runs in this loop: the caller's state is kept aside,
  // the callee's numbers go above the caller's, and its body is dispatched.
  if (m.frames.depth >= m.options.maxCallDepth) [[unlikely]] raiseTooDeep(m, *op);
  pushPending() = PendingCall{op, stackBase, sp, calls, element, loopStart, loopLimit,
                              m.ctl.loopTop, m.ctl.loopNesting,
                              op->statement >= 0 ? op->statement : m.statementStart};
  if (m.recordCalls) [[unlikely]] m.ctl.setReturnPosition(m.frames.depth, op->b, op->a);
  // The callee's frame is the one its arguments went to (oCallBegin made it).
  params = frameNumbers + static_cast<size_t>(m.frames.depth) * kSlotsPerFrame;
  refs = frameRefs + static_cast<size_t>(m.frames.depth) * kSlotsPerFrame;
  ++m.frames.depth;
  stackBase += static_cast<size_t>(sp);
  st = numbersAt(stackBase);
  sp = 0;
  charge(m, body);
  op = body;
  DISPATCH();
}

leave: {
  // The callee is done: the caller goes on after its call.
  const PendingCall& r = pending[--pendingTop];
  m.ctl.loopTop = r.loopTop;
  m.ctl.loopNesting = r.loopNesting;
  m.statementStart = r.statementStart;
  stackBase = r.stackBase;
  st = values.data() + stackBase;
  valueTop = stackBase + kFastStack + 1;
  sp = r.sp;
  calls = r.calls;
  element = r.element;
  loopStart = r.loopStart;
  loopLimit = r.loopLimit;
  FORGET_FRAME();
  if (m.frames.depth > 0) [[likely]] {
    params = frameNumbers + static_cast<size_t>(m.frames.depth - 1) * kSlotsPerFrame;
    refs = frameRefs + static_cast<size_t>(m.frames.depth - 1) * kSlotsPerFrame;
  }
  op = r.call;
  // An end statement in an event handler the procedure ran ends the run
  // before the rest of the calling statement.
  if (m.stepsLeft <= 0) [[unlikely]] m.onStepBudget();
  if (op->code == oCall) st[sp++] = m.results.number;
  NEXT();
}
#ifndef KESTREL_THREADED
  }  // for
#endif
  } catch (...) {
    // The failing op's statement is the one the error reports; a call's
    // callee and the decoder have already said where it failed.
    if (op->statement >= 0 && op->code != oCall && op->code != oCallStatement && op->code != oExit)
      m.statementStart = op->statement;
    // The inline calls this run made are written to the return-position
    // table only now, for the post-mortem: each went one level deeper.
    for (size_t j = scope.pendingBase; j < pendingTop; ++j) {
      const Op* call = pending[j].call;
      m.ctl.setReturnPosition(depthBase + static_cast<int32_t>(j - scope.pendingBase), call->b, call->a);
    }
    throw;
  }
#undef FORGET_FRAME
#undef PARAM_ARRAY
#undef CASE
#undef DISPATCH
#undef NEXT
}

bool FastPath::run(Machine& m, Exit& exit) {
  const Op* block = impl_->blockFor(m, m.pos);
  if (block == nullptr) return false;
  charge(m, block);
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
