// Built-in functions that reach the console, the system, files and memory.
#include "expr/builtin_functions.h"

namespace kestrel {

void systemFunction(Machine& m, uint8_t code, EvalStacks& s) {
  (void)m;
  (void)s;
  raise("Function not available in this build (function " + std::to_string(code) + ")");
}

}  // namespace kestrel
