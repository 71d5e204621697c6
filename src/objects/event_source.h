#pragma once
// An object that raises events: it keeps the handler position that the
// program bound for each event kind and for window messages (0: none), and
// names itself as the sender, by its own type code and object index.
//
// Controls are event sources; so is any object without a window that has
// events of its own (the font dialog's apply, a timer's tick). The rows
// that bind the handlers come from addEventMembers (event_members.h).
#include <array>
#include <cstdint>

#include "events/dispatch.h"
#include "objects/object_model.h"
#include "toolkit/gui_types.h"

namespace kestrel::objects {

class EventSource : public Object {
 public:
  using Object::Object;

  int32_t handlerFor(gui::EventKind kind) const { return handlers_[static_cast<size_t>(kind)]; }
  void bindHandler(gui::EventKind kind, int32_t entry) { handlers_[static_cast<size_t>(kind)] = entry; }
  int32_t messageHandler() const { return messageHandler_; }
  void bindMessageHandler(int32_t entry) { messageHandler_ = entry; }

  events::Sender sender() const { return {classCode(), tag}; }

 private:
  std::array<int32_t, gui::kEventKindCount> handlers_{};
  int32_t messageHandler_ = 0;
};

}  // namespace kestrel::objects
