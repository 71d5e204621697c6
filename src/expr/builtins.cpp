// The dispatcher of the built-in functions and the table the assembler reads.
#include "expr/builtins.h"

#include <cstring>

#include "expr/builtin_functions.h"
#include "expr/builtin_table.h"
#include "extcall/external_calls.h"
#include "core/machine.h"

namespace kestrel {

namespace {
#define KESTREL_BUILTIN_ROW(code, name, layout, arguments, meaning) {code, name, layout, arguments, meaning},
const BuiltinInfo kRows[] = {KESTREL_BUILTINS(KESTREL_BUILTIN_ROW)};
#undef KESTREL_BUILTIN_ROW
constexpr int kRowCount = static_cast<int>(sizeof kRows / sizeof kRows[0]);
}  // namespace

const BuiltinInfo* builtinByCode(int code) {
  return code >= 0 && code < kRowCount ? &kRows[code] : nullptr;
}

const BuiltinInfo* builtinByName(const char* name) {
  for (const BuiltinInfo& row : kRows)
    if (std::strcmp(row.name, name) == 0) return &row;
  return nullptr;
}

void callBuiltin(Machine& m, uint8_t function, EvalStacks& s) {
  if (function > 111) return;  // unknown codes read and push nothing
  if (function == 106) return callbackEntry(m, s);
  if (function == 108) return libraryHandle(m, s);
  if (stringFunction(m, function, s)) return;
  if (numericFunction(m, function, s)) return;
  if (consoleFunction(m, function, s)) return;
  systemFunction(m, function, s);
}

}  // namespace kestrel
