#pragma once
// The rows that bind event handlers, placed at the codes a family gives:
//
//   addEventMembers(rows, EventCodes{.click = 3, .mouseDown = 10, .mouseUp = 25, .message = 31});
//
// Each row reads the 4-byte handler position and keeps it in the object's
// slot for that event kind (EventSource); the object raises the event with
// handlerFor(kind) and itself as the sender. The fields follow the order
// of toolkit/event_kinds.h (designated initializers must), `message` last.
#include <type_traits>
#include <vector>

#include "objects/event_source.h"
#include "objects/member_rows.h"

namespace kestrel::objects {

struct EventCodes {
#define KESTREL_EVENT_CODE(kind, field, member, arguments) int field = -1;
  KESTREL_EVENT_KINDS(KESTREL_EVENT_CODE)
#undef KESTREL_EVENT_CODE
  int message = -1;  // OnMessage: the window-message hook
};

// What a message hook's handler gets.
inline constexpr const char* kMessageArguments = "window handle, message, wParam, lParam";

namespace detail {

template <class T, gui::EventKind Kind>
void bindEvent(Machine& m, T& o) {
  o.bindHandler(Kind, handlerOperand(m));
}

template <class T>
void bindMessage(Machine& m, T& o) {
  o.bindMessageHandler(handlerOperand(m));
}

template <class T, gui::EventKind Kind>
void addEventRow(std::vector<Member<T>>& rows, int code, const char* name, const char* arguments) {
  if (name != nullptr) addRow<T>(rows, code, {0, name, "H", &bindEvent<T, Kind>, nullptr, nullptr, arguments});
}

}  // namespace detail

template <class T>
void addEventMembers(std::vector<Member<T>>& rows, const EventCodes& c) {
  static_assert(std::is_base_of_v<EventSource, T>, "events belong to event sources");
#define KESTREL_EVENT_ROW(kind, field, member, arguments) \
  detail::addEventRow<T, gui::EventKind::kind>(rows, c.field, member, arguments);
  KESTREL_EVENT_KINDS(KESTREL_EVENT_ROW)
#undef KESTREL_EVENT_ROW
  addRow<T>(rows, c.message, {0, "OnMessage", "H", &detail::bindMessage<T>, nullptr, nullptr, kMessageArguments});
}

}  // namespace kestrel::objects
