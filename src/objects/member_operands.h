#pragma once
// The door from an object family to the machine: the operand conventions
// that every member of every type follows (numbers rounded, or truncated
// where a table says so; boolean flag bytes; strings; event bindings;
// argument lists; raw bytes; object operands in both byte orders; picture
// files and embedded resources), the container lookup, and the few facts
// about the run that members ask. Control families (objects/controls/)
// reach the machine through nothing else.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "expr/eval_stacks.h"
#include "objects/object_model.h"
#include "state/str.h"

namespace kestrel {
class Machine;
}

namespace kestrel::objects {

// A numeric operand, rounded to nearest with ties to even.
int32_t numberOperand(Machine& m);
// A numeric operand that the table marks as truncated.
int32_t truncOperand(Machine& m);
// A numeric operand kept as an unsigned 32-bit number: rounded (ties to
// even), its low 32 bits, so that -1 is 4294967295.
uint32_t unsignedOperand(Machine& m);
// A boolean property: the low 8 bits of the rounded value are the flag.
uint8_t flagOperand(Machine& m);
// A truth value: any value but 0 is true (0.4 too: it is not rounded).
bool truthOperand(Machine& m);
Str stringOperand(Machine& m);
// One expression of either kind: a string, or else a number.
struct AnyValue {
  bool isText = false;
  double number = 0;
  Str text;
};
AnyValue anyOperand(Machine& m);
// One expression that the member evaluates and does not use.
void ignoredOperand(Machine& m);
// An event binding: 4 raw bytes, the handler's little-endian position.
int32_t handlerOperand(Machine& m);
// One raw byte that the member reads and does not use.
void skipByte(Machine& m);
// Raw bytes that the member reads and does not use.
void skipBytes(Machine& m, int count);
// One raw byte taken as a number.
int byteOperand(Machine& m);

// An argument list: each element is led by a byte that is not 11; the byte
// 11 in that place ends the list. `element` reads the element itself.
bool nextArgument(Machine& m);  // reads the lead byte: false at the end
template <class F>
void forEachArgument(Machine& m, F&& element) {
  while (nextArgument(m)) element();
}

// A picture operand: one expression. A string names a picture file: true,
// with the file's bytes. A number (a graphic-valued read such as
// bitmap:0.Picture) has left the picture in the graphic register: false.
bool pictureFileOperand(Machine& m, std::vector<uint8_t>& bytes);
// A resource operand: one raw byte, the number of an embedded resource
// ("List index out of bounds (N)" when there is none). Its bytes.
std::vector<uint8_t> resourceOperand(Machine& m);
// The bytes of a file that the program names ("Cannot open file ..." when
// it cannot be read, and always in the sandbox).
std::vector<uint8_t> programFileBytes(Machine& m, const Str& name);
// The bytes of a file that the program names: false when it cannot be
// read (and always in the sandbox), for members that then do nothing.
bool readProgramFile(Machine& m, const Str& name, std::vector<uint8_t>& bytes);
// Writes the whole file that the program names ("Cannot create file ..."
// when it cannot be written, and always in the sandbox).
void writeProgramFile(Machine& m, const Str& name, std::string_view bytes);

// Writes a file the program names, replacing it only once the whole text is
// written (the old file survives a failure); false when it cannot, and
// always in the sandbox.
bool saveProgramFile(Machine& m, const Str& name, std::string_view text);

// A flag read back: the stored byte (a flag set with -1 reads 255).
inline void pushFlag(EvalStacks& s, uint8_t flag) { s.pushNumber(flag); }
// A truth value normalised to 1 or 0.
inline void pushBool(EvalStacks& s, bool value) { s.pushNumber(value ? 1 : 0); }

// An object named by an operand.
struct ObjectRef {
  int type = 0;
  int32_t index = 0;
};
// Kind byte first, then type code (convention 7).
ObjectRef readObjectOperand(Machine& m);
// Type code first, then kind byte (canvas, menu-item and stream operands).
ObjectRef readTypeFirstOperand(Machine& m);
// A list of type-first object operands ended by the byte 11 where a type
// code would stand (a menu's items): reads the next one into `ref`, or
// the end (false).
bool nextListedObject(Machine& m, ObjectRef& ref);
// Kind byte, then the index, with no type code (the member implies the
// type): kind 12 a parameter slot byte, any other a 2-byte index.
int32_t readIndexOperand(Machine& m);
// The index of the object passed in by-reference parameter `slot` of the
// procedure running now (the first frame outside any procedure).
int32_t parameterIndex(Machine& m, int slot);

// Fetches the object of an object operand, checking its class as the
// toolkit's typecast does: twelve type codes name their own class, every
// other code asks for a tab control (53).
Object& containerLookup(Machine& m, ObjectRef ref);

// A member that runs the event loop inside a statement (a modal run) puts
// the code stream's read position back when it is done, so that handlers
// cannot disturb the statement.
class KeepReadPosition {
 public:
  explicit KeepReadPosition(Machine& m);
  ~KeepReadPosition();
  KeepReadPosition(const KeepReadPosition&) = delete;
  KeepReadPosition& operator=(const KeepReadPosition&) = delete;

 private:
  Machine& m_;
  int32_t position_;
};

// ---- Facts about the run.
// The fuzzer's sandbox: no files, dialogs, sockets or printing.
bool sandboxed(const Machine& m);
// A program without a console unit (the windowed stub).
bool windowedProgram(const Machine& m);

}  // namespace kestrel::objects
