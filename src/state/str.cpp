#include "state/str.h"

#include "state/errors.h"

namespace kestrel {

void Str::tooLong() { raise(texts::kOutOfMemory); }

}  // namespace kestrel
