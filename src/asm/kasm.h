#pragma once
// Kestrel assembly: the text form of program images (docs/kasm.md).
#include <cstdint>
#include <string>
#include <vector>

#include "asm/asm_core.h"

namespace kestrel::kasm {

// Assembles a whole source text into a program image. `baseDir` is where
// resource files named in the source are looked up. Raises AsmError.
std::vector<uint8_t> assemble(const std::string& source, const std::string& baseDir = ".");

// Writes an image as assembly text that assembles to the same bytes.
std::string disassemble(const std::vector<uint8_t>& image);

// Assembles one statement line at image position `origin`, resolving the
// label names the disassembler makes up; used to check its own output.
std::vector<uint8_t> assembleStatementAt(const std::string& line, int32_t origin, int32_t dataStart);

}  // namespace kestrel::kasm
