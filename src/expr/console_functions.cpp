// Built-in functions that read the console: keys, lines, the screen and pages.
#include "expr/builtin_functions.h"

namespace kestrel {

bool consoleFunction(Machine& m, uint8_t code, EvalStacks& s) {
  (void)m;
  (void)s;
  (void)code;
  return false;
}

}  // namespace kestrel
