// System statements: dialogs, files, processes, sounds, the environment.
#include "interp/machine.h"
#include "interp/statements.h"

namespace kestrel {

void systemStatement(Machine& m, uint8_t sub) {
  (void)m;
  raise("Statement not available in this build (extended code " + std::to_string(sub) + ")");
}

}  // namespace kestrel
