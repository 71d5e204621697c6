#pragma once
// Infix expressions of Kestrel assembly, compiled to the postfix item code
// and decompiled back.
#include <string>

#include "asm/asm_core.h"

namespace kestrel::kasm {

// Names of the store kinds 0 to 9 (str, byte, short, int, word, long,
// single, double, fix, var).
const char* kindName(int kind);
int kindByName(const std::string& name);  // -1 when not a kind name

// An expression and its terminator byte 11.
void compileExpression(Parser& p, Emitter& e);
// '(' expr, expr ... ')' as a dimension count and one expression each.
void compileSubscripts(Parser& p, Emitter& e);
// An object reference TYPE:N, TYPE[N](subs) or arg.TYPE:S; returns the form
// (0 direct, 29 array element, 12 parameter) and emits per `order`:
// member order (type, index or array+subs) without the type when typeEmitted.
int parseObjectName(Parser& p);  // the type code of a name like form or obj30

// Reads one expression (through its terminator) and writes its text. False
// when the bytes have no faithful infix form.
bool decompileExpression(Decoder& d, LabelNames& names, std::string& out);
bool decompileSubscripts(Decoder& d, LabelNames& names, std::string& out);
std::string objectTypeText(int type);

// A numeric literal as the disassembler writes it (with a kind suffix when
// the default encoding would differ).
std::string numberLiteral(int kind, double value);

}  // namespace kestrel::kasm
