#include "extcall/external_calls.h"

#include <cmath>

#include "expr/conversions.h"
#include "extcall/call_record.h"
#include "extcall/external_state.h"
#include "extcall/marshaller.h"
#include "toolkit/dialogs.h"
#include "core/machine.h"

namespace kestrel {

namespace extcall {

namespace {

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return path.empty() ? std::string() : std::string(".");
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Counts a call into a library, so that a release asked for meanwhile waits.
class ActiveCall {
 public:
  ActiveCall(LibraryTable& table, std::shared_ptr<LibraryEntry> entry) : table_(table), entry_(std::move(entry)) {
    table_.beginCall(*entry_);
  }
  ~ActiveCall() { table_.endCall(*entry_); }
  ActiveCall(const ActiveCall&) = delete;
  ActiveCall& operator=(const ActiveCall&) = delete;

 private:
  LibraryTable& table_;
  std::shared_ptr<LibraryEntry> entry_;
};

// Frees the library of a call-and-release statement on every way out.
class ReleaseAfter {
 public:
  ReleaseAfter(LibraryTable& table, std::shared_ptr<LibraryEntry> entry) : table_(table), entry_(std::move(entry)) {}
  ~ReleaseAfter() { table_.release(*entry_); }
  ReleaseAfter(const ReleaseAfter&) = delete;
  ReleaseAfter& operator=(const ReleaseAfter&) = delete;

 private:
  LibraryTable& table_;
  std::shared_ptr<LibraryEntry> entry_;
};

// The argument values after the call go to the parameter slots of the
// current depth, where the returned-parameter functions read them. Slots
// past the frame's eleven are not kept.
void writeBack(Machine& m, const std::vector<ExternalArgument>& args) {
  const int32_t depth = m.frames.depth;
  m.frames.ensure(depth);
  const size_t n = std::min<size_t>(args.size(), kSlotsPerFrame);
  for (size_t i = 0; i < n; ++i) {
    const ExternalArgument& a = args[i];
    if (a.kind == kArgText) m.frames.text(depth, static_cast<int>(i)) = a.text;
    else if (a.kind < kArgFirstObject) m.frames.number(depth, static_cast<int>(i)) = a.number;
  }
}

std::vector<ExternalArgument> readArguments(Machine& m, int count) {
  std::vector<ExternalArgument> args;
  args.reserve(static_cast<size_t>(count));
  for (int k = 0; k < count; ++k) args.push_back(readArgument(m));
  return args;
}

// A call with a result kind (the expression item and sub-code 20): the
// result goes to the string or number register.
void callWithResult(Machine& m) {
  ExternalState& state = stateOf(m);
  const std::string library = readName(m);
  std::shared_ptr<LibraryEntry> entry = state.libraries.use(library);
  const std::string function = readName(m);
  const int count = argumentCount(m.u8());
  const int resultKind = m.u8();
  if (!entry->loaded()) {
    plainMessageBox(m, "Can't find library \r" + library);
    skipArguments(m, count);
    return;
  }
  void* address = state.libraries.function(*entry, function);
  if (address == nullptr) {
    plainMessageBox(m, "Can't find function \r" + function);
    skipArguments(m, count);
    m.strReg.clear();
    m.numReg = 0;
    return;
  }
  std::vector<ExternalArgument> args = readArguments(m, count);
  CallOutcome result;
  {
    ActiveCall active(state.libraries, entry);
    result = callFunction(m, address, function, args, resultKind);
  }
  writeBack(m, args);
  if (!result.hasValue) return;
  if (result.isText) m.strReg = result.text;
  else m.numReg = result.number;
}

// Sub-code 19: the call without a result kind, after which the library is
// released once.
void callAndRelease(Machine& m) {
  ExternalState& state = stateOf(m);
  const std::string library = readName(m);
  std::shared_ptr<LibraryEntry> entry = state.libraries.use(library);
  if (!entry->loaded()) {
    plainMessageBox(m, "Can't find library " + library);
    readName(m);
    skipArguments(m, argumentCount(m.u8()));
    return;
  }
  ReleaseAfter release(state.libraries, entry);
  const std::string function = readName(m);
  const int count = argumentCount(m.u8());
  void* address = state.libraries.function(*entry, function);
  if (address == nullptr) {
    plainMessageBox(m, "Can't find function " + function);
    skipArguments(m, count);
    return;
  }
  std::vector<ExternalArgument> args = readArguments(m, count);
  {
    ActiveCall active(state.libraries, entry);
    callFunction(m, address, function, args, 1);
  }
  writeBack(m, args);
}

// Kinds 3 and 5 of the expression item: Round, except that a whole number
// too large for 32 bits (a pointer) stays whole.
double roundKeepingPointers(double v) {
  if (v == std::trunc(v) && std::fabs(v) < 9223372036854775808.0) return v;
  return roundToInt32(v);
}

}  // namespace

ExternalState::ExternalState(Machine& m, std::string programFolder, bool disabled)
    : machine(m), libraries(std::move(programFolder), disabled) {}

ExternalState::~ExternalState() { releaseCallbacks(machine); }

ExternalState& stateOf(Machine& m) {
  if (!m.external)
    m.external = std::make_unique<ExternalState>(m, folderOf(m.options.executablePath), m.options.sandbox);
  return *m.external;
}

}  // namespace extcall

void externalCallStatement(Machine& m, int subCode) {
  if (subCode == 19) extcall::callAndRelease(m);
  else extcall::callWithResult(m);
}

void externalCallItem(Machine& m, EvalStacks& s) {
  const int kind = m.u8();
  if (kind != 1 && kind <= 7) {
    extcall::callWithResult(m);
    switch (kind) {
      case 0: s.pushString(m.strReg); break;
      case 2: s.pushNumber(static_cast<int16_t>(roundToInt32(m.numReg))); break;
      case 4: s.pushNumber(static_cast<uint16_t>(roundToInt32(m.numReg))); break;
      case 3: case 5: s.pushNumber(extcall::roundKeepingPointers(m.numReg)); break;
      default: s.pushNumber(m.numReg); break;
    }
  }
  m.continuation();
}

void forgetLibrary(Machine& m) {
  m.evaluate();
  extcall::stateOf(m).libraries.forget(m.strReg.view());
}

void callbackEntry(Machine& m, EvalStacks& s) {
  const int32_t entry = m.s32();
  const int arity = m.u8();
  s.pushNumber(static_cast<double>(extcall::registerCallback(m, entry, arity)));
}

void libraryHandle(Machine& m, EvalStacks& s) {
  m.evaluate();
  std::shared_ptr<extcall::LibraryEntry> entry = extcall::stateOf(m).libraries.find(m.strReg.view());
  s.pushNumber(entry && entry->loaded() ? static_cast<double>(entry->handle) : 0.0);
}

}  // namespace kestrel
