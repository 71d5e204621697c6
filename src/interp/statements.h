#pragma once
// Statement handlers, grouped by family. Each reads its own operands from
// the machine's code stream. Handlers that can end the current run of the
// statement loop return true when they do.
#include <cstdint>

#include "core/interpreter.h"
#include "image/statement_codes.h"
#include "state/frames.h"

namespace kestrel {

class Machine;
struct EvalStacks;

// Declarations and arrays.
void declareStatement(Machine& m);     // sub-code 0
void redimStatement(Machine& m);       // sub-code 56
void fillArrayStatement(Machine& m);   // sub-code 66
void sortArrayStatement(Machine& m);   // sub-code 64

// Control flow and procedures.
void beginLoop(Machine& m);            // sub-code 7
void endLoop(Machine& m);              // sub-code 8
// Adds a loop's step to its variable in the variable's own width; returns
// the new value.
double stepLoopVariable(Machine& m, const LoopRecord& r);
void leaveLoop(Machine& m);            // sub-code 16
void callSubroutine(Machine& m);       // sub-code 17
void returnFromSubroutine(Machine& m); // sub-code 18
void beginSelection(Machine& m);       // sub-code 21
void selectionClause(Machine& m);      // sub-code 22
void endSelection(Machine& m);         // sub-code 23
void callStatement(Machine& m, uint8_t sub);      // sub-codes 3 and 52
void openCallStatement(Machine& m, uint8_t sub);  // sub-codes 15 and 53
void returnFromProcedure(Machine& m);  // sub-code 6
void assignParameter(Machine& m);      // top-level 12

// Output.
void printToConsole(Machine& m);       // sub-code 2
void writeToStdout(Machine& m);        // sub-code 59
void consoleStatement(Machine& m, uint8_t sub);  // colours, cursor, pages, title, keys

// Everything of the system statements (files, processes, sounds, dialogs...).
void systemStatement(Machine& m, uint8_t sub);

}  // namespace kestrel
