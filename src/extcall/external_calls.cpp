#include "extcall/external_calls.h"

#include "interp/machine.h"

namespace kestrel {

void externalCallStatement(Machine& m, int subCode) {
  (void)m;
  raise("External calls are not available in this build (extended code " + std::to_string(subCode) + ")");
}

void externalCallItem(Machine& m, EvalStacks& s) {
  (void)m;
  (void)s;
  raise("External calls are not available in this build");
}

void forgetLibrary(Machine& m) { m.evaluate(); }

}  // namespace kestrel
