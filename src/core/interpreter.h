#pragma once
// What the expression evaluator asks of the statement interpreter: calls of
// the program's own functions inside an expression, and the items that
// read user-defined structures. Their code lives in src/interp.
#include <cstdint>

namespace kestrel {

class Machine;
struct EvalStacks;

void callFunctionItem(Machine& m, uint8_t item, EvalStacks& s);  // items 13, 15, 27, 28
void structureItem(Machine& m, uint8_t code, EvalStacks& s);     // items 37 to 41

}  // namespace kestrel
