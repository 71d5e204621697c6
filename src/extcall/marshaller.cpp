#include "extcall/marshaller.h"


#include <cmath>
#include <cstdio>
#include <optional>

#include "expr/conversions.h"
#include "extcall/ffi_library.h"
#include "extcall/low_scratch.h"
#include "extcall/program_memory.h"
#include "core/machine.h"
#include "core/run_end.h"
#include "objects/object_dispatch.h"
#include "platform/fault_guard.h"

namespace kestrel::extcall {

namespace {

thread_local Machine* activeMachine = nullptr;
thread_local std::optional<std::string> pendingError;

union ArgumentValue {
  int32_t i32;
  uint32_t u32;
  int64_t i64;
  float f32;
  double f64;
  void* pointer;
};

// Kinds 3 and 5: Round into 32 bits, or the exact integer in 64 bits.
ffi_type* integerArgument(double v, ArgumentValue& out) {
  const double r = std::nearbyint(v);
  if (r >= -2147483648.0 && r <= 2147483647.0) {
    out.i32 = static_cast<int32_t>(r);
    return ffi().sint32;
  }
  if (v == r && std::fabs(v) < 9223372036854775808.0) {
    out.i64 = static_cast<int64_t>(v);
    return ffi().sint64;
  }
  raiseInvalidFloatOp();
}

ffi_type* prepareArgument(Machine& m, const ExternalArgument& a, ArgumentValue& out) {
  switch (a.kind) {
    case kArgText:
      out.pointer = LowScratch::instance().copy(a.text.view());
      return ffi().pointer;
    case 1:
      out.u32 = static_cast<uint32_t>(roundToInt32(a.number)) & 0xFFu;
      return ffi().uint32;
    case 2:
      out.i32 = static_cast<int16_t>(roundToInt32(a.number));
      return ffi().sint32;
    case 4:
      out.u32 = static_cast<uint32_t>(roundToInt32(a.number)) & 0xFFFFu;
      return ffi().uint32;
    case 3: case 5:
      return integerArgument(a.number, out);
    case 7:
      out.f64 = a.number;
      return ffi().doubleType;
    case kArgRectangle:
      out.i64 = static_cast<int64_t>(objects::rectangleAddress(m, a.object));
      return ffi().pointer;
    case kArgRecord:
      out.i64 = static_cast<int64_t>(objects::recordAddress(m, a.object));
      return ffi().pointer;
    default:
      if (a.kind >= kArgFirstObject) {
        out.i32 = a.object;
        return ffi().sint32;
      }
      out.f32 = toSingle(a.number);  // kind 6 and every other numeric kind
      return ffi().floatType;
  }
}

ffi_type* resultType(int resultKind) {
  switch (resultKind) {
    case 0: return ffi().pointer;
    case 1: return ffi().voidType;
    case 6: return ffi().floatType;
    case 7: return ffi().doubleType;
    default: return ffi().sint64;
  }
}

// Sets the calling machine for the built-in modules and gives the low
// copies back, also when the call fails.
class CallScope {
 public:
  explicit CallScope(Machine& m) : previous_(activeMachine), mark_(LowScratch::instance().mark()) {
    activeMachine = &m;
    pendingError.reset();
  }
  ~CallScope() {
    LowScratch::instance().release(mark_);
    activeMachine = previous_;
  }
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;

 private:
  Machine* previous_;
  LowScratch::Mark mark_;
};

}  // namespace

double registerValue(uint64_t raw) {
  const uint32_t high = static_cast<uint32_t>(raw >> 32);
  const int32_t low = static_cast<int32_t>(static_cast<uint32_t>(raw));
  if (high == 0 || (high == 0xFFFFFFFFu && low < 0)) return low;
  return static_cast<double>(static_cast<int64_t>(raw));
}

Machine* callingMachine() { return activeMachine; }

void reportCallError(const std::string& text) {
  if (!pendingError) pendingError = text;
}

namespace {
struct ForeignCall {
  ffi_cif* cif;
  void* function;
  void* result;
  void** arguments;
};
void callForeign(void* context) {
  auto* c = static_cast<ForeignCall*>(context);
  ffi().call(c->cif, FFI_FN(c->function), c->result, c->arguments);
}
}  // namespace

CallOutcome callFunction(Machine& m, void* function, const std::string& name, std::vector<ExternalArgument>& args,
                         int resultKind) {
  CallScope scope(m);
  const size_t n = args.size();
  std::vector<ArgumentValue> values(n);
  std::vector<ffi_type*> types(n);
  std::vector<void*> pointers(n);
  for (size_t i = 0; i < n; ++i) {
    types[i] = prepareArgument(m, args[i], values[i]);
    pointers[i] = &values[i];
  }
  ffi_cif cif;
  if (ffi().prepCif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(n), resultType(resultKind), types.data()) != FFI_OK)
    raise("External call cannot be prepared");

  // Whatever the function writes on standard output comes after what the
  // program wrote before the call.
  m.out.flush();
  alignas(16) unsigned char result[16] = {};
  ForeignCall call{&cif, function, result, pointers.data()};
  platform::ForeignFault fault;
  // A fault inside the function ends the program: the library's state is
  // unknown, so nothing can safely run on.
  if (!platform::callGuarded(callForeign, &call, fault))
    endRunAfterFault(m, platform::faultText(fault) + " in external function " + name);
  std::fflush(stdout);
  if (pendingError) {
    std::string text = std::move(*pendingError);
    pendingError.reset();
    raise(text);
  }

  for (size_t i = 0; i < n; ++i) {
    if (args[i].kind != kArgText) continue;
    const char* buffer = static_cast<const char*>(values[i].pointer);
    args[i].text = Str(std::string_view(buffer, args[i].text.size()));
  }

  CallOutcome out;
  uint64_t raw = 0;
  std::memcpy(&raw, result, sizeof raw);
  switch (resultKind) {
    case 0:
      out.isText = true;
      out.text = Str(readZeroTerminated(raw));
      out.hasValue = true;
      break;
    case 1: break;
    case 2: case 4:
      out.number = static_cast<double>(raw & 0xFFFFu);
      out.hasValue = true;
      break;
    case 6: {
      float f;
      std::memcpy(&f, result, sizeof f);
      out.number = f;
      out.hasValue = true;
      break;
    }
    case 7: {
      double d;
      std::memcpy(&d, result, sizeof d);
      out.number = d;
      out.hasValue = true;
      break;
    }
    default:
      out.number = registerValue(raw);
      out.hasValue = true;
      break;
  }
  return out;
}

}  // namespace kestrel::extcall
