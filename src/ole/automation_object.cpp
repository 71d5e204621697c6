// Automation objects (type 84) and their member table.
#include "ole/automation_object.h"

#include "objects/member_operands.h"
#include "objects/member_rows.h"
#include "ole/class_name.h"
#include "ole/invoke_operands.h"
#include "ole/ole_container.h"
#include "ole/ole_errors.h"
#include "toolkit/toolkit.h"

namespace kestrel::ole {

using objects::Member;

std::shared_ptr<const RemoteObject> AutomationObject::target() const {
  if (!remote) raise(kNoObject);
  return remote;
}

AutomationSettings& automationSettings(Machine& m) { return objects::world(m).state<AutomationSettings>(); }

bus::Bus& sessionBus(Machine& m) {
  // The sandbox starts no other programs, services included.
  bus::Bus* bus = objects::sandboxed(m) ? nullptr : toolkit().automationBus();
  if (bus == nullptr) raise(kNoBus);
  return *bus;
}

namespace {

using A = AutomationObject;

int timeout(Machine& m) { return automationSettings(m).callTimeoutMs; }

// The expression forms of the create members: -1 when the object was
// made, 0 on any error (the object keeps what it had).
template <class Make>
void pushCreated(EvalStacks& s, A& o, Make make) {
  try {
    o.remote = make();
    s.pushNumber(-1);
  } catch (const RuntimeError&) {
    s.pushNumber(0);
  }
}

void create(Machine& m, A& o) {
  const Str name = objects::stringOperand(m);
  o.remote = RemoteObject::create(sessionBus(m), name.view(), timeout(m));
}

void createRead(Machine& m, A& o, EvalStacks& s) {
  const Str name = objects::stringOperand(m);
  pushCreated(s, o, [&] { return RemoteObject::create(sessionBus(m), name.view(), timeout(m)); });
}

void getActive(Machine& m, A& o) {
  const Str name = objects::stringOperand(m);
  o.remote = RemoteObject::running(sessionBus(m), name.view(), timeout(m));
}

void getActiveRead(Machine& m, A& o, EvalStacks& s) {
  const Str name = objects::stringOperand(m);
  pushCreated(s, o, [&] { return RemoteObject::running(sessionBus(m), name.view(), timeout(m)); });
}

// Objects on other machines need a distributed object system, which this
// platform does not have; the class name is still checked first.
void createRemote(Machine& m, A&) {
  objects::ignoredOperand(m);
  const Str name = objects::stringOperand(m);
  parseClassName(name.view());
  raise(kNoRemoteCreation);
}

void createRemoteRead(Machine& m, A&, EvalStacks& s) {
  objects::ignoredOperand(m);
  objects::ignoredOperand(m);
  s.pushNumber(0);
}

void invoke(Machine& m, A& o) {
  const Invocation call = readInvocation(m, true);
  o.target()->invoke(sessionBus(m), call, timeout(m));
}

void invokeRead(Machine& m, A& o, EvalStacks& s) {
  const Invocation call = readInvocation(m, false);
  pushResult(s, o.target()->invoke(sessionBus(m), call, timeout(m)));
}

void dispatchIdRead(Machine& m, A& o, EvalStacks& s) {
  const Str name = objects::stringOperand(m);
  s.pushNumber(o.target()->dispatchId(name.view()));
}

// The other object is named by kind and index alone; its index is the
// whole one the operand holds, and it must be an automation object.
void putReference(Machine& m, A& o) {
  objects::skipByte(m);
  Invocation call;
  call.type = CallType::PutReference;
  call.name = objects::stringOperand(m).str();
  objects::skipByte(m);
  const int32_t index = objects::readIndexOperand(m);
  objects::skipByte(m);
  auto& other = static_cast<A&>(objects::world(m).at(kAutomationType, index));
  ProgramValue value;
  value.kind = ProgramValue::Object;
  value.text = other.target()->path();
  call.arguments.push_back(std::move(value));
  o.target()->invoke(sessionBus(m), call, timeout(m));
}

// A property (or a method's result) of another automation object that
// is an object path becomes this object; anything else is not an object.
void fromProperty(Machine& m, A& o) {
  const objects::ObjectRef ref = objects::readTypeFirstOperand(m);
  auto& other = static_cast<A&>(objects::world(m).at(ref.type, ref.index, kAutomationType));
  objects::skipByte(m);
  Invocation call;
  call.type = CallType::Get;
  call.name = objects::stringOperand(m).str();
  objects::skipByte(m);
  const std::shared_ptr<const RemoteObject> source = other.target();
  bus::Value value = source->invoke(sessionBus(m), call, timeout(m));
  while (value.signature == "v" && !value.items.empty()) value = bus::Value(value.items.front());
  if (value.signature != "o") raise(kNoObject);
  o.remote = source->objectAt(sessionBus(m), value.text, timeout(m));
}

// A container never holds an embedded object here.
void fromContainer(Machine& m, A&) {
  const objects::ObjectRef ref = objects::readObjectOperand(m);
  objects::world(m).at(ref.type, ref.index, kContainerType);
  raise(kNoObject);
}

const Member<A> kAutomationMembers[] = {
    {0, "Create", "E", create, "E", createRead,
     "class name service[/path][#interface]: starts the service and takes the object; a read yields -1, or 0 on any error"},
    {1, "Invoke", "bEK", invoke, "bEL", invokeRead,
     "member name, arguments [, put value]: calls the method or writes the property; a read yields the property "
     "or the method's first result"},
    {2, "DispatchId", "E", [](Machine& m, A&) { objects::ignoredOperand(m); }, "E", dispatchIdRead,
     "member name: its position among the object's member names, sorted (-1: none); writing evaluates and ignores it"},
    {3, "Release", "", [](Machine&, A& o) { o.remote.reset(); }, nullptr, nullptr, "lets the object go: it is empty again"},
    {4, "PutRef", "bEbIb", putReference, nullptr, nullptr,
     "property name, automation object: sets the property to that object (its object path)"},
    {5, "CreateRemote", "EE", createRemote, "EE", createRemoteRead,
     "machine, class name: fails with \"DCOM not installed\"; a read yields 0"},
    {6, "GetActive", "E", getActive, "E", getActiveRead,
     "class name: the object of a service that is running now; a read yields -1, or 0 on any error"},
    {7, "FromProperty", "CbEb", fromProperty, nullptr, nullptr,
     "automation object, property name: takes the object that property names"},
    {8, "FromContainer", "O", fromContainer, nullptr, nullptr,
     "container: takes its embedded object (there never is one here)"},
};

std::unique_ptr<objects::Object> createAutomationObject(Machine&, int type, int32_t) {
  return std::make_unique<A>(type);
}

}  // namespace

void registerAutomationType(objects::TypeRegistry& registry) {
  registry.add(objects::describeType(kAutomationType, "automation", kAutomationMembers, createAutomationObject));
}

}  // namespace kestrel::ole
