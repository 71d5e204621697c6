#pragma once
// Requests from outside to end the program: the signals that ask a process
// to end (TERM, INT, HUP) and a reader that closed standard output. Instead
// of dying with the program's work half done, the run ends at its next
// statement the way the end statement ends it (files closed, print jobs
// printed); then the process ends by that signal (endAsRequested). Waits that could last
// (sleeps, console input) return early once an end is asked for.
#include <cstdint>

namespace kestrel::platform {

// Installs the handlers for a run on the calling thread. A request writes 0
// into `budget`, the statement loop's step budget, so the loop looks at it
// within one statement or block (Machine::onStepBudget); it keeps doing so
// every second until the run ends, in case a write of the budget raced with it.
void watchEndRequests(int64_t* budget);
// The run is over: requests no longer touch its budget, and TERM, INT and
// HUP do again what they did before.
void stopWatchingEndRequests();
// Asks for the end as signal `signal` would (standard output's reader went
// away: SIGPIPE's number).
void requestEnd(int signal);
// The status to end with (128 + the signal); 0 while no end was asked for.
int requestedEndStatus();
// A descriptor that becomes readable when an end is asked for (made on the
// first call; -1 when it cannot be), so that an event loop waiting for
// window events wakes up (the toolkit watches it and reads it empty).
int endRequestDescriptor();
// The number SIGPIPE has here, for requestEnd.
int brokenPipeSignal();
// When an end was asked for: once the run's work is put away, the process
// ends by that signal (its default action), so that whoever started it sees
// what ended it, as a shell does. Returns when no end was asked for.
void endAsRequested();

}  // namespace kestrel::platform
