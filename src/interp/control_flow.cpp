// Counted loops, subroutines and multi-way selection.
#include "expr/conversions.h"
#include "core/machine.h"
#include "interp/statements.h"

namespace kestrel {

namespace {
constexpr uint8_t kLoopMarker = 1;

bool loopGoesOn(double value, double limit, double step) {
  return (step < 0 && value >= limit) || (step > 0 && value <= limit);
}

}  // namespace

double stepLoopVariable(Machine& m, const LoopRecord& r) {
  uint8_t* p = m.vars.scalarAt(r.kind, r.index);
  switch (r.kind) {
    case kSingle: {
      float v = static_cast<float>(loadNumber(kSingle, p)) + static_cast<float>(r.step);
      std::memcpy(p, &v, 4);
      return v;
    }
    case kDouble: {
      double v = loadNumber(kDouble, p) + r.step;
      std::memcpy(p, &v, 8);
      return v;
    }
    default: {
      // Integer kinds keep the low 8, 16 or 32 bits of the sum.
      int64_t sum = static_cast<int64_t>(loadNumber(r.kind, p)) + roundToInt32(r.step);
      storeInteger(r.kind, p, static_cast<int32_t>(static_cast<uint32_t>(sum)));
      return loadNumber(r.kind, p);
    }
  }
}

void beginLoop(Machine& m) {
  if (m.u8() != kLoopMarker) return;
  LoopRecord r;
  r.kind = m.u8();
  r.index = m.s16();
  const double start = m.evalNumber();
  if (isNumericKind(r.kind)) storeNumberRound(r.kind, m.vars.scalarAt(r.kind, r.index), start);
  r.limit = m.evalNumber();
  r.step = m.evalNumber();
  const int32_t offset = m.s32();
  if ((r.step < 0 && start < r.limit) || (r.step > 0 && start > r.limit)) {
    m.jump(offset);  // the body does not run at all
    return;
  }
  ControlStacks& c = m.ctl;
  if (c.loops.size() <= c.loopTop) c.loops.resize(c.loopTop + 8);
  c.loops[c.loopTop++] = r;
  ++c.loopNesting;
}

void endLoop(Machine& m) {
  ControlStacks& c = m.ctl;
  const int32_t offset = m.s32();
  if (c.loopTop == 0) return;  // no loop is running: nothing to step
  const LoopRecord r = c.loops[c.loopTop - 1];
  if (isNumericKind(r.kind) && loopGoesOn(stepLoopVariable(m, r), r.limit, r.step)) {
    m.jump(offset);
    return;
  }
  --c.loopTop;
  --c.loopNesting;
}

void leaveLoop(Machine& m) {
  m.jump(m.s32());
  if (m.ctl.loopTop > 0) --m.ctl.loopTop;
}

void callSubroutine(Machine& m) {
  const int32_t offset = m.s32();
  ControlStacks& c = m.ctl;
  if (c.subroutineCount >= kSubroutineStackSize)
    raise("Subroutine calls nested too deeply (more than " + std::to_string(kSubroutineStackSize) + ")");
  c.subroutines[static_cast<size_t>(c.subroutineCount++)] = m.pos;
  c.subroutineEverCalled = true;
  m.jump(offset);
}

void returnFromSubroutine(Machine& m) {
  ControlStacks& c = m.ctl;
  if (c.subroutineCount > 0) --c.subroutineCount;
  else if (!c.subroutineEverCalled) raise("Return from subroutine without a subroutine call");
  m.seek(c.subroutines[static_cast<size_t>(c.subroutineCount)]);
}

namespace {
SelectionLevel& currentSelection(Machine& m) {
  return m.ctl.selections[static_cast<size_t>(m.ctl.selectionLevel)];
}
}  // namespace

void beginSelection(Machine& m) {
  const int level = m.u8();
  if (level >= kSelectionLevels) raise("Selection nested too deeply (level " + std::to_string(level) + ")");
  m.ctl.selectionLevel = level;
  const int kind = m.evaluate();
  SelectionLevel& sel = currentSelection(m);
  sel.mode = static_cast<uint8_t>(kind);
  if (kind != 0) sel.text = m.strReg;
  else sel.number = m.numReg;
}

void selectionClause(Machine& m) {
  const int count = m.u8();
  bool matched = false;
  double itemNumber = 0;
  Str itemText;
  for (int counter = 1; counter <= count;) {
    const uint8_t op = m.u8();
    m.evaluate(itemNumber, itemText);
    ++counter;
    const SelectionLevel& sel = currentSelection(m);
    if (op == 2) {
      if (!matched) matched = sel.mode != 0 ? sel.text == itemText : sel.number == itemNumber;
    } else if (op == 19) {
      if (!matched && itemNumber != 0) matched = true;
    } else {
      m.u8();
      m.evaluate();  // the upper bound, into the shared registers
      ++counter;
      const SelectionLevel& s = currentSelection(m);
      if (!matched) {
        matched = s.mode != 0 ? (s.text >= itemText && s.text <= m.strReg)
                              : (s.number >= itemNumber && s.number <= m.numReg);
      }
    }
  }
  const int32_t offset = m.s32();
  if (!matched) m.jump(offset);
}

void endSelection(Machine& m) {
  if (m.ctl.selectionLevel > 0) --m.ctl.selectionLevel;
}

}  // namespace kestrel
