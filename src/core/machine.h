#pragma once
// The machine: the program image with its read position (the only program
// counter), every store of the running program, and the statement loop and
// expression evaluator that work on them. One machine runs one program.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console/std_output.h"
#include "core/run_observer.h"
#include "expr/eval_stacks.h"
#include "expr/random.h"
#include "image/program_image.h"
#include "image/source_map.h"
#include "state/frames.h"
#include "state/variables.h"

namespace kestrel {

class FastPath;
class Console;
class StructureStore;
struct SystemState;
namespace extcall {
struct ExternalState;
}
namespace objects {
class ObjectWorld;
}

class Machine;

struct MachineOptions {
  std::vector<std::string> arguments;  // the program's own command-line arguments
  std::string executablePath;          // the program's file, as the program sees it
  int64_t stepBudget = -1;             // statements before the run stops; -1: no limit
  // The fuzzer's sandbox: no files, processes, sleeps, sound, dialogs,
  // printing, ports, environment changes, libraries or standard input.
  bool sandbox = false;
  bool windowed = false;               // no console unit
  bool useFastPath = true;             // decode numeric statements once (see FastPath)
  size_t maxStringLength = size_t{1} << 30;
  // Where the image came from (source lines and names), when known: errors
  // then name the line, and the trace and post-mortem the names.
  std::shared_ptr<const SourceMap> source;
  RunObserver* observer = nullptr;  // a trace or profile (src/debug)
  // Called after a run-time error's report, with the machine as the error
  // left it (the post-mortem of src/debug).
  void (*afterError)(Machine&) = nullptr;
  // Deeper procedure calls end with "Stack overflow". Sanitizer builds use
  // about twice the stack per call and stop sooner, well past ten thousand.
#if defined(__SANITIZE_ADDRESS__)
  int32_t maxCallDepth = 30000;
#else
  int32_t maxCallDepth = 100000;
#endif
};

class Machine {
 public:
  explicit Machine(ProgramImage image, MachineOptions options = {});
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // Runs the program from its first statement when the start condition holds.
  void run();
  // One (possibly nested) run of the statement loop from the current position.
  void runLoop();

  // ---- The code stream. Reads past the end yield zero bytes and leave the
  // position at the end, where the loops stop.
  uint8_t u8() {
    if (pos < size) [[likely]] return code[pos++];
    return 0;
  }
  template <typename T>
  T fixed() {
    T v;
    std::memcpy(&v, code + pos, sizeof(T));  // the padding after the image keeps this inside
    pos = std::min<int32_t>(pos + static_cast<int32_t>(sizeof(T)), size);
    return v;
  }
  int16_t s16() { return fixed<int16_t>(); }
  uint16_t u16() { return fixed<uint16_t>(); }
  int32_t s32() { return fixed<int32_t>(); }
  float f32() { return fixed<float>(); }
  double f64() { return fixed<double>(); }
  // Repositions the stream. A position before the start is a run-time error;
  // one past the end stops the loop.
  void seek(int64_t position) {
    if (position < 0 || position > size) [[unlikely]] {
      seekOutside(position);
      return;
    }
    pos = static_cast<int32_t>(position);
  }
  void jump(int32_t offset) { seek(static_cast<int64_t>(pos) + offset); }
  void back(int n = 1) { pos = std::max(0, pos - n); }
  bool atEnd() const { return pos >= size; }

  // ---- Expressions (EvaluateExpression): returns 1 for a string result and
  // 0 for a number; the other output is emptied or zeroed, unless the
  // expression left both forms of its value (read data does).
  // `appendTarget` is the string variable the result will be assigned to
  // (-1: none), so that `str:N + x` can append to it in place.
  int evaluate(double& number, Str& text, int32_t appendTarget = -1);
  int evaluate() { return evaluate(numReg, strReg); }
  double evalNumber() {
    evaluate(numReg, strReg);
    return numReg;
  }
  int32_t evalRound();
  int32_t evalTrunc();
  const Str& evalString() {
    evaluate(numReg, strReg);
    return strReg;
  }
  // Runs the items of one expression on the given stacks (the decoder).
  void evaluateItems(EvalStacks& s);

  // Element position in an array store: a byte offset for kinds 1 to 7, a
  // list index for kinds 0, 8 and 9. Reads the subscripts from the code.
  int64_t elementPosition(int kind, int32_t arrayIndex);
  // Object number or variant cell of an object-array or variant-array
  // element (type 9 for variants); reads the subscripts from the code.
  int64_t objectArrayIndex(int type, int32_t arrayIndex);

  // ---- Shared stores and helpers used by statements and items.
  void pushVariable(EvalStacks& s, int kind, int32_t index);
  void pushElement(EvalStacks& s, int kind, int64_t position);
  void pushVariant(EvalStacks& s, const VariantCell& cell);
  // Stores the last evaluation (kind, numReg, strReg) into a variable or element.
  void assignVariable(int kind, int32_t index, int resultKind);
  void assignElement(int kind, int64_t position, int resultKind);
  void assignVariant(VariantCell& cell, int resultKind);

  // ---- Procedures.
  // Runs a procedure body: pushes the return position, raises the call depth,
  // runs the loop at entry + 4 and comes back to `resume`.
  void runProcedure(int32_t entry, int32_t resume);
  // The two halves of runProcedure around the body's run.
  struct CallState {
    size_t loopTop;
    int32_t loopNesting;
    int32_t statementStart;  // the caller's, for errors after the call
  };
  // Inline: every call of compiled code goes through them.
  CallState enterProcedure(int32_t entry, int32_t resume) {
    checkStack();
    // A runaway recursion ends long before memory runs out.
    if (frames.depth >= options.maxCallDepth) [[unlikely]] raise(texts::kStackOverflow);
    ctl.setReturnPosition(frames.depth, resume, entry);
    // A procedure that returns from inside a counted loop must not leave its
    // loop records to the caller.
    const CallState state{ctl.loopTop, ctl.loopNesting, statementStart};
    ++frames.depth;
    frames.ensure(frames.depth);
    seek(int64_t{entry} + 4);
    return state;
  }
  void leaveProcedure(const CallState& state, int32_t resume) {
    ctl.loopTop = state.loopTop;
    ctl.loopNesting = state.loopNesting;
    statementStart = state.statementStart;
    seek(resume);
  }
  // Reads one argument of a call into slot `slot` of frame `depth`.
  void readArgument(int32_t depth, int slot);
  // After a call: a byte 33 runs a nested loop, any other byte is re-read.
  void continuation();

  void checkString(const Str& s) {
    if (s.size() > options.maxStringLength) [[unlikely]] raise(texts::kOutOfMemory);
  }

  // ---- State (the stores of a running program).
  const uint8_t* code = nullptr;
  int32_t size = 0;
  int32_t pos = 0;
  ProgramImage image;
  MachineOptions options;

  VariableStores vars;
  Frames frames;
  ControlStacks ctl;
  ResultRegisters results;
  double numReg = 0;    // the number register
  Str strReg;           // the string register
  int32_t dataPointer = 0;
  char decimalSeparator = '.';
  int64_t stepsLeft = INT64_MAX;
  int32_t statementStart = -1;  // where the statement being run began (for error reports)
  Random random;

  StdOutput out;
  std::unique_ptr<Console> console;
  std::unique_ptr<FastPath> fast;
  RunObserver* observer = nullptr;  // from the options
  // A trace, profile or post-mortem wants every call in the return-position
  // table, also the calls compiled code makes without it.
  bool recordCalls = false;
  std::unique_ptr<SystemState> system;  // file search, printer channel, cursor
  // Objects of every type and user-defined structures. Destroying the
  // machine closes the objects (open files are written out).
  std::unique_ptr<objects::ObjectWorld> objectWorld;
  std::unique_ptr<StructureStore> structures;
  // Loaded libraries and call-back handlers (created on first use; declared
  // after the other stores, so that libraries are released before they go).
  std::unique_ptr<extcall::ExternalState> external;

  // Address below which the C++ stack may not grow (recursion guard).
  const char* stackLimit = nullptr;
  void checkStack() {
    char probe;
    if (&probe < stackLimit) [[unlikely]] raise(texts::kStackOverflow);
  }

  [[noreturn]] void onStepBudget();

 private:
  friend class EvalScope;
  void seekOutside(int64_t position);
  bool appendInPlace(EvalStacks& s);
  void executeExtended(uint8_t sub);

  std::vector<std::unique_ptr<EvalStacks>> evalPool_;
  size_t evalDepth_ = 0;
};

// Element number from subscripts taken as floating-point values and rounded
// once (object arrays, variant arrays and structure arrays).
int64_t linearIndexFloat(const ArrayDescriptor& d, const double* sub, int count);

}  // namespace kestrel
