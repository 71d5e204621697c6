// The statement loop: reads one opcode at a time and dispatches it.
#include "expr/conversions.h"
#include "extcall/external_calls.h"
#include "interp/fast_path.h"
#include "core/machine.h"
#include "interp/statements.h"
#include "interp/system_state.h"
#include "interp/structures.h"
#include "objects/object_dispatch.h"
#include "platform/end_requests.h"

namespace kestrel {

// An end statement that ran inside an event handler makes the budget run
// out, so that the run ends at the next statement wherever that is.
// A signal asking the program to end (platform/end_requests.h) empties the
// budget the same way.
void Machine::onStepBudget() {
  if (const int status = platform::requestedEndStatus(); status != 0) throw ProgramEnd{status};
  if (system && system->pendingEnd >= 0) throw ProgramEnd{system->pendingEnd};
  throw StepBudgetExhausted{};
}

void Machine::seekOutside(int64_t position) {
  if (position > size) {
    pos = size;  // past the end: the loop stops there
    return;
  }
  raise("Jump outside the program image (position " + std::to_string(position) + ")");
}

void Machine::runLoop() {
  checkStack();
  for (;;) {
    if (fast) {
      FastPath::Exit exit;
      if (fast->run(*this, exit)) {
        if (exit == FastPath::Exit::LeaveRun) return;
        continue;
      }
    }
    statementStart = pos;
    const uint8_t op = u8();
    if (pos >= size) return;  // the image's last byte is never executed
    if (--stepsLeft < 0) [[unlikely]] onStepBudget();
    switch (op) {
      case kStmtExtended: {
        const uint8_t sub = u8();
        switch (sub) {
          case 4: {  // jump if false
            const double v = evalNumber();
            const int32_t offset = s32();
            if (v == 0) jump(offset);
            break;
          }
          case 5: jump(s32()); break;
          case 6: returnFromProcedure(*this); return;
          case 7: beginLoop(*this); break;
          case 8: endLoop(*this); break;
          case 14: throw ProgramEnd{0};
          default: executeExtended(sub); break;
        }
        break;
      }
      case kStmtAssign: {
        const int kind = u8();
        const int32_t index = s16();
        const int resultKind = evaluate(numReg, strReg, kind == kString ? index : -1);
        assignVariable(kind, index, resultKind);
        break;
      }
      case kStmtAssignElement: {
        const int kind = u8();
        const int32_t array = s16();
        if (kind > kVariant) {
          evaluate();
          break;
        }
        const int64_t position = elementPosition(kind, array);
        const int resultKind = evaluate();
        assignElement(kind, position, resultKind);
        break;
      }
      case kStmtMemberWrite: {
        const int type = u8();
        const int32_t index = s16();
        objects::writeMember(*this, type, index, u8());
        break;
      }
      case kStmtEndBody:
        --frames.depth;
        return;
      case kStmtAssignParameter: assignParameter(*this); break;
      case kStmtSetResult: {
        const int kind = evaluate();
        if (kind != 0) results.text = strReg;
        else results.number = numReg;
        results.variantIsString = static_cast<uint8_t>(kind);
        break;
      }
      case kStmtArrayMemberWrite: {
        const int type = u8();
        const int32_t array = s16();
        const int64_t index = objectArrayIndex(type, array);
        objects::writeMember(*this, type, static_cast<int32_t>(index), u8());
        break;
      }
      case kStmtLeave: return;
      case kStmtStructure: case kStmtStructArrayField: case kStmtCopyStructure: case kStmtCopyIntoElement:
        structureStatement(*this, op);
        break;
      default: break;  // every other opcode is consumed and ignored
    }
  }
}

void Machine::executeExtended(uint8_t sub) {
  switch (sub) {
    case 0: declareStatement(*this); break;
    case 2: printToConsole(*this); break;
    case 3: case 52: callStatement(*this, sub); break;
    case 15: case 53: openCallStatement(*this, sub); break;
    case 16: leaveLoop(*this); break;
    case 17: callSubroutine(*this); break;
    case 18: returnFromSubroutine(*this); break;
    case 19: case 20:
      externalCallStatement(*this, sub);
      continuation();
      break;
    case 21: beginSelection(*this); break;
    case 22: selectionClause(*this); break;
    case 23: endSelection(*this); break;
    case 45: case 46: {
      const int kind = evaluate();
      results.slotMode = static_cast<uint8_t>(kind);
      if (sub == 45) {
        if (kind != 0) results.slotBText = strReg;
        else results.slotBNumber = numReg;
      } else {
        if (kind != 0) results.slotCText = strReg;
        else results.slotCNumber = numReg;
      }
      break;
    }
    case 56: redimStatement(*this); break;
    case 57: dataPointer = image.dataStart + s32(); break;
    case 59: writeToStdout(*this); break;
    case 60: {
      const int kind = evaluate();
      if (kind == 0) decimalSeparator = static_cast<char>(roundToInt32(numReg));
      else if (!strReg.empty()) decimalSeparator = strReg[0];
      break;
    }
    case 64: sortArrayStatement(*this); break;
    case 66: fillArrayStatement(*this); break;
    case 70: forgetLibrary(*this); break;
    case 10: case 11: case 12: case 25: case 35: case 36: case 49: case 50: case 68:
      consoleStatement(*this, sub);
      break;
    case 1: case 13: case 24: case 26: case 27: case 28: case 29: case 30: case 31: case 32:
    case 33: case 34: case 37: case 38: case 41: case 44: case 47: case 48: case 54: case 55:
    case 58: case 61: case 65: case 67: case 69: case 71:
      systemStatement(*this, sub);
      break;
    default: break;  // 9, 39, 40, 42, 43, 51, 62, 63 and above 71 are ignored
  }
}

}  // namespace kestrel
