#pragma once
// The parts of an external call as the byte code gives them: the library
// and function names, the argument count with its two forms, the result
// kind and the arguments.
#include <cstdint>
#include <string>
#include <vector>

#include "state/str.h"

namespace kestrel {
class Machine;
}

namespace kestrel::extcall {

// Argument kinds that are not plain numbers.
inline constexpr int kArgText = 0;
inline constexpr int kArgFirstObject = 30;  // kinds from here on are object indices
inline constexpr int kArgRectangle = 68;
inline constexpr int kArgRecord = 71;

// Counts above this mean (255 - count) arguments in the marshaller's form.
inline constexpr int kMaxDirectCount = 200;

struct ExternalArgument {
  uint8_t kind = 0;
  double number = 0;    // the evaluated number (numeric kinds)
  Str text;             // the evaluated text (kind 0)
  int32_t object = 0;   // the object index (object kinds)
};

// A name: a 16-bit length and that many bytes (no length limit).
std::string readName(Machine& m);
// The number of arguments a count byte announces.
int argumentCount(int countByte);
// One argument: its kind byte and an expression, or an object reference for
// object kinds (index -1 takes the index from a by-reference parameter slot).
ExternalArgument readArgument(Machine& m);
// Reads and evaluates `count` arguments, as a failed call does to move past them.
void skipArguments(Machine& m, int count);

}  // namespace kestrel::extcall
