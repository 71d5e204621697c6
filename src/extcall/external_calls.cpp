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

void callbackEntry(Machine& m, EvalStacks& s) {
  m.s32();
  m.u8();
  s.pushNumber(0);
}

void libraryHandle(Machine& m, EvalStacks& s) {
  m.evaluate();
  s.pushNumber(0);
}

}  // namespace kestrel
