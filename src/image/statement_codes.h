#pragma once
// The statement codes of the byte code, each written once: the statement
// loop dispatches on the constants, the assembler and disassembler take
// the mnemonic (the first word of the written form), and docs/reference.md
// lists the forms and what the statements do. Top-level codes first; code
// 0 is followed by a sub-code from the second list. A code that neither
// list has is consumed and ignored.
//
// Each line: the constant's name (kStmtName, kSubName), the code, the
// written form in Kestrel assembly, and what the statement does.
#include <cstdint>
#include <span>
#include <string_view>

#define KESTREL_TOP_LEVEL_STATEMENTS(X)                                                                          \
  X(Extended, 0, "", "an extended statement: the sub-code follows")                                              \
  X(Assign, 1, "let KIND:N = e", "stores e into a variable")                                                     \
  X(AssignElement, 3, "let KIND[N](subscripts) = e", "stores e into an array element")                           \
  X(MemberWrite, 8, "set TYPE:N.Member = operands", "a member statement: sets a property or runs a method")      \
  X(EndBody, 11, "endproc", "ends a procedure body: control goes back to the caller")                            \
  X(AssignParameter, 12, "let arg.KIND:S = e",                                                                   \
    "stores e into parameter slot S (set arg.TYPE:S.Member: a member statement on an object parameter)")         \
  X(SetResult, 14, "result e", "sets the function result")                                                       \
  X(ArrayMemberWrite, 29, "set TYPE[N](subscripts).Member = operands",                                         \
    "a member statement on an object-array element")                                                             \
  X(Continue, 33, "cont", "after a call: runs a nested loop up to leave")                                        \
  X(Leave, 34, "leave", "leaves the current run of the statement loop")                                          \
  X(Structure, 37, "defstruct [keep] struct:N fields",                                                          \
    "declares a structure (let struct:N.field = e: assigns a field)")                                            \
  X(StructArrayField, 38, "let struct[N](subscripts).field = e", "assigns a field of a structure-array element") \
  X(CopyStructure, 40, "copystruct struct:N = source", "copies a structure")                                     \
  X(CopyIntoElement, 41, "copystruct struct[N](subscripts) = source", "copies a structure into an array element")

#define KESTREL_EXTENDED_STATEMENTS(X)                                                                           \
  X(Declare, 0, "dim [keep] KIND:N", "declares a variable, an array (dim KIND[N](bounds)) or an object (dim TYPE:N)") \
  X(Message, 1, "message text", "shows the text in a message box with an OK button")                            \
  X(Print, 2, "print e[;]", "prints e on the console; a ';' at the end keeps the line open")                    \
  X(Call, 3, "call name(arguments)", "calls a procedure")                                                       \
  X(JumpIfFalse, 4, "ifnot e goto label", "jumps when e is 0")                                                  \
  X(Jump, 5, "goto label", "jumps")                                                                             \
  X(Return, 6, "return", "returns from a procedure")                                                            \
  X(BeginLoop, 7, "for KIND:N = start to limit step step else label",                                           \
    "begins a counted loop; jumps to label when it does not run")                                               \
  X(EndLoop, 8, "next label", "ends a counted loop; label is the first statement of its body")                  \
  X(Color, 10, "color fg[, bg]", "sets the console colours (color , bg: the background only)")                  \
  X(Locate, 11, "locate [row][, [column][, size]]", "moves the console cursor and sets its size")               \
  X(ClearScreen, 12, "cls", "clears the console")                                                               \
  X(Sleep, 13, "sleep seconds", "waits")                                                                        \
  X(EndProgram, 14, "endprogram", "ends the program at once")                                                   \
  X(OpenCall, 15, "call name[arguments]", "calls a procedure with an open argument list")                       \
  X(ExitLoop, 16, "exitfor label", "leaves a counted loop")                                                     \
  X(Gosub, 17, "gosub label", "calls a subroutine")                                                             \
  X(ReturnSub, 18, "retsub", "returns from a subroutine")                                                       \
  X(ExternalCallFree, 19, "externfree call", "calls an external function, then forgets its library")            \
  X(ExternalCall, 20, "extern KIND call", "calls an external function (docs/external-calls.md)")                \
  X(Select, 21, "select level, e", "begins a selection on e at a level")                                        \
  X(Case, 22, "case = e, a to b, if e else label", "a selection clause: jumps to label when nothing matches")    \
  X(EndSelect, 23, "endselect", "ends a selection")                                                             \
  X(Randomize, 24, "randomize [seed]", "seeds the random numbers (from the clock without a seed)")             \
  X(Title, 25, "title text", "sets the console window's title")                                                 \
  X(ScreenCursor, 26, "screencursor number", "sets the mouse cursor of the whole screen")                      \
  X(ChangeDirectory, 27, "chdir path", "changes the current directory")                                         \
  X(ChangeDrive, 28, "chdrive drive", "changes the current drive")                                              \
  X(MakeDirectory, 29, "mkdir path", "makes a directory")                                                       \
  X(RemoveDirectory, 30, "rmdir path", "removes a directory")                                                   \
  X(DeleteFile, 31, "kill file", "deletes a file")                                                              \
  X(RunAndWait, 32, "runwait command", "runs a program and waits for it")                                       \
  X(RunProgram, 33, "run command", "starts a program")                                                          \
  X(RenameFile, 34, "rename old, new", "renames a file")                                                        \
  X(CopyPage, 35, "pcopy source, target", "copies a console page")                                              \
  X(PokeScreen, 36, "poke offset, value", "writes a byte of the console screen")                                \
  X(PlaySound, 37, "playsound file, flags", "plays a sound file")                                               \
  X(ProcessMessages, 38, "doevents", "handles the window events that are waiting")                              \
  X(MessageBox, 41, "msgbox text, caption, flags", "shows a message box")                                       \
  X(MessageDialog, 44, "msgdlg text, type, buttons, help", "shows a message dialog")                            \
  X(SlotB, 45, "slotb e", "sets result slot B")                                                                 \
  X(SlotC, 46, "slotc e", "sets result slot C")                                                                 \
  X(SendMessage, 47, "sendmessage window, message, wparam, lparam", "sends a window message")                   \
  X(PostMessage, 48, "postmessage window, message, wparam, lparam", "posts a window message")                   \
  X(PagePrint, 49, "pageprint page, e[;]", "prints on a console page")                                          \
  X(PagePoke, 50, "pagepoke page, offset, value", "writes a byte of a console page")                            \
  X(ComputedCall, 52, "call (e)(arguments)", "calls the procedure at the position e")                           \
  X(ComputedOpenCall, 53, "call (e)[arguments]", "calls the procedure at the position e with an open list")     \
  X(PrinterPrint, 54, "lprint e[;]", "prints on the printer")                                                   \
  X(EndDocument, 55, "enddoc", "ends the printer's document")                                                   \
  X(Redim, 56, "redim [preserve] KIND[N](bounds)", "re-dimensions an array")                                    \
  X(Restore, 57, "restore label", "sets the data pointer")                                                      \
  X(SetEnvironment, 58, "setenv NAME=value", "sets an environment variable")                                    \
  X(StdOut, 59, "stdout e[;]", "writes e to standard output; a ';' at the end keeps the line open")            \
  X(DecimalSeparator, 60, "decsep e", "sets the decimal separator (a character code or a string)")             \
  X(SaveResource, 61, "saveres position, file", "saves an embedded resource to a file")                         \
  X(SortArray, 64, "sort KIND[N](i) to KIND[N](j), order", "sorts a range of an array (order 0: ascending)")    \
  X(PortOut, 65, "out port, value", "writes an I/O port")                                                       \
  X(FillArray, 66, "fill KIND[N] = values", "fills an array from a list")                                       \
  X(LoadCursor, 67, "loadcursor number, handle", "gives a cursor number a cursor handle")                       \
  X(KeyMode, 68, "keymode mode", "sets the console's key mode")                                                 \
  X(Sound, 69, "sound frequency, duration", "plays a tone")                                                     \
  X(FreeLibrary, 70, "freelib name", "forgets an external library")                                             \
  X(PlayResource, 71, "playres resource, flags", "plays a sound held in an embedded resource")

namespace kestrel {

enum TopLevelCode : uint8_t {
#define KESTREL_STATEMENT_CODE(name, code, form, meaning) kStmt##name = code,
  KESTREL_TOP_LEVEL_STATEMENTS(KESTREL_STATEMENT_CODE)
};

#undef KESTREL_STATEMENT_CODE

enum ExtendedCode : uint8_t {
#define KESTREL_STATEMENT_SUB(name, code, form, meaning) kSub##name = code,
  KESTREL_EXTENDED_STATEMENTS(KESTREL_STATEMENT_SUB)
#undef KESTREL_STATEMENT_SUB
};

struct StatementInfo {
  int code;  // top-level code
  int sub;   // sub-code of an extended statement, or -1
  const char* form;
  const char* meaning;
};

// Every statement: the top-level ones first, then the extended ones.
std::span<const StatementInfo> statementList();
// The statement with that code and sub-code (-1 for none), or nullptr.
const StatementInfo* findStatement(int code, int sub);
// The assembly mnemonic: the first word of the written form.
std::string_view mnemonicOf(const StatementInfo& s);

}  // namespace kestrel
