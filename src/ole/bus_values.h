#pragma once
// The program's values as the bus types them, and back. An argument takes
// the type the member's signature asks for; a result becomes a number or a
// string.
#include <string>
#include <string_view>

#include "toolkit/automation_bus.h"

namespace kestrel::ole {

// What the program hands to a member: a number, a string (program text),
// or another automation object (its object path).
struct ProgramValue {
  enum Kind { Number, Text, Object };
  Kind kind = Number;
  double number = 0;
  std::string text;
};

// `value` as the D-Bus type `signature` (one complete type) wants it:
// numbers to whole types rounded (ties to even) when they fit, strings
// that read as numbers to numbers and numbers to their text, a variant
// holding a string, an integer within 32 bits ("i") or else a double
// ("d"), and empty containers from "" or 0. Anything else is "Type mismatch".
bus::Value toBus(const ProgramValue& value, std::string_view signature);

// A reply's value as the program reads it: whole and real numbers stay
// numbers, booleans are -1 or 0, strings become program text, a variant
// is what it holds; containers, object paths and anything else are 0.
struct ResultValue {
  bool isText = false;
  double number = 0;
  std::string text;
};
ResultValue fromBus(const bus::Value& value);

bool validObjectPath(std::string_view path);

}  // namespace kestrel::ole
