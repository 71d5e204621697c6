#pragma once
// Ending the process from inside foreign code, where the outermost run
// cannot be reached by unwinding (src/interp/runner.cpp implements them).
#include <string>

namespace kestrel {

class Machine;

// The end statement in a call-back's handler: everything the end of a run
// does (files closed, print documents and jobs printed), then the exit.
[[noreturn]] void endRunFromCallback(Machine& machine, int status);
// A fault inside an external function: the error is reported, standard
// output flushed and the files closed; nothing else runs (the library may
// hold locks or have broken the heap), and the status is 1.
[[noreturn]] void endRunAfterFault(Machine& machine, const std::string& text);

}  // namespace kestrel
