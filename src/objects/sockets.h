#pragma once
// Socket objects (type 52). A socket object is a settings record (family,
// type, protocol, notification settings) and the byte count of its last
// transfer; the sockets themselves are handles that its members return and
// take. One object serves any number of sockets.
//
// Members work only on the sockets the program got from them (open-server,
// accept, connect) and has not closed: any other handle is an invalid socket
// (-1, an empty string, or nothing done), so a program can never close or
// read a descriptor of the run-time's own (standard output, the display's
// connection, an open file).
#include <cstdint>
#include <unordered_set>

#include "objects/object_model.h"
#include "objects/socket_notify.h"
#include "platform/tcp.h"

namespace kestrel::objects {

inline constexpr int kSocketType = 52;
inline constexpr int32_t kNoSocket = -1;
inline constexpr size_t kReceiveBufferSize = 32768;

class SocketObject : public Object {
 public:
  explicit SocketObject(int type) : Object(type) {}

  int32_t transferCount = 0;
  int32_t handle = kNoSocket;
  int32_t family = platform::kInternetFamily;
  int32_t socketType = 1;  // stream
  int32_t protocol = 0;
  int32_t notifyMessage = 0;
  int32_t notifyEvents = SocketNotifier::kConnect;
  int32_t notifyForm = -1;  // index in the form list; -1 until set
};

// The sockets of one program and what all socket objects share.
class SocketState : public FamilyState {
 public:
  explicit SocketState(Machine&) {}
  // The program's sockets end with it (as when the socket library is shut down).
  ~SocketState() override;

  bool owns(int32_t socket) const { return open_.count(socket) != 0; }
  int32_t adopt(int socket) {
    open_.insert(socket);
    return socket;
  }
  void close(int32_t socket);

  // Filled by each open-server and connect, read by the peer address.
  platform::SocketAddress shared;
  SocketNotifier notifier;

 private:
  std::unordered_set<int32_t> open_;
};

SocketState& socketState(Machine& m);

void registerSocketType(TypeRegistry& registry);

}  // namespace kestrel::objects
