#pragma once
// Event dispatch: how the window system's events run the program's
// handlers. Every event of every object type goes through these functions.
//
// The handler call: the event's numbers go into the numeric parameter
// slots of the frame at the current call depth D, its text into a string
// slot, the sender (type code and object index) into a by-reference slot;
// the read position is kept, the depth raised, and the statement loop runs
// the handler's body (entry + 4). Afterwards the read position is back
// where it was, and a by-reference argument is read back from frame D.
//
// An error that escapes a handler is printed on standard error and dropped:
// the read position, the call depth, the loop and subroutine stacks and the
// busy flags are put back as after a normal return, so that the program
// goes on where it was. An end statement in a handler ends the run as soon
// as control is back in the byte code (after the toolkit call that
// delivered the event); until then no handler runs.
#include <cstdint>
#include <string>

#include "state/str.h"

namespace kestrel {
class Machine;
}

namespace kestrel::events {

// The object that raised an event: its type code and object index.
struct Sender {
  int type = 0;
  int32_t index = 0;
};

struct HandlerCall {
  int32_t entry = 0;  // handler position; 0 runs nothing
  double numbers[4] = {};
  int numberCount = 0;
  Sender sender;
  int senderSlot = -1;  // -1: the event passes no sender
  Sender object;        // another object passed by reference (a rectangle)
  int objectSlot = -1;
  Str text;
  int textSlot = -1;
  bool textReadBack = false;  // out: `text` holds the string slot's value
  int readBackSlot = -1;  // a numeric slot read back after the handler
  double readBack = 0;    // in: nothing; out: the slot's value
};

// Runs one handler call. True when the handler ran to its end (false when
// there is none, dispatch is blocked by a pending end, or it failed).
bool call(Machine& m, HandlerCall& c);

// ---- The argument layouts (toolkit/event_kinds.h says which event has
// which). The numbers come first, the sender by reference after them; a
// slot that is read back gives the function's result (a number as its
// Round; the value passed in when no handler ran or it failed).
// Click, double click, change, resize, show, paint, timer: the sender only.
void notify(Machine& m, int32_t entry, Sender sender);
// One index: tree node events (node index), list-view column clicks.
void indexed(Machine& m, int32_t entry, Sender sender, int32_t index);
// A list view's change: the item's index and the kind of change.
void itemChange(Machine& m, int32_t entry, Sender sender, int32_t item, int32_t kind);
// A scroll bar's scroll: the scroll code and the position, read back.
int32_t scroll(Machine& m, int32_t entry, Sender sender, int32_t code, int32_t position);
// A string grid's select cell: column, row and can-select (1 or 0), read back.
bool selectCell(Machine& m, int32_t entry, Sender sender, int32_t column, int32_t row, bool canSelect);
// A string grid's cell event (ellipsis button, pick list drop-down):
// column and row.
void cell(Machine& m, int32_t entry, Sender sender, int32_t column, int32_t row);
// A string grid's edited cell: column, row and the text in string slot 2.
void cellText(Machine& m, int32_t entry, Sender sender, int32_t column, int32_t row, const Str& text);
// A vetoable tree event (changing, expanding, collapsing, editing): the
// node index and the allow flag (1 or 0), read back.
bool query(Machine& m, int32_t entry, Sender sender, int32_t node, bool allow);
// A tree node's edited text: the node index and the text in string slot
// 1, read back.
Str edited(Machine& m, int32_t entry, Sender sender, int32_t node, const Str& text);
// Owner draw. These handlers run with the list-draw-busy flag set; while
// it is set, a call with `dropWhileBusy` runs nothing (and measuring gives
// the height passed in). `rectangle` is the rectangle object that holds
// the item's or cell's rectangle.
// A list's item: the index, 0 when selected (1 otherwise), the rectangle.
void drawItem(Machine& m, int32_t entry, Sender sender, int32_t index, bool selected, Sender rectangle,
              bool dropWhileBusy);
// A grid's cell: column, row, 1 when selected (0 otherwise), the rectangle.
void drawCell(Machine& m, int32_t entry, Sender sender, int32_t column, int32_t row, bool selected, Sender rectangle,
              bool dropWhileBusy);
// A list's item height: the index and the height, read back.
int32_t measureItem(Machine& m, int32_t entry, Sender sender, int32_t index, int32_t height, bool dropWhileBusy);
// Mouse down and up: button, x, y, shift code; dropped while the mouse is busy.
void mouseButton(Machine& m, int32_t entry, Sender sender, int button, int x, int y, int shift);
// Mouse move: x, y, shift code. Records the mouse position; dropped while
// the mouse is busy, and makes it busy while the handler runs.
void mouseMove(Machine& m, int32_t entry, Sender sender, int x, int y, int shift);
// Key press: the character code (0 to 255).
void keyPress(Machine& m, int32_t entry, Sender sender, int character);
// Key down and up: the virtual-key code and the shift code.
void key(Machine& m, int32_t entry, Sender sender, int virtualKey, int shift);
// Form close: the close action in slot 0, read back; returns it.
int32_t close(Machine& m, int32_t entry, Sender sender, int32_t action);
// A window message: handle, message, wParam, lParam; not while dispatch is
// suspended. True when a handler ran.
bool message(Machine& m, int32_t entry, intptr_t handle, uint32_t msg, intptr_t wParam, intptr_t lParam);
// The application's hint: the long part of the hint in string slot 0.
void hint(Machine& m, int32_t entry, const std::string& longHint);

// Sets a flag for the life of the guard and puts back what it was.
class FlagGuard {
 public:
  FlagGuard(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~FlagGuard() { flag_ = saved_; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

// ---- Pumping the window system from the byte code.
// Handles the events that are waiting (the process-messages statement).
void processPending(Machine& m);
// Waits for events and handles them (modal loops); false when none can come.
bool waitForEvents(Machine& m);
// Ends the run when a handler ran the end statement (throws ProgramEnd).
void checkPendingEnd(Machine& m);
// True while an end is pending: modal loops stop.
bool endPending(const Machine& m);

}  // namespace kestrel::events
