#pragma once
// The operands of the invoke members (automation objects and containers)
// and the value a call's result pushes.
#include "expr/eval_stacks.h"
#include "ole/remote_object.h"

namespace kestrel {
class Machine;
}

namespace kestrel::ole {

inline constexpr size_t kMaxArguments = 255;

// An ignored byte, the member name and the argument list; the statement
// form then reads one more byte, and 1 there makes the call a property
// put of one more expression. Each argument is copied as it is read
// ("Too many arguments" past 255).
Invocation readInvocation(Machine& m, bool statement);

// Pushes a result as the program reads it (bus_values.h).
void pushResult(EvalStacks& s, const bus::Value& value);

}  // namespace kestrel::ole
