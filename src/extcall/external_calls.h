#pragma once
// Calls of functions in shared libraries: the two statements and the
// expression item.
namespace kestrel {

class Machine;
struct EvalStacks;

void externalCallStatement(Machine& m, int subCode);  // sub-codes 19 and 20
void externalCallItem(Machine& m, EvalStacks& s);      // item 17
void forgetLibrary(Machine& m);                       // sub-code 70
void callbackEntry(Machine& m, EvalStacks& s);        // built-in function 106
void libraryHandle(Machine& m, EvalStacks& s);        // built-in function 108

}  // namespace kestrel
