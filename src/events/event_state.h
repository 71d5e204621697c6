#pragma once
// What event dispatch keeps for one program: the three run-time flags that
// guard against unwanted re-entry, an end that waits for the byte code,
// and the last mouse position that mouse events record.
#include <cstdint>

namespace kestrel {
class Machine;
}

namespace kestrel::events {

struct EventState {
  bool dispatchSuspended = false;  // window-message hooks run no byte code
  bool mouseBusy = false;          // mouse events are dropped
  bool listDrawBusy = false;       // guarded owner-draw and measure events are dropped
  // An end statement ran inside an event handler: the run ends with this
  // status as soon as control is back in the byte code (-1: none).
  int32_t pendingEnd = -1;
  int32_t mouseX = 0;
  int32_t mouseY = 0;
};

// The event state of the program that `m` runs.
EventState& state(Machine& m);

}  // namespace kestrel::events
