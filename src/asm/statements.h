#pragma once
// The statements of Kestrel assembly: one mnemonic per statement form,
// described by a template where one suffices and by a pair of functions
// where the encoding branches.
#include <string>

#include "asm/asm_core.h"

namespace kestrel::kasm {

// Assembles the statement whose mnemonic is `mnemonic` (already read).
void compileStatement(const std::string& mnemonic, Parser& p, Emitter& e);

// Array bounds in parentheses: (e, e to e, ...), as declarations write them.
void compileBounds(Parser& p, Emitter& e);
bool decodeBounds(Decoder& d, LabelNames& names, std::string& out);

// Decodes the statement at the decoder's position. False when it has no
// written form (the caller writes its bytes instead).
bool decodeStatement(Decoder& d, LabelNames& names, std::string& out);

}  // namespace kestrel::kasm
