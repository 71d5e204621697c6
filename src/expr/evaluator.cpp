// The expression evaluator: a two-stack machine over the postfix item code.
#include <cmath>

#include "expr/builtins.h"
#include "expr/conversions.h"
#include "expr/item_codes.h"
#include "expr/operators.h"
#include "extcall/external_calls.h"
#include "core/fast_path.h"
#include "core/interpreter.h"
#include "core/machine.h"
#include "objects/object_dispatch.h"

namespace kestrel {

void EvalStacks::overflow() { raise("Expression too complex: evaluation stack overflow"); }

// Lends one evaluation its stacks from the machine's pool, so that nested
// evaluations each get their own without allocating.
class EvalScope {
 public:
  explicit EvalScope(Machine& m) : m_(m) {
    if (m.evalDepth_ == m.evalPool_.size()) m.evalPool_.push_back(std::make_unique<EvalStacks>());
    s_ = m.evalPool_[m.evalDepth_++].get();
    s_->reset();
    s_->num[0] = 0;
    s_->str[0].clear();
  }
  ~EvalScope() { --m_.evalDepth_; }
  EvalStacks& stacks() { return *s_; }

 private:
  Machine& m_;
  EvalStacks* s_;
};

int Machine::evaluate(double& number, Str& text, int32_t appendTarget) {
  if (fast && fast->evaluateNumber(*this, number)) {
    text.clear();
    return 0;
  }
  checkStack();
  text.clear();
  number = 0;
  EvalScope scope(*this);
  EvalStacks& s = scope.stacks();
  s.appendTarget = appendTarget;
  evaluateItems(s);
  // An item may give both forms of its value (line input, read data): both
  // outputs receive them.
  if (s.kind != 0) {
    text.swap(s.str[0]);
    if (s.hasNumberOutput) number = s.numberOutput;
    return 1;
  }
  number = s.num[0];
  if (s.ns > 0) text.swap(s.str[0]);
  return 0;
}

int32_t Machine::evalRound() { return roundToInt32(evalNumber()); }
int32_t Machine::evalTrunc() { return truncToInt32(evalNumber()); }

void Machine::pushVariant(EvalStacks& s, const VariantCell& cell) {
  if (cell.tag == VariantCell::kText) {
    if (s.kind != 0) s.pushString(cell.text);
    else s.pushNumber(parseLenient(cell.text, decimalSeparator));
    return;
  }
  const bool isInt = cell.tag == VariantCell::kInt;
  if (s.kind == 1 && s.ns >= 1)
    s.pushString(isInt ? formatInteger(cell.integer) : formatGeneral(cell.number, 15, 0, decimalSeparator));
  else
    s.pushNumber(isInt ? cell.integer : cell.number);
}

void Machine::pushVariable(EvalStacks& s, int kind, int32_t index) {
  switch (kind) {
    case kString: s.pushString(vars.stringAt(index)); break;
    case kByte: case kShort: case kInteger: case kWord:
    case kLong: case kSingle: case kDouble:
      s.pushNumber(loadNumber(kind, vars.scalarAt(kind, index)));
      break;
    case kFixString: s.pushString(vars.fixStringAt(index).padded()); break;
    case kVariant: pushVariant(s, vars.variantAt(index)); break;
    default: break;
  }
}

void Machine::pushElement(EvalStacks& s, int kind, int64_t position) {
  switch (kind) {
    case kString: s.pushString(vars.arrayStringAt(position, false)); break;
    case kByte: case kShort: case kInteger: case kWord:
    case kLong: case kSingle: case kDouble:
      s.pushNumber(loadNumber(kind, vars.elementAt(kind, position)));
      break;
    case kFixString: s.pushString(vars.arrayFixStringAt(position).padded()); break;
    case kVariant: pushVariant(s, vars.variantAt(position)); break;
    default: break;
  }
}

// `str:N = str:N + x` as the statement's last operation: when the
// variable and the stack are the only holders of its bytes, nothing can see
// the variable change before the assignment, so x is appended to it in
// place (amortised constant time) instead of copying the whole text.
bool Machine::appendInPlace(EvalStacks& s) {
  const auto index = static_cast<size_t>(s.appendTarget);
  if (index >= vars.strings.size()) return false;
  Str& target = vars.strings[index];
  if (!s.str[0].sharedOnlyWith(target)) return false;
  if (target.size() + s.str[1].size() > options.maxStringLength) raise(texts::kOutOfMemory);
  s.str[0].clear();  // the variable now holds the bytes alone
  target.append(s.str[1]);
  s.str[0] = target;
  s.ns = 1;
  return true;
}

namespace {
[[noreturn]] void raiseSubscripts(int count) {
  raise("Too many subscripts (" + std::to_string(count) + ")");
}
[[noreturn]] void raiseUndeclaredArray(int kind, int32_t index) {
  raise("Array not declared (kind " + std::to_string(kind) + ", number " + std::to_string(index) + ")");
}
}  // namespace

int64_t Machine::elementPosition(int kind, int32_t arrayIndex) {
  int count = u8();
  if (count == 0) count = 1;
  if (count > 5) raiseSubscripts(count);
  int32_t sub[5];
  for (int i = 0; i < count; ++i) sub[i] = evalTrunc();
  // Read the descriptor only now: a subscript may call a function that
  // declares the array again.
  const ArrayDescriptor& d = vars.descriptor(kind, arrayIndex);
  if (!d.declared) [[unlikely]] raiseUndeclaredArray(kind, arrayIndex);
  int64_t linear = 0;
  for (int i = 0; i < count - 1; ++i)
    linear += (int64_t{sub[i]} + d.negLower[static_cast<size_t>(i)]) * d.multiplier[static_cast<size_t>(i) + 1];
  linear += int64_t{sub[count - 1]} + d.negLower[static_cast<size_t>(count) - 1];
  const int64_t position = d.first + (isNumericKind(kind) ? linear * kElementWidth[kind] : linear);
  // Arrays of a kind share one store: a position outside the array's own
  // elements would reach its neighbour. String arrays keep the list's own
  // rule instead (a write past its end extends it).
  if (kind != kString && !withinArray(d, kind, linear)) [[unlikely]] VariableStores::raiseElementRange(kind, position);
  return position;
}

int64_t Machine::objectArrayIndex(int type, int32_t arrayIndex) {
  if (type != kVariant) return objects::arrayElementIndex(*this, type, arrayIndex);
  int count = u8();
  if (count == 0) count = 1;
  if (count > 5) raiseSubscripts(count);
  double sub[5];
  for (int i = 0; i < count; ++i) sub[i] = evalNumber();
  const ArrayDescriptor& d = vars.descriptor(kVariant, arrayIndex);
  if (!d.declared) raiseUndeclaredArray(kVariant, arrayIndex);
  return linearIndexFloat(d, sub, count);
}

int64_t linearIndexFloat(const ArrayDescriptor& d, const double* sub, int count) {
  // The whole sum in floating point, rounded once at the end.
  double linear = d.first;
  for (int i = 0; i < count - 1; ++i)
    linear += (sub[i] + d.negLower[static_cast<size_t>(i)]) * d.multiplier[static_cast<size_t>(i) + 1];
  linear += sub[count - 1] + d.negLower[static_cast<size_t>(count) - 1];
  return roundToInt32(linear);
}

namespace {

void pushConstant(Machine& m, EvalStacks& s) {
  switch (m.u8()) {
    case 0: {
      uint16_t length = m.u16();
      if (length > 2048) raise("String constant longer than 2048 characters");
      int64_t available = std::min<int64_t>(length, m.size - m.pos);
      s.pushString(std::string_view(reinterpret_cast<const char*>(m.code + m.pos), static_cast<size_t>(available)));
      m.pos += static_cast<int32_t>(available);
      break;
    }
    case 1: s.pushNumber(m.u8()); break;
    case 2: s.pushNumber(m.s16()); break;
    case 3: case 5: s.pushNumber(m.s32()); break;
    case 4: s.pushNumber(m.u16()); break;
    case 6: s.pushNumber(m.f32()); break;
    case 7: s.pushNumber(m.f64()); break;
    default: break;
  }
}

void pushParameter(Machine& m, EvalStacks& s) {
  const int kind = m.u8();
  const int slot = m.u8();
  const int32_t frame = m.frames.current();
  switch (kind) {
    case 0: s.pushString(m.frames.text(frame, slot)); return;
    case 1: s.pushNumber(static_cast<uint8_t>(roundToInt32(m.frames.number(frame, slot)))); return;
    case 2: s.pushNumber(static_cast<int16_t>(roundToInt32(m.frames.number(frame, slot)))); return;
    case 3: case 5: s.pushNumber(roundToInt32(m.frames.number(frame, slot))); return;
    case 4: s.pushNumber(static_cast<uint16_t>(roundToInt32(m.frames.number(frame, slot)))); return;
    case 6: case 7: s.pushNumber(m.frames.number(frame, slot)); return;
    default: break;
  }
  const int32_t index = m.frames.byRef(frame, slot).index;
  if (kind == 9) {
    m.pushVariant(s, m.vars.variantAt(index));
  } else if (kind >= 13 && kind <= 20) {
    int64_t position = m.elementPosition(kind - 13, index);
    m.pushElement(s, kind - 13, position);
  } else if (kind == 22) {
    int64_t position = m.elementPosition(kVariant, index);
    m.pushElement(s, kVariant, position);
  } else {
    // Every other kind names an object parameter: a member read follows.
    const int member = m.u8();
    objects::readMember(m, kind, index, member, s);
  }
}

}  // namespace

void Machine::evaluateItems(EvalStacks& s) {
  for (;;) {
    const uint8_t code = u8();
    if (code == kItemEnd || pos >= size) return;
    switch (code) {
      case kItemVariable: {
        const int kind = u8();
        if (kind > kVariant) break;
        pushVariable(s, kind, s16());
        break;
      }
      case kItemConstant: pushConstant(*this, s); break;
      case kItemElement: {
        const int kind = u8();
        if (kind > kVariant) break;
        const int32_t array = s16();
        const int64_t position = elementPosition(kind, array);
        pushElement(s, kind, position);
        break;
      }
      case kItemBuiltin: callBuiltin(*this, u8(), s); break;
      case kItemMember: {
        const int type = u8();
        const int32_t index = s16();
        objects::readMember(*this, type, index, u8(), s);
        break;
      }
      case kItemParameter: pushParameter(*this, s); break;
      case kItemCall: case kItemOpenCall: case kItemComputedCall: case kItemComputedOpenCall:
        callFunctionItem(*this, code, s);
        break;
      case kItemExternal: externalCallItem(*this, s); break;
      case kItemArrayMember: {
        const int type = u8();
        const int32_t array = s16();
        const int64_t index = objectArrayIndex(type, array);
        objects::readMember(*this, type, static_cast<int32_t>(index), u8(), s);
        break;
      }
      case kItemStructField: case kItemStructArrayField: case kItemStructSize:
      case kItemStructAddress: case kItemStructElementAddress:
        structureItem(*this, code, s);
        break;
      default:
        if (code == kOpPlus && s.appendTarget >= 0 && s.ns == 2 && s.kind != 0 && this->code[pos] == kItemEnd &&
            appendInPlace(s))
          break;
        if (isOperator(code)) applyOperator(s, code, options.maxStringLength);
        break;  // every other code is ignored
    }
  }
}

}  // namespace kestrel
