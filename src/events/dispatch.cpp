#include "events/dispatch.h"

#include <cstdio>
#include <initializer_list>
#include <new>

#include "expr/conversions.h"
#include "core/machine.h"
#include "core/system_state.h"
#include "platform/end_requests.h"
#include "toolkit/toolkit.h"

namespace kestrel::events {

namespace {

void report(Machine& m, const char* text) {
  m.out.flush();
  if (m.statementStart >= 0)
    std::fprintf(stderr, "kestrel: error in an event handler: %s%s\n", text,
                 describePosition(m.options.source.get(), m.statementStart).c_str());
  else
    std::fprintf(stderr, "kestrel: error in an event handler: %s\n", text);
  std::fflush(stderr);
}

// What a handler may leave behind when it fails: everything a normal
// return puts back.
struct Snapshot {
  explicit Snapshot(const Machine& m)
      : position(m.pos),
        depth(m.frames.depth),
        loopTop(m.ctl.loopTop),
        loopNesting(m.ctl.loopNesting),
        subroutines(m.ctl.subroutineCount),
        selectionLevel(m.ctl.selectionLevel),
        statementStart(m.statementStart) {}
  void restore(Machine& m) const {
    m.pos = position;
    m.frames.depth = depth;
    m.ctl.loopTop = loopTop;
    m.ctl.loopNesting = loopNesting;
    m.ctl.subroutineCount = subroutines;
    m.ctl.selectionLevel = selectionLevel;
    m.statementStart = statementStart;
  }
  int32_t position;
  int32_t depth;
  size_t loopTop;
  int32_t loopNesting;
  int32_t subroutines;
  int32_t selectionLevel;
  int32_t statementStart;
};

// A by-reference number read back into the event's variable, as its Round;
// a value that does not round is the handler's error and changes nothing.
int32_t roundedReadBack(Machine& m, double value, int32_t unchanged) {
  try {
    return roundToInt32(value);
  } catch (const RuntimeError& e) {
    report(m, e.what());
    return unchanged;
  }
}

}  // namespace

EventState& state(Machine& m) { return m.system->events; }

// A signal asking the program to end counts too: modal loops give way.
bool endPending(const Machine& m) { return m.system->events.pendingEnd >= 0 || platform::requestedEndStatus() != 0; }

bool call(Machine& m, HandlerCall& c) {
  if (c.entry == 0 || endPending(m)) return false;
  const Snapshot before(m);
  try {
    const int32_t d = m.frames.depth;
    m.frames.ensure(d);
    for (int i = 0; i < c.numberCount; ++i) m.frames.number(d, i) = c.numbers[i];
    if (c.textSlot >= 0) m.frames.text(d, c.textSlot) = c.text;
    if (c.senderSlot >= 0)
      m.frames.byRef(d, c.senderSlot) = ByRefSlot{static_cast<uint8_t>(c.sender.type), c.sender.index};
    if (c.objectSlot >= 0)
      m.frames.byRef(d, c.objectSlot) = ByRefSlot{static_cast<uint8_t>(c.object.type), c.object.index};
    m.runProcedure(c.entry, before.position);
    m.pos = before.position;
    m.statementStart = before.statementStart;
    if (c.readBackSlot >= 0) c.readBack = m.frames.number(d, c.readBackSlot);
    if (c.textReadBack && c.textSlot >= 0) c.text = m.frames.text(d, c.textSlot);
    return true;
  } catch (const RuntimeError& e) {
    before.restore(m);
    report(m, e.what());
  } catch (const std::bad_alloc&) {
    before.restore(m);
    report(m, texts::kOutOfMemory);
  } catch (const ProgramEnd& end) {
    before.restore(m);
    m.system->events.pendingEnd = end.status;
    m.stepsLeft = 0;  // the next statement ends the run (Machine::onStepBudget)
  } catch (const StepBudgetExhausted&) {
    before.restore(m);
    m.system->events.pendingEnd = 0;
  }
  return false;
}

namespace {

// The common layout: the numbers in the first slots, then the sender.
HandlerCall numbersThenSender(int32_t entry, Sender sender, std::initializer_list<double> numbers) {
  HandlerCall c;
  c.entry = entry;
  for (double n : numbers) c.numbers[c.numberCount++] = n;
  c.sender = sender;
  c.senderSlot = c.numberCount;
  return c;
}

}  // namespace

void notify(Machine& m, int32_t entry, Sender sender) {
  HandlerCall c = numbersThenSender(entry, sender, {});
  call(m, c);
}

void indexed(Machine& m, int32_t entry, Sender sender, int32_t index) {
  HandlerCall c = numbersThenSender(entry, sender, {double(index)});
  call(m, c);
}

void itemChange(Machine& m, int32_t entry, Sender sender, int32_t item, int32_t kind) {
  HandlerCall c = numbersThenSender(entry, sender, {double(item), double(kind)});
  call(m, c);
}

int32_t scroll(Machine& m, int32_t entry, Sender sender, int32_t code, int32_t position) {
  HandlerCall c = numbersThenSender(entry, sender, {double(code), double(position)});
  c.readBackSlot = 1;
  if (!call(m, c)) return position;
  return roundedReadBack(m, c.readBack, position);
}

bool selectCell(Machine& m, int32_t entry, Sender sender, int32_t column, int32_t row, bool canSelect) {
  HandlerCall c = numbersThenSender(entry, sender, {double(column), double(row), canSelect ? 1.0 : 0.0});
  c.readBackSlot = 2;
  if (!call(m, c)) return canSelect;
  return roundedReadBack(m, c.readBack, canSelect ? 1 : 0) != 0;
}

bool query(Machine& m, int32_t entry, Sender sender, int32_t node, bool allow) {
  HandlerCall c = numbersThenSender(entry, sender, {double(node), allow ? 1.0 : 0.0});
  c.readBackSlot = 1;
  if (!call(m, c)) return allow;
  return roundedReadBack(m, c.readBack, allow ? 1 : 0) != 0;
}

void cell(Machine& m, int32_t entry, Sender sender, int32_t column, int32_t row) {
  HandlerCall c = numbersThenSender(entry, sender, {double(column), double(row)});
  call(m, c);
}

void cellText(Machine& m, int32_t entry, Sender sender, int32_t column, int32_t row, const Str& text) {
  HandlerCall c = numbersThenSender(entry, sender, {double(column), double(row)});
  c.senderSlot = 3;
  c.text = text;
  c.textSlot = 2;
  call(m, c);
}

Str edited(Machine& m, int32_t entry, Sender sender, int32_t node, const Str& text) {
  HandlerCall c = numbersThenSender(entry, sender, {double(node)});
  c.senderSlot = 2;
  c.text = text;
  c.textSlot = 1;
  c.textReadBack = true;
  if (!call(m, c)) return text;
  return c.text;
}

namespace {

// Runs an owner-draw call with the list-draw-busy flag set.
bool drawCall(Machine& m, HandlerCall& c, bool dropWhileBusy) {
  bool& busy = state(m).listDrawBusy;
  if (c.entry == 0 || (dropWhileBusy && busy)) return false;
  FlagGuard guard(busy, true);
  return call(m, c);
}

}  // namespace

void drawItem(Machine& m, int32_t entry, Sender sender, int32_t index, bool selected, Sender rectangle,
              bool dropWhileBusy) {
  HandlerCall c = numbersThenSender(entry, sender, {double(index), selected ? 0.0 : 1.0});
  c.object = rectangle;
  c.objectSlot = 2;
  c.senderSlot = 3;
  drawCall(m, c, dropWhileBusy);
}

void drawCell(Machine& m, int32_t entry, Sender sender, int32_t column, int32_t row, bool selected, Sender rectangle,
              bool dropWhileBusy) {
  HandlerCall c = numbersThenSender(entry, sender, {double(column), double(row), selected ? 1.0 : 0.0});
  c.object = rectangle;
  c.objectSlot = 3;
  c.senderSlot = 4;
  drawCall(m, c, dropWhileBusy);
}

int32_t measureItem(Machine& m, int32_t entry, Sender sender, int32_t index, int32_t height, bool dropWhileBusy) {
  HandlerCall c = numbersThenSender(entry, sender, {double(index), double(height)});
  c.readBackSlot = 1;
  if (!drawCall(m, c, dropWhileBusy)) return height;
  return roundedReadBack(m, c.readBack, height);
}

void mouseButton(Machine& m, int32_t entry, Sender sender, int button, int x, int y, int shift) {
  if (entry == 0 || state(m).mouseBusy) return;
  HandlerCall c = numbersThenSender(entry, sender, {double(button), double(x), double(y), double(shift)});
  call(m, c);
}

void mouseMove(Machine& m, int32_t entry, Sender sender, int x, int y, int shift) {
  EventState& events = state(m);
  events.mouseX = x;
  events.mouseY = y;
  if (entry == 0 || events.mouseBusy) return;
  FlagGuard busy(events.mouseBusy, true);
  HandlerCall c = numbersThenSender(entry, sender, {double(x), double(y), double(shift)});
  call(m, c);
}

void keyPress(Machine& m, int32_t entry, Sender sender, int character) {
  HandlerCall c = numbersThenSender(entry, sender, {double(character & 0xFF)});
  call(m, c);
}

void key(Machine& m, int32_t entry, Sender sender, int virtualKey, int shift) {
  HandlerCall c = numbersThenSender(entry, sender, {double(virtualKey), double(shift)});
  call(m, c);
}

int32_t close(Machine& m, int32_t entry, Sender sender, int32_t action) {
  HandlerCall c = numbersThenSender(entry, sender, {double(action)});
  c.readBackSlot = 0;
  if (!call(m, c)) return action;
  return roundedReadBack(m, c.readBack, action);
}

bool message(Machine& m, int32_t entry, intptr_t handle, uint32_t msg, intptr_t wParam, intptr_t lParam) {
  if (entry == 0 || state(m).dispatchSuspended) return false;
  HandlerCall c;
  c.entry = entry;
  c.numbers[0] = static_cast<double>(handle);
  c.numbers[1] = msg;
  c.numbers[2] = static_cast<double>(wParam);
  c.numbers[3] = static_cast<double>(lParam);
  c.numberCount = 4;
  return call(m, c);
}

void hint(Machine& m, int32_t entry, const std::string& longHint) {
  HandlerCall c;
  c.entry = entry;
  c.text = Str(longHint);
  c.textSlot = 0;
  call(m, c);
}

void processPending(Machine& m) {
  toolkit().processPendingEvents();
  checkPendingEnd(m);
}

bool waitForEvents(Machine& m) {
  const bool any = toolkit().waitForEvents();
  return any && !endPending(m);
}

void checkPendingEnd(Machine& m) {
  EventState& events = state(m);
  const int32_t status = events.pendingEnd;
  if (status < 0) return;
  events.pendingEnd = -1;
  throw ProgramEnd{status};
}

}  // namespace kestrel::events
