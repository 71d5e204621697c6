#include "objects/socket_notify.h"

#include <cerrno>

#include "platform/tcp.h"

namespace kestrel::objects {

SocketNotifier::Entry* SocketNotifier::find(int socket) {
  auto it = entries_.find(socket);
  return it == entries_.end() ? nullptr : &it->second;
}

void SocketNotifier::arm(Entry& e, SocketCondition condition, bool on) {
  if (e.watch) e.watch->arm(condition, on);
}

void SocketNotifier::post(const Entry& e, int socket, int32_t event, int systemError) {
  const auto error = static_cast<uint32_t>(platform::windowsSocketError(systemError)) & 0xFFFF;
  const auto lParam = static_cast<int32_t>((error << 16) | static_cast<uint32_t>(event));
  toolkit().postMessage(e.window, e.message, socket, lParam);
}

void SocketNotifier::connecting(int socket, intptr_t window, uint32_t message, int32_t events, int connectError) {
  Entry& e = entries_[socket];
  e = Entry{};
  e.window = window;
  e.message = message;
  e.events = events;
  e.watch = toolkit().watchSocket(socket, [this, socket](SocketCondition c) {
    try {
      ready(socket, c);
    } catch (...) {  // nothing may escape into the event loop
    }
  });
  if (connectError != 0 && connectError != EINPROGRESS) {
    e.connecting = false;
    e.ended = true;
    if ((events & kConnect) != 0) post(e, socket, kConnect, connectError);
    return;
  }
  // A finished connect (even one that succeeded at once) makes the socket writable.
  arm(e, SocketCondition::Writable, true);
}

void SocketNotifier::received(int socket) {
  Entry* e = find(socket);
  if (e != nullptr && !e->connecting && !e->ended && (e->events & (kRead | kClose)) != 0)
    arm(*e, SocketCondition::Readable, true);
}

void SocketNotifier::sendBlocked(int socket) {
  Entry* e = find(socket);
  if (e != nullptr && !e->connecting && !e->ended && (e->events & kWrite) != 0)
    arm(*e, SocketCondition::Writable, true);
}

void SocketNotifier::ready(int socket, SocketCondition condition) {
  Entry* e = find(socket);
  if (e == nullptr) return;
  arm(*e, condition, false);
  if (condition == SocketCondition::Readable) {
    readable(socket, *e);
  } else if (e->connecting) {
    connected(socket, *e);
  } else if ((e->events & kWrite) != 0) {
    post(*e, socket, kWrite, 0);
  }
}

// Posting may reach the program at once in some toolkits, and the program
// may close the socket: the entry is looked up again after every post.
void SocketNotifier::connected(int socket, Entry& e) {
  e.connecting = false;
  const int error = platform::pendingError(socket);
  const int32_t events = e.events;
  if (error != 0) e.ended = true;
  if ((events & kConnect) != 0) post(e, socket, kConnect, error);
  if (error != 0) return;
  Entry* again = find(socket);
  if (again == nullptr) return;
  if ((events & kWrite) != 0) post(*again, socket, kWrite, 0);
  again = find(socket);
  if (again != nullptr && (events & (kRead | kClose)) != 0) arm(*again, SocketCondition::Readable, true);
}

void SocketNotifier::readable(int socket, Entry& e) {
  uint8_t byte;
  const int64_t n = platform::receiveNow(socket, &byte, 1, true);
  if (n > 0) {
    if ((e.events & kRead) != 0) post(e, socket, kRead, 0);
    return;  // the next receive re-enables
  }
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
    arm(e, SocketCondition::Readable, true);  // nothing after all: keep watching
    return;
  }
  // The peer closed (0) or the connection broke (the error).
  e.ended = true;
  if ((e.events & kClose) != 0) post(e, socket, kClose, n == 0 ? 0 : errno);
}

}  // namespace kestrel::objects
