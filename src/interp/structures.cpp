#include "interp/structures.h"

#include "interp/machine.h"

namespace kestrel {

void structureStatement(Machine& m, uint8_t code) {
  (void)m;
  raise("Structures are not available in this build (code " + std::to_string(code) + ")");
}

void structureItem(Machine& m, uint8_t code, EvalStacks& s) {
  (void)m;
  (void)s;
  raise("Structures are not available in this build (item " + std::to_string(code) + ")");
}

}  // namespace kestrel
