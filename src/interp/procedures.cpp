// Procedure and function calls with parameter frames.
#include "expr/conversions.h"
#include "core/machine.h"
#include "interp/statements.h"
#include "objects/object_dispatch.h"

namespace kestrel {

namespace {
constexpr uint8_t kContinuation = 33;
constexpr int kOpenListLimit = kOpenArgCapacity - 1;  // elements 1 to 255

bool isByReference(int marker) { return marker == kVariant || marker >= 13; }

// Reads an open argument list (marker, expression, ..., byte 11) into the
// open-argument arrays, elements from 1 upward.
void readOpenArguments(Machine& m) {
  std::vector<double> numbers;
  std::vector<Str> texts;
  while (m.u8() != 11 && !m.atEnd()) {
    if (m.evaluate() != 0) {
      if (texts.size() < kOpenListLimit) texts.push_back(m.strReg);
    } else if (numbers.size() < kOpenListLimit) {
      numbers.push_back(m.numReg);
    }
  }
  ControlStacks& c = m.ctl;
  c.openNumberCount = static_cast<int32_t>(numbers.size());
  c.openStringCount = static_cast<int32_t>(texts.size());
  for (size_t i = 0; i < numbers.size(); ++i) c.openNumbers[i + 1] = numbers[i];
  for (size_t i = 0; i < texts.size(); ++i) c.openStrings[i + 1] = std::move(texts[i]);
}

int32_t entryPosition(Machine& m, bool computed) {
  return computed ? m.evalRound() : m.s32();
}
}  // namespace

void Machine::readArgument(int32_t depth, int slot) {
  const int marker = u8();
  if (isByReference(marker)) {
    int32_t index = s16();
    if (index == -1) {
      // Passes on the caller's own by-reference parameter.
      index = frames.byRef(depth - 1, u8()).index;
    } else if (marker == kVariant || marker >= 30) {
      const int form = u8();
      if (form == 29 || form == 3) index = static_cast<int32_t>(objectArrayIndex(marker, index));
    }
    frames.byRef(depth, slot) = ByRefSlot{static_cast<uint8_t>(marker), index};
    return;
  }
  if (evaluate() != 0) frames.text(depth, slot) = strReg;
  else frames.number(depth, slot) = numReg;
}

void Machine::runProcedure(int32_t entry, int32_t resume) {
  const CallState state = enterProcedure(entry, resume);
  runLoop();
  leaveProcedure(state, resume);
}

void Machine::continuation() {
  const bool hasByte = pos < size;
  const uint8_t b = u8();
  if (hasByte && b == kContinuation) runLoop();
  else back();
}

void callStatement(Machine& m, uint8_t sub) {
  const int count = m.u8();
  const int32_t entry = entryPosition(m, sub == 52);
  const int32_t depth = m.frames.depth;
  m.frames.ensure(depth);
  for (int k = 0; k < count; ++k) m.readArgument(depth, k);
  m.runProcedure(entry, m.pos);
  if (sub == 3) m.continuation();
}

void openCallStatement(Machine& m, uint8_t sub) {
  m.u8();
  const int32_t entry = entryPosition(m, sub == 53);
  readOpenArguments(m);
  m.runProcedure(entry, m.pos);
}

void returnFromProcedure(Machine& m) {
  const int32_t depth = --m.frames.depth;
  const auto& stack = m.ctl.returnPositions;
  if (depth >= 0 && static_cast<size_t>(depth) < stack.size()) m.seek(stack[static_cast<size_t>(depth)]);
}

void assignParameter(Machine& m) {
  const int kind = m.u8();
  const int slot = m.u8();
  const int32_t frame = m.frames.current();
  if (kind == kString) {
    m.evaluate();
    m.frames.text(frame, slot) = m.strReg;
    return;
  }
  if (isNumericKind(kind)) {
    const double v = m.evalNumber();
    m.frames.number(frame, slot) = v;
    return;
  }
  const int32_t index = m.frames.byRef(frame, slot).index;
  if (kind == kVariant) {
    const int resultKind = m.evaluate();
    m.assignVariant(m.vars.variantAt(index), resultKind);
  } else if (kind >= 13 && kind <= 22) {
    const int arrayKind = kind - 13;
    const int64_t position = m.elementPosition(arrayKind, index);
    const int resultKind = m.evaluate();
    m.assignElement(arrayKind, position, resultKind);
  } else {
    objects::writeMember(m, kind, index, m.u8());
  }
}

void callFunctionItem(Machine& m, uint8_t item, EvalStacks& s) {
  const int resultKind = m.u8();
  if (resultKind == 1 || resultKind > 9) return;
  const bool open = item == 15 || item == 28;
  int32_t entry = 0;
  if (open) {
    if (item == 28) m.u8();
    entry = entryPosition(m, item == 28);
    readOpenArguments(m);
  } else {
    const int count = m.u8();
    entry = entryPosition(m, item == 27);
    const int32_t depth = m.frames.depth;
    m.frames.ensure(depth);
    for (int k = 0; k < count; ++k) m.readArgument(depth, k);
  }
  m.runProcedure(entry, m.pos);
  if (resultKind == 0 || (resultKind == 9 && m.results.variantIsString != 0)) s.pushString(m.results.text);
  else s.pushNumber(m.results.number);
  if (!open) m.continuation();
}

}  // namespace kestrel
