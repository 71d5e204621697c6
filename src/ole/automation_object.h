#pragma once
// Automation objects (type 84): a D-Bus object that the program creates by
// its class name (class_name.h) and drives late-bound, calling methods and
// reading and writing properties by name (docs/automation.md).
#include <memory>

#include "objects/object_model.h"
#include "ole/remote_object.h"

namespace kestrel::ole {

inline constexpr int kAutomationType = 84;
// How long a call waits for its reply.
inline constexpr int kDefaultCallTimeoutMs = 25000;

class AutomationObject : public objects::Object {
 public:
  explicit AutomationObject(int type) : Object(type) {}
  // The object it stands for: empty until a create fills it, and after a release.
  std::shared_ptr<const RemoteObject> remote;
  // The remote object ("Variant does not reference an automation object" when empty).
  std::shared_ptr<const RemoteObject> target() const;
};

// The settings all automation objects of a program share.
struct AutomationSettings : objects::FamilyState {
  explicit AutomationSettings(Machine&) {}
  int callTimeoutMs = kDefaultCallTimeoutMs;
};
AutomationSettings& automationSettings(Machine& m);

// The session bus ("No D-Bus session bus ..." when there is none, and in
// the sandbox).
bus::Bus& sessionBus(Machine& m);

void registerAutomationType(objects::TypeRegistry& registry);

}  // namespace kestrel::ole
