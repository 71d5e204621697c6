#pragma once
// What the console changed on the terminal, kept for the whole process so
// that every way out puts it back: the normal end, a run-time error, the end
// statement, exit(), and the signals that end a process (SIGINT, SIGTERM,
// SIGHUP, SIGQUIT: their handlers restore, then raise the signal again).
#include <string_view>

namespace kestrel::terminal {

// Puts terminal `fd` in raw input mode (no line editing, no echo, reads that
// do not wait; Ctrl+C still interrupts) and remembers the mode it had.
// Returns false when `fd` is no terminal.
bool enterRawInput(int fd);
// Gives the terminal back the mode it had before enterRawInput.
void leaveRawInput();
bool rawInputActive();

// The bytes that undo what the console's output changed (colours, a hidden
// cursor, the title), written to standard output on an abnormal exit.
void setOutputReset(std::string_view bytes);

// Restores the input mode and writes the output reset; safe to call from a
// signal handler, and harmless when there is nothing to restore.
void restoreNow();

}  // namespace kestrel::terminal
