#include "core/machine.h"

#include <pthread.h>

#include "console/console.h"
#include "extcall/external_state.h"
#include "core/fast_path.h"
#include "state/structure_store.h"
#include "core/system_state.h"
#include "objects/object_model.h"
#include "platform/stack.h"

namespace kestrel {

Machine::Machine(ProgramImage img, MachineOptions opts) : image(std::move(img)), options(std::move(opts)) {
  code = image.bytes.data();
  size = image.size;
  pos = image.codeStart;
  dataPointer = image.dataStart;
  if (options.stepBudget >= 0) stepsLeft = options.stepBudget;
  vars.variants.resize(kScalarVariants);
  frames.reserve(options.maxCallDepth);
  console = options.windowed ? makeSilentConsole(!options.sandbox) : makeTerminalConsole(out, !options.sandbox);
  if (options.useFastPath) fast = std::make_unique<FastPath>(size);
  observer = options.observer;
  recordCalls = observer != nullptr || options.afterError != nullptr;
  objectWorld = std::make_unique<objects::ObjectWorld>(*this);
  structures = std::make_unique<StructureStore>();
  system = std::make_unique<SystemState>();
}

// Closing the windows may make the toolkit report focus changes and the
// like; no handler may run once the machine is going, since the stores it
// would use are already gone.
Machine::~Machine() {
  if (system) system->events.pendingEnd = 0;
  objectWorld.reset();
}

void Machine::run() {
  // Leave room below the guard for the handlers that report the error.
  stackLimit = platform::currentStackLow() + 256 * 1024;
  if (!image.runnable()) return;
  seek(image.codeStart);
  runLoop();
}

void Machine::assignVariant(VariantCell& cell, int resultKind) {
  if (resultKind != 0) {
    checkString(strReg);
    cell.setText(strReg);
  } else {
    cell.setNumber(numReg);
  }
}

void Machine::assignVariable(int kind, int32_t index, int resultKind) {
  switch (kind) {
    case kString: vars.stringAt(index) = strReg; break;
    case kByte: case kShort: case kInteger: case kWord:
    case kLong: case kSingle: case kDouble:
      storeNumberTrunc(kind, vars.scalarAt(kind, index), numReg);
      break;
    case kFixString: vars.fixStringAt(index).assign(strReg); break;
    case kVariant: assignVariant(vars.variantAt(index), resultKind); break;
    default: break;
  }
}

void Machine::assignElement(int kind, int64_t position, int resultKind) {
  switch (kind) {
    case kString: vars.arrayStringAt(position, true) = strReg; break;
    case kByte: case kShort: case kInteger: case kWord:
    case kLong: case kSingle: case kDouble:
      storeNumberTrunc(kind, vars.elementAt(kind, position), numReg);
      break;
    case kFixString: vars.arrayFixStringAt(position).assign(strReg); break;
    case kVariant: assignVariant(vars.variantAt(position), resultKind); break;
    default: break;
  }
}

}  // namespace kestrel
