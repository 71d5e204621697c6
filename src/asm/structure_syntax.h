#pragma once
// Structures in Kestrel assembly:
//   defstruct [keep] struct:N (fields)            a single structure
//   defstruct [keep] struct[A](bounds) (fields)   a structure array
//     fields: byte, short, int, word, long, single, double, fix len e,
//             KIND[G](bounds) (a field array held in global array G),
//             fix[G](bounds) len e, #K[G](bounds) (another array kind),
//             #K (a field kind that takes no room)
//   let struct:N.KIND:F = e        let struct:N.KIND[F](subs) = e
//   let struct[A](subs).KIND:F = e ...
//   copystruct [{N}] struct:T = struct:S | struct[B](subs)
//   copystruct [{N}] struct[A](subs) = ...
// and in expressions struct:N.KIND:F, struct:N.KIND[F](subs),
// struct[A](subs).KIND:F, sizeof(struct:N), sizeof(struct[A](subs)),
// addressof(struct:N) and addressof(struct[A](subs)).
#include <cstdint>
#include <string>

#include "asm/asm_core.h"

namespace kestrel::kasm {

void compileStructureLet(Parser& p, Emitter& e);  // after "let struct"
void compileDefStruct(Parser& p, Emitter& e);
void compileCopyStruct(Parser& p, Emitter& e);
bool decodeStructureStatement(Decoder& d, LabelNames& names, int code, std::string& out);

// Expression items; `word` is "struct", "sizeof" or "addressof" (already read).
bool isStructureWord(const std::string& word);
void compileStructureItem(Parser& p, Emitter& e, const std::string& word);
bool decodeStructureItem(Decoder& d, LabelNames& names, uint8_t code, std::string& out);

// The field-array operand of stream members (letter F).
void compileFieldArrayOperand(Parser& p, Emitter& e);
bool decodeFieldArrayOperand(Decoder& d, LabelNames& names, std::string& out);

}  // namespace kestrel::kasm
