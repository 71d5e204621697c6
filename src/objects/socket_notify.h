#pragma once
// Asynchronous notification of socket events to a window. A program asks
// for it by connecting with a notification message and form: the socket
// becomes non-blocking, and the toolkit's event loop reports when it can be
// read or written. This class turns those reports into the events the
// program asked for and posts the notification message to the window:
// wParam the socket, lParam the event in the low 16 bits and a Windows
// Sockets error number in the high 16 bits.
//
// Each event is posted once and then waits to be re-enabled, so a program
// is not flooded: a receive on the socket re-enables the read and close
// events, a send that finds no room re-enables the write event. The close
// event comes when the peer has closed and everything it sent was read.
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "toolkit/toolkit.h"

namespace kestrel::objects {

class SocketNotifier {
 public:
  enum Event : int32_t { kRead = 1, kWrite = 2, kOutOfBand = 4, kAccept = 8, kConnect = 16, kClose = 32 };

  // Starts notification for a non-blocking socket whose connect has just
  // returned `connectError` (0 or EINPROGRESS while it goes on). A connect
  // that failed at once is reported at once.
  void connecting(int socket, intptr_t window, uint32_t message, int32_t events, int connectError);
  // True for a socket under notification (it is non-blocking).
  bool watched(int socket) const { return entries_.count(socket) != 0; }
  void received(int socket);
  void sendBlocked(int socket);
  // Ends notification before the socket is closed.
  void forget(int socket) { entries_.erase(socket); }

  // What the event loop reports (called through the toolkit's watch).
  void ready(int socket, SocketCondition condition);

 private:
  struct Entry {
    intptr_t window = 0;
    uint32_t message = 0;
    int32_t events = 0;
    bool connecting = true;
    bool ended = false;  // connect failed, or the close event came: nothing more to report
    std::unique_ptr<SocketWatch> watch;
  };
  Entry* find(int socket);
  void arm(Entry& e, SocketCondition condition, bool on);
  void post(const Entry& e, int socket, int32_t event, int systemError);
  void connected(int socket, Entry& e);
  void readable(int socket, Entry& e);

  std::unordered_map<int, Entry> entries_;
};

}  // namespace kestrel::objects
