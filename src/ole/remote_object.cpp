#include "ole/remote_object.h"

#include <algorithm>

#include "ole/bus_text.h"
#include "ole/class_name.h"
#include "ole/ole_errors.h"

namespace kestrel::ole {

namespace {

const char* const kBusService = "org.freedesktop.DBus";
const char* const kBusPath = "/org/freedesktop/DBus";
const char* const kPropertiesInterface = "org.freedesktop.DBus.Properties";
const std::string_view kErrorPrefix = "org.freedesktop.DBus.Error.";

// The interfaces every object has; members of these count only when the
// class name names one of them.
bool standardInterface(const std::string& name) {
  return name == "org.freedesktop.DBus.Introspectable" || name == "org.freedesktop.DBus.Properties" ||
         name == "org.freedesktop.DBus.Peer";
}

bool errorIs(const bus::Reply& r, std::string_view name) {
  return r.errorName.size() == kErrorPrefix.size() + name.size() && r.errorName.starts_with(kErrorPrefix) &&
         r.errorName.ends_with(name);
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return lower(x) == lower(y);
         });
}

bus::Value text(std::string s) {
  bus::Value v;
  v.signature = "s";
  v.text = std::move(s);
  return v;
}

bus::Reply checked(bus::Reply reply) {
  if (!reply.ok) raiseReplyError(reply);
  return reply;
}

// The first value of a reply (empty when it has none).
bus::Value firstValue(bus::Reply reply) {
  return reply.values.empty() ? bus::Value{} : std::move(reply.values.front());
}

[[noreturn]] void badCount() { raise(kBadArgumentCount); }

}  // namespace

void raiseReplyError(const bus::Reply& reply) {
  if (errorIs(reply, "ServiceUnknown") || errorIs(reply, "NameHasNoOwner")) raise(kInvalidClassString);
  if (errorIs(reply, "UnknownMethod") || errorIs(reply, "UnknownProperty") || errorIs(reply, "UnknownInterface"))
    raise(kUnknownName);
  raise(utf8ToProgram(reply.errorText.empty() ? reply.errorName : reply.errorText));
}

RemoteObject::RemoteObject(std::string service, std::string path, std::string interface,
                           bus::Description description)
    : service_(std::move(service)), path_(std::move(path)), interface_(std::move(interface)) {
  for (bus::Member& m : description.members) {
    const bool wanted = interface_.empty() ? !standardInterface(m.interface) : m.interface == interface_;
    if (wanted) members_.push_back(std::move(m));
  }
  for (const bus::Member& m : members_) sortedNames_.push_back(m.name);
  std::sort(sortedNames_.begin(), sortedNames_.end());
  sortedNames_.erase(std::unique(sortedNames_.begin(), sortedNames_.end()), sortedNames_.end());
}

std::shared_ptr<const RemoteObject> RemoteObject::find(bus::Bus& bus, const std::string& service,
                                                       const std::vector<std::string>& paths,
                                                       const std::string& interface, int timeoutMs) {
  for (const std::string& path : paths) {
    bus::Description description;
    const bus::Reply reply = bus.describe(service, path, timeoutMs, description);
    if (!reply.ok) {
      // A path the service does not serve: try the next.
      if (errorIs(reply, "UnknownObject") || errorIs(reply, "UnknownMethod") || errorIs(reply, "UnknownInterface"))
        continue;
      raiseReplyError(reply);
    }
    std::shared_ptr<const RemoteObject> object(new RemoteObject(service, path, interface, std::move(description)));
    if (!object->members_.empty()) return object;
  }
  return nullptr;
}

std::shared_ptr<const RemoteObject> RemoteObject::create(bus::Bus& bus, std::string_view className, int timeoutMs) {
  const ClassName name = parseClassName(className);
  if (name.service[0] == ':') {
    // A connection's own name cannot be started, only found.
    return running(bus, className, timeoutMs);
  }
  bus::Value flags;
  flags.signature = "u";
  checked(bus.call(kBusService, kBusPath, kBusService, "StartServiceByName", {text(name.service), flags}, timeoutMs));
  std::shared_ptr<const RemoteObject> object = find(bus, name.service, candidatePaths(name), name.interface, timeoutMs);
  if (!object) raise(kInvalidClassString);
  return object;
}

std::shared_ptr<const RemoteObject> RemoteObject::running(bus::Bus& bus, std::string_view className, int timeoutMs) {
  const ClassName name = parseClassName(className);
  const bus::Value owned = firstValue(
      checked(bus.call(kBusService, kBusPath, kBusService, "NameHasOwner", {text(name.service)}, timeoutMs)));
  if (owned.integer == 0) raise(kNotRunning);
  std::shared_ptr<const RemoteObject> object = find(bus, name.service, candidatePaths(name), name.interface, timeoutMs);
  if (!object) raise(kInvalidClassString);
  return object;
}

std::shared_ptr<const RemoteObject> RemoteObject::objectAt(bus::Bus& bus, const std::string& path,
                                                           int timeoutMs) const {
  std::shared_ptr<const RemoteObject> object = find(bus, service_, {path}, "", timeoutMs);
  if (!object) raise(kNoObject);
  return object;
}

int RemoteObject::dispatchId(std::string_view name) const {
  const auto exact = std::lower_bound(sortedNames_.begin(), sortedNames_.end(), name);
  if (exact != sortedNames_.end() && *exact == name) return static_cast<int>(exact - sortedNames_.begin());
  for (size_t i = 0; i < sortedNames_.size(); ++i)
    if (sameNoCase(sortedNames_[i], name)) return static_cast<int>(i);
  return -1;
}

const bus::Member* RemoteObject::member(std::string_view name, bool property) const {
  const int id = dispatchId(name);
  if (id < 0) return nullptr;
  const std::string& found = sortedNames_[static_cast<size_t>(id)];
  const bus::Member* first = nullptr;
  for (const bus::Member& m : members_) {
    if (m.name != found) continue;
    if (m.property == property) return &m;
    if (first == nullptr) first = &m;
  }
  return first;
}

bus::Value RemoteObject::getProperty(bus::Bus& bus, const bus::Member& p, int timeoutMs) const {
  return firstValue(
      checked(bus.call(service_, path_, kPropertiesInterface, "Get", {text(p.interface), text(p.name)}, timeoutMs)));
}

bus::Value RemoteObject::invoke(bus::Bus& bus, const Invocation& call, int timeoutMs) const {
  const bool put = call.type == CallType::Put || call.type == CallType::PutReference;
  const bus::Member* m = member(call.name, call.type != CallType::Method);
  if (m == nullptr) raise(kUnknownName);

  if (put) {
    if (!m->property) raise(kMemberNotFound);
    if (call.arguments.size() != 1) badCount();
    bus::Value value;
    value.signature = "v";
    value.items.push_back(toBus(call.arguments.back(), m->type));
    checked(bus.call(service_, path_, kPropertiesInterface, "Set", {text(m->interface), text(m->name), value},
                     timeoutMs));
    return {};
  }
  if (m->property) {
    if (!call.arguments.empty()) badCount();
    return getProperty(bus, *m, timeoutMs);
  }
  if (call.arguments.size() != m->inputs.size()) badCount();
  std::vector<bus::Value> arguments;
  arguments.reserve(call.arguments.size());
  for (size_t i = 0; i < call.arguments.size(); ++i) arguments.push_back(toBus(call.arguments[i], m->inputs[i]));
  return firstValue(checked(bus.call(service_, path_, m->interface, m->name, arguments, timeoutMs)));
}

}  // namespace kestrel::ole
