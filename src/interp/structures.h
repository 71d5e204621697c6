#pragma once
// User-defined structures: declarations, field assignments, copies, and the
// expression items that read them.
#include <cstdint>

namespace kestrel {

class Machine;
struct EvalStacks;

void structureStatement(Machine& m, uint8_t code);         // top-level 37, 38, 40, 41
void structureItem(Machine& m, uint8_t code, EvalStacks& s);  // items 37 to 41

}  // namespace kestrel
