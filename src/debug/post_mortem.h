#pragma once
// The post-mortem: after a run-time error, the program's state as the error
// left it, on standard error: the procedure calls (innermost first) with
// their parameters, the counted loops and every declared scalar variable,
// with the names the source gave where they are known.
#include <cstdio>

namespace kestrel {
class Machine;
}

namespace kestrel::debug {

void writePostMortem(Machine& m, std::FILE* out);
// For MachineOptions::afterError: writes to standard error.
void postMortemToStderr(Machine& m);

}  // namespace kestrel::debug
