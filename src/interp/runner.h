#pragma once
// Running a program from start to end: start-up, the outermost run of the
// statement loop, shutdown, and the reporting of an error that leaves it.
#include <cstdint>
#include <string>
#include <vector>

#include "core/machine.h"
#include "core/run_end.h"

namespace kestrel {

// Runs `image` and returns the process exit status: 0 after a normal end or
// the end statement, 1 after a run-time error or a malformed image (reported
// on standard error as "kestrel: run-time error: TEXT").
int runImage(std::vector<uint8_t> image, MachineOptions options);

// From now on an error that nothing catches (memory that runs out inside a
// library) ends the process with "kestrel: run-time error: TEXT" and status
// 1 instead of an abort. runImage does this itself.
void reportUncaughtErrors();

// Runs a machine that has been set up; the same reporting.
int runMachine(Machine& machine);

// The C++ stack given to a program run (deep byte-code recursion runs on it).
inline constexpr size_t kProgramStackBytes = size_t{1} << 30;

}  // namespace kestrel
