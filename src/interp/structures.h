#pragma once
// User-defined structures: declarations, field assignments, copies, and the
// expression items that read them.
#include <cstdint>

#include "core/interpreter.h"

namespace kestrel {

class Machine;
struct EvalStacks;

void structureStatement(Machine& m, uint8_t code);         // top-level 37, 38, 40, 41

}  // namespace kestrel
