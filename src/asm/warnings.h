#pragma once
// The assembler's warnings about whole programs: variables used but never
// declared, code that runs on into a procedure's body, and a last statement
// that never runs. They go to standard error and never change the bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "asm/asm_core.h"

namespace kestrel::kasm {

// A statement, a .proc or a line of raw bytes in the code, as placed.
struct PlacedStatement {
  std::string mnemonic;  // ".proc NAME" and ".bytes" for those lines
  int32_t start;
  int32_t length;
  int line;
};

void checkProgram(std::vector<Warning>& out, const Emitter& e, const std::vector<PlacedStatement>& statements);

}  // namespace kestrel::kasm
