#pragma once
// Calling a C function with the program's arguments through libffi, with
// the platform's C calling convention.
//
// Arguments: kind 0 a pointer to a zero-terminated copy of the text in the
// low arena (what the function leaves in it is read back with the text's
// original length); kinds 1, 2 and 4 the rounded number reduced to 8 or 16
// bits; kinds 3 and 5 the rounded number as a 32-bit integer, or as a 64-bit
// integer when the value is an exact integer outside 32 bits (a pointer that
// another call returned); kind 6 a single and kind 7 a double; kinds 68 and 71
// the address of a rectangle or an 88-byte record; other object kinds the
// object index; every other kind a single.
//
// Results: kind 0 the returned pointer's text into the string register;
// kinds 2 and 4 the low 16 bits, unsigned; kind 6 a single; kind 7 a double;
// kind 1 nothing; any other kind a signed 32-bit integer, or the whole
// 64-bit value when it is not a 32-bit value widened (a pointer).
#include <cstdint>
#include <vector>

#include "extcall/call_record.h"

namespace kestrel {
class Machine;
}

namespace kestrel::extcall {

struct CallOutcome {
  bool isText = false;
  Str text;
  double number = 0;
  bool hasValue = false;  // false for result kind 1
};

// Calls `function` (its export `name`, for errors); afterwards `args` hold
// the values the function left (texts read back from their buffers). A
// fault inside the function ends the program with status 1.
CallOutcome callFunction(Machine& m, void* function, const std::string& name, std::vector<ExternalArgument>& args,
                         int resultKind);

// The number a 64-bit integer register stands for: a 32-bit value widened
// with zeros or with its sign is that signed 32-bit value, anything else is
// taken whole.
double registerValue(uint64_t raw);

// The machine whose external call is running (built-in modules use it).
Machine* callingMachine();

// Built-in functions report an error here instead of throwing through the
// foreign call; it is raised when the call has returned.
void reportCallError(const std::string& text);

}  // namespace kestrel::extcall
