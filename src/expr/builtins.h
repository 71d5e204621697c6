#pragma once
// Built-in functions: item 6, a function code, then the function's own
// arguments. Every function pushes exactly one value.
#include <cstdint>

namespace kestrel {

class Machine;
struct EvalStacks;

void callBuiltin(Machine& m, uint8_t function, EvalStacks& s);

}  // namespace kestrel
