// The statement loop: reads one opcode at a time and dispatches it.
#include "expr/conversions.h"
#include "extcall/external_calls.h"
#include "core/fast_path.h"
#include "core/machine.h"
#include "interp/statements.h"
#include "core/system_state.h"
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
  if (system && system->events.pendingEnd >= 0) throw ProgramEnd{system->events.pendingEnd};
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
    if (observer) [[unlikely]] observer->statement(*this, statementStart);
    switch (op) {
      case kStmtExtended: {
        const uint8_t sub = u8();
        switch (sub) {
          case kSubJumpIfFalse: {
            const double v = evalNumber();
            const int32_t offset = s32();
            if (v == 0) jump(offset);
            break;
          }
          case kSubJump: jump(s32()); break;
          case kSubReturn: returnFromProcedure(*this); return;
          case kSubBeginLoop: beginLoop(*this); break;
          case kSubEndLoop: endLoop(*this); break;
          case kSubEndProgram: throw ProgramEnd{0};
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
    case kSubDeclare: declareStatement(*this); break;
    case kSubPrint: printToConsole(*this); break;
    case kSubCall: case kSubComputedCall: callStatement(*this, sub); break;
    case kSubOpenCall: case kSubComputedOpenCall: openCallStatement(*this, sub); break;
    case kSubExitLoop: leaveLoop(*this); break;
    case kSubGosub: callSubroutine(*this); break;
    case kSubReturnSub: returnFromSubroutine(*this); break;
    case kSubExternalCallFree: case kSubExternalCall:
      externalCallStatement(*this, sub);
      continuation();
      break;
    case kSubSelect: beginSelection(*this); break;
    case kSubCase: selectionClause(*this); break;
    case kSubEndSelect: endSelection(*this); break;
    case kSubSlotB: case kSubSlotC: {
      const int kind = evaluate();
      results.slotMode = static_cast<uint8_t>(kind);
      if (sub == kSubSlotB) {
        if (kind != 0) results.slotBText = strReg;
        else results.slotBNumber = numReg;
      } else {
        if (kind != 0) results.slotCText = strReg;
        else results.slotCNumber = numReg;
      }
      break;
    }
    case kSubRedim: redimStatement(*this); break;
    case kSubRestore: dataPointer = image.dataStart + s32(); break;
    case kSubStdOut: writeToStdout(*this); break;
    case kSubDecimalSeparator: {
      const int kind = evaluate();
      if (kind == 0) decimalSeparator = static_cast<char>(roundToInt32(numReg));
      else if (!strReg.empty()) decimalSeparator = strReg[0];
      break;
    }
    case kSubSortArray: sortArrayStatement(*this); break;
    case kSubFillArray: fillArrayStatement(*this); break;
    case kSubFreeLibrary: forgetLibrary(*this); break;
    case kSubColor: case kSubLocate: case kSubClearScreen: case kSubTitle: case kSubCopyPage:
    case kSubPokeScreen: case kSubPagePrint: case kSubPagePoke: case kSubKeyMode:
      consoleStatement(*this, sub);
      break;
    case kSubMessage: case kSubSleep: case kSubRandomize: case kSubScreenCursor:
    case kSubChangeDirectory: case kSubChangeDrive: case kSubMakeDirectory: case kSubRemoveDirectory:
    case kSubDeleteFile: case kSubRunAndWait: case kSubRunProgram: case kSubRenameFile:
    case kSubPlaySound: case kSubProcessMessages: case kSubMessageBox: case kSubMessageDialog:
    case kSubSendMessage: case kSubPostMessage: case kSubPrinterPrint: case kSubEndDocument:
    case kSubSetEnvironment: case kSubSaveResource: case kSubPortOut: case kSubLoadCursor:
    case kSubSound: case kSubPlayResource:
      systemStatement(*this, sub);
      break;
    default: break;  // every other sub-code is consumed and ignored
  }
}

}  // namespace kestrel
