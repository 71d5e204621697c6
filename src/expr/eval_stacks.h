#pragma once
// The two private value stacks of one expression evaluation.
#include <cstdint>
#include <string>

#include "state/errors.h"
#include "state/str.h"

namespace kestrel {

inline constexpr int kNumberStackSize = 11;
inline constexpr int kStringStackSize = 8;

struct EvalStacks {
  double num[kNumberStackSize];
  Str str[kStringStackSize];
  int nn = 0;        // numbers held
  int ns = 0;        // strings held
  uint8_t kind = 1;  // result kind: 1 string, 0 number
  // The other form of a value that an item gives both ways, for the output
  // that the result kind does not fill (line input gives the line and its
  // value; read data a data item as text and as a number).
  bool hasNumberOutput = false;
  double numberOutput = 0;
  bool hasTextOutput = false;
  Str textOutput;
  // The string variable that the statement assigns this evaluation's result
  // to (-1: none): a final concatenation onto that variable appends in place.
  int32_t appendTarget = -1;

  void reset() {
    nn = 0;
    ns = 0;
    kind = 1;
    hasNumberOutput = false;
    hasTextOutput = false;
    appendTarget = -1;
  }
  void setNumberOutput(double v) {
    numberOutput = v;
    hasNumberOutput = true;
  }
  void setTextOutput(Str v) {
    textOutput = std::move(v);
    hasTextOutput = true;
  }
  void pushNumber(double v) {
    if (nn >= kNumberStackSize) [[unlikely]] overflow();
    num[nn++] = v;
    kind = 0;
  }
  // Returns the slot to fill; the string counts as pushed.
  Str& pushSlot() {
    if (ns >= kStringStackSize) [[unlikely]] overflow();
    kind = 1;
    return str[ns++];
  }
  void pushString(std::string_view v) { pushSlot().assign(v); }
  void pushString(const Str& v) { pushSlot() = v; }
  void pushString(Str&& v) { pushSlot() = std::move(v); }
  void pushString(const char* v) { pushSlot().assign(v); }
  void pushString(const std::string& v) { pushSlot().assign(v); }

  [[noreturn]] static void overflow();
};

}  // namespace kestrel
