#pragma once
// The D-Bus object behind an automation object: the service and path it
// lives at, the members it described, and the calls on them. A call keeps
// its name, arguments and member to itself, so that a call made while
// another one's arguments are read (obj.M(obj.P)) disturbs nothing.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ole/bus_values.h"
#include "toolkit/automation_bus.h"

namespace kestrel::ole {

// What an invoke asks for (the flags of the call).
enum class CallType { Method = 1, Get = 2, Put = 4, PutReference = 8 };

struct Invocation {
  CallType type = CallType::Method;
  std::string name;
  // The arguments in the program's order; for a put the assigned value is
  // the last one.
  std::vector<ProgramValue> arguments;
};

class RemoteObject {
 public:
  // A new object: the service is started when it is not running (D-Bus
  // activation), then the object is looked for (candidatePaths).
  static std::shared_ptr<const RemoteObject> create(bus::Bus& bus, std::string_view className, int timeoutMs);
  // The object of a service that is running now ("Operation unavailable"
  // when none is).
  static std::shared_ptr<const RemoteObject> running(bus::Bus& bus, std::string_view className, int timeoutMs);
  // Another object of the same service (an object path a member yielded).
  std::shared_ptr<const RemoteObject> objectAt(bus::Bus& bus, const std::string& path, int timeoutMs) const;

  const std::string& service() const { return service_; }
  const std::string& path() const { return path_; }

  // The member's position in the object's member names, sorted; -1 when
  // it has none of that name. Names match exactly, or else without regard
  // to ASCII letter case.
  int dispatchId(std::string_view name) const;

  // Runs the call and returns the reply's value (a property's value, a
  // method's first out-argument; empty when there is none).
  bus::Value invoke(bus::Bus& bus, const Invocation& call, int timeoutMs) const;

 private:
  RemoteObject(std::string service, std::string path, std::string interface, bus::Description description);
  // The first of `paths` where the service has members: nullptr for none.
  static std::shared_ptr<const RemoteObject> find(bus::Bus& bus, const std::string& service,
                                                  const std::vector<std::string>& paths,
                                                  const std::string& interface, int timeoutMs);
  // The member a call names, a property first when `property`.
  const bus::Member* member(std::string_view name, bool property) const;
  bus::Value getProperty(bus::Bus& bus, const bus::Member& p, int timeoutMs) const;

  std::string service_;
  std::string path_;
  std::string interface_;
  std::vector<bus::Member> members_;        // those of the interfaces the object stands for
  std::vector<std::string> sortedNames_;    // each name once
};

// Raises the error a failed reply stands for: an unknown service is
// "Invalid class string", an unknown member "Unknown name.", anything
// else the error's own text.
[[noreturn]] void raiseReplyError(const bus::Reply& reply);

}  // namespace kestrel::ole
