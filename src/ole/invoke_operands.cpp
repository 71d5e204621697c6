#include "ole/invoke_operands.h"

#include "objects/member_operands.h"
#include "ole/ole_errors.h"

namespace kestrel::ole {

namespace {

ProgramValue programValue(const objects::AnyValue& v) {
  ProgramValue out;
  if (v.isText) {
    out.kind = ProgramValue::Text;
    out.text = v.text.str();
  } else {
    out.number = v.number;
  }
  return out;
}

}  // namespace

Invocation readInvocation(Machine& m, bool statement) {
  Invocation call;
  call.type = statement ? CallType::Method : CallType::Get;
  objects::skipByte(m);
  call.name = objects::stringOperand(m).str();
  objects::forEachArgument(m, [&] {
    call.arguments.push_back(programValue(objects::anyOperand(m)));
    if (call.arguments.size() > kMaxArguments) raise(kTooManyArguments);
  });
  if (statement && objects::byteOperand(m) == 1) {
    call.type = CallType::Put;
    call.arguments.push_back(programValue(objects::anyOperand(m)));
  }
  return call;
}

void pushResult(EvalStacks& s, const bus::Value& value) {
  const ResultValue r = fromBus(value);
  if (r.isText) s.pushString(r.text);
  else s.pushNumber(r.number);
}

}  // namespace kestrel::ole
