#pragma once
// The external calls in Kestrel assembly:
//   extern KIND "library" "function"(args)       statement, sub-code 20
//   externfree "library" "function"(args)        statement, sub-code 19
//   @extern KIND "library" "function"(args)      expression item 17
//   @extern KIND/KIND2 ...                       item whose record's own result kind differs
// Arguments are "KIND expression" (#N for a raw kind below 30) or, for object
// kinds, "TYPE index" / "TYPE ^slot". Square brackets instead of parentheses
// write the argument count in its second form (255 minus the count).
#include <string>

#include "asm/asm_core.h"

namespace kestrel::kasm {

void compileExternStatement(Parser& p, Emitter& e, bool release);
bool decodeExternStatement(Decoder& d, LabelNames& names, bool release, std::string& out);

void compileExternItem(Parser& p, Emitter& e);
bool decodeExternItem(Decoder& d, LabelNames& names, std::string& out);

}  // namespace kestrel::kasm
