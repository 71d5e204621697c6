#include "state/errors.h"

namespace kestrel {

void raise(const std::string& text) { throw RuntimeError(text); }

void raiseListIndex(int64_t index) {
  throw RuntimeError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace kestrel
