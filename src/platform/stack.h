#pragma once
// The C++ stack that byte-code recursion runs on.
#include <cstddef>
#include <functional>

namespace kestrel::platform {

// The lowest usable address of the stack the caller runs on.
const char* currentStackLow();

// Runs `fn` on this thread but on a fresh stack of `bytes` (committed as it
// is used), so that deep byte-code recursion does not depend on the
// process's stack limit. Exceptions thrown by `fn` are rethrown here.
void runOnLargeStack(size_t bytes, const std::function<void()>& fn);

}  // namespace kestrel::platform
