// The member table of socket objects (type 52) and the socket operations
// behind it. Failures are results, never errors: -1 from the numeric
// members, an empty string from the receiving ones.
//
// Standard output is written out before any call that may wait for the
// network, so that what a program printed shows while it waits.
#include <algorithm>
#include <cerrno>

#include "core/machine.h"
#include "objects/member_operands.h"
#include "objects/sockets.h"

namespace kestrel::objects {

SocketState::~SocketState() {
  for (const int32_t s : open_) {
    notifier.forget(s);
    platform::closeSocket(s);
  }
}

void SocketState::close(int32_t socket) {
  if (open_.erase(socket) == 0) return;
  notifier.forget(socket);
  platform::closeSocket(socket);
}

SocketState& socketState(Machine& m) { return world(m).state<SocketState>(); }

namespace {

constexpr int kListenBacklog = 5;
constexpr int32_t kNotificationAbove = 1024;
constexpr int kFormType = 30;
constexpr int kFormHandleMember = 50;

// ------------------------------------------------------------ opening

// Creates a listening socket on `port` with the given family. -1 when the
// socket cannot be made, bound or listened on; a socket that fails is closed.
int32_t openServer(Machine& m, SocketObject& o, int32_t family, int32_t port) {
  SocketState& st = socketState(m);
  st.shared = {static_cast<uint16_t>(family), platform::networkPort(port), 0};
  if (m.options.sandbox) return kNoSocket;
  const int s = platform::createSocket(family, o.socketType, o.protocol);
  if (s < 0) return kNoSocket;
  if (!platform::bindAndListen(s, st.shared, kListenBacklog)) {
    platform::closeSocket(s);
    return kNoSocket;
  }
  return st.adopt(s);
}

// The address of a host: a numeric address as it is, else the first address
// of the name, else the loopback address. The sandbox looks nothing up.
uint32_t hostAddress(Machine& m, const Str& host) {
  const std::string text = host.str();
  uint32_t address = 0;
  if (platform::parseNumericAddress(text, address)) return address;
  if (!m.options.sandbox && platform::lookupHost(text, address, nullptr)) return address;
  return platform::loopbackAddress();
}

// The window of form `index`, as the form's Handle member gives it; 0 when
// there is no such form.
intptr_t formWindow(Machine& m, int32_t index) {
  const TypeDescriptor* forms = TypeRegistry::instance().find(kFormType);
  if (forms == nullptr || index < 0 || static_cast<size_t>(index) >= world(m).count(kFormType)) return 0;
  try {
    EvalStacks s;
    if (!forms->read(*forms, m, world(m).at(kFormType, index), kFormHandleMember, s) || s.nn != 1) return 0;
    return static_cast<intptr_t>(s.num[0]);
  } catch (const RuntimeError&) {
    return 0;
  }
}

// Connects a new socket to host:port and keeps it in the object's handle
// field. With `notify` and a notification message above 1024 the socket is
// non-blocking and its events go to the notification form; the result is
// then -1 while the connection is still being made. A blocking connect that
// fails closes its socket (the handle field becomes -1), so that programs
// that retry do not run out of descriptors.
int32_t connectTo(Machine& m, SocketObject& o, int32_t family, bool notify) {
  const Str host = stringOperand(m);
  const int32_t port = numberOperand(m);
  SocketState& st = socketState(m);
  st.shared = {static_cast<uint16_t>(family), platform::networkPort(port), hostAddress(m, host)};
  o.handle = kNoSocket;
  if (m.options.sandbox) return kNoSocket;
  const int s = platform::createSocket(family, o.socketType, o.protocol);
  if (s < 0) return kNoSocket;
  o.handle = st.adopt(s);

  // Without a form to notify there is nothing to post to: the connect is an ordinary one.
  const intptr_t window = notify && o.notifyMessage > kNotificationAbove ? formWindow(m, o.notifyForm) : 0;
  if (window != 0 && platform::setNonBlocking(s)) {
    const int error = platform::connectSocket(s, st.shared);
    st.notifier.connecting(s, window, static_cast<uint32_t>(o.notifyMessage), o.notifyEvents, error);
    return error == 0 ? s : kNoSocket;
  }
  m.out.flush();
  if (platform::connectSocket(s, st.shared) != 0) {
    st.close(s);
    o.handle = kNoSocket;
    return kNoSocket;
  }
  return s;
}

// ------------------------------------------------------------ readiness and accepting

// How many of the sockets have something to read (data, a connection, an
// end), without waiting; -1 when one is not a socket of the program.
int32_t readiness(Machine& m, int32_t first, int32_t second, int count) {
  const SocketState& st = socketState(m);
  int sockets[2] = {first, second};
  if (count == 2 && first == second) count = 1;  // the set holds each socket once
  for (int i = 0; i < count; ++i)
    if (!st.owns(sockets[i])) return -1;
  return platform::readableCount(sockets, count);
}

int32_t acceptOn(Machine& m, int32_t listener) {
  SocketState& st = socketState(m);
  if (!st.owns(listener)) return kNoSocket;
  m.out.flush();
  const int s = platform::acceptConnection(listener);
  return s < 0 ? kNoSocket : st.adopt(s);
}

// ------------------------------------------------------------ transfers

// Receives up to `count` bytes (at most the receive buffer's size) into the
// transfer buffer; the number received, or -1.
int64_t receiveInto(Machine& m, int32_t socket, int32_t count, bool peek) {
  SocketState& st = socketState(m);
  if (!st.owns(socket)) return -1;
  const size_t n = static_cast<size_t>(std::clamp<int32_t>(count, 0, static_cast<int32_t>(kReceiveBufferSize)));
  m.out.flush();
  const int64_t got = platform::receiveBytes(socket, world(m).transferBuffer().data(), n, peek);
  st.notifier.received(socket);
  return got;
}

Str received(Machine& m, int64_t n) {
  if (n <= 0) return Str();
  const auto* bytes = reinterpret_cast<const char*>(world(m).transferBuffer().data());
  return Str(std::string_view(bytes, static_cast<size_t>(n)));
}

// Reads up to and including a line feed. The result is the line without
// the line feed (a carriage return before it stays) and the count its
// length; a connection that ends (or, on a non-blocking socket, data that
// run out) before a line feed gives what came, all of it; when nothing came
// the count is -1.
Str readLine(Machine& m, SocketObject& o, int32_t socket) {
  SocketState& st = socketState(m);
  std::string line;
  bool complete = false;
  if (st.owns(socket)) {
    m.out.flush();
    uint8_t* buffer = world(m).transferBuffer().data();
    // Look at what is queued and take it up to the first line feed: two
    // calls a line instead of one a byte.
    while (!complete) {
      const int64_t seen = platform::receiveBytes(socket, buffer, kReceiveBufferSize, true);
      if (seen <= 0) break;
      const auto* end = std::find(buffer, buffer + seen, uint8_t{'\n'});
      complete = end != buffer + seen;
      const size_t take = static_cast<size_t>(end - buffer) + (complete ? 1 : 0);
      const int64_t got = platform::receiveBytes(socket, buffer, take, false);
      if (got <= 0) break;
      line.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(got));
      if (line.size() > m.options.maxStringLength) raise(texts::kOutOfMemory);
      if (static_cast<size_t>(got) < take) complete = false;
    }
    st.notifier.received(socket);
  }
  if (complete) line.pop_back();
  o.transferCount = line.empty() && !complete ? -1 : static_cast<int32_t>(line.size());
  return Str(line);
}

// Sends bytes; on a socket under notification a send that finds no room
// asks for the write event.
int64_t sendOn(Machine& m, int32_t socket, std::string_view bytes) {
  SocketState& st = socketState(m);
  if (!st.owns(socket)) return -1;
  const bool blocking = !st.notifier.watched(socket);
  const int64_t sent = platform::sendBytes(socket, bytes.data(), bytes.size(), blocking);
  if (sent < 0 && !blocking && (errno == EAGAIN || errno == EWOULDBLOCK)) st.notifier.sendBlocked(socket);
  return sent;
}

int64_t writeLine(Machine& m, int32_t socket, const Str& text) {
  std::string line(text.view());
  line.push_back('\n');
  return sendOn(m, socket, line);
}

// ------------------------------------------------------------ host names

std::string localHostName(Machine& m) {
  if (m.options.sandbox) return "";
  const std::string name = platform::hostName();
  if (name.empty()) return "127.0.0.1";
  std::string official;
  uint32_t address = 0;
  // A name that does not resolve is still the machine's name.
  return platform::lookupHost(name, address, &official) ? official : name;
}

std::string localAddress(Machine& m) {
  if (m.options.sandbox) return "";
  uint32_t address = 0;
  if (!platform::lookupHost(platform::hostName(), address, nullptr)) address = platform::loopbackAddress();
  return platform::dottedAddress(address);
}

std::string peerAddress(Machine& m, int32_t socket) {
  SocketState& st = socketState(m);
  platform::SocketAddress peer;
  if (st.owns(socket) && platform::peerAddress(socket, peer)) st.shared = peer;
  return platform::dottedAddress(st.shared.address);
}

// ------------------------------------------------------------ the table

using S = SocketObject;

void pushCount(EvalStacks& s, int64_t n) { s.pushNumber(static_cast<double>(n)); }

void writeClose(Machine& m, S&) {
  skipByte(m);
  const int32_t socket = numberOperand(m);
  skipByte(m);
  socketState(m).close(socket);
}

void writeSend(Machine& m, S& o) {
  skipByte(m);
  const int32_t socket = numberOperand(m);
  skipByte(m);
  const Str text = stringOperand(m);
  skipByte(m);
  const int32_t length = numberOperand(m);
  skipByte(m);
  const size_t n = static_cast<size_t>(std::clamp<int64_t>(length, 0, static_cast<int64_t>(text.size())));
  o.transferCount = static_cast<int32_t>(sendOn(m, socket, text.view().substr(0, n)));
}

void writeNotifyForm(Machine& m, S& o) {
  const ObjectRef ref = readObjectOperand(m);
  const Object& form = containerLookup(m, ref);
  if (form.classCode() != kFormType) raise(texts::kInvalidCast);
  o.notifyForm = form.tag;
}

const Member<S> kSocketMembers[] = {
    {0, "OpenServer",
     "E", [](Machine& m, S& o) { openServer(m, o, platform::kInternetFamily, numberOperand(m)); },
     "E", [](Machine& m, S& o, EvalStacks& s) {
       const int32_t socket = openServer(m, o, o.family, numberOperand(m));
       if (socket != kNoSocket) o.handle = socket;
       s.pushNumber(socket);
     }, "port: a listening socket on that port; as an expression its handle (-1: failed)"},
    {1, "Close", "bEb", writeClose, nullptr, nullptr, "socket: closes it"},
    {2, "SocketType", "E", [](Machine& m, S& o) { o.socketType = numberOperand(m); },
     "", [](Machine&, S& o, EvalStacks& s) { s.pushNumber(o.socketType); }, "the type of sockets made next (1 stream)"},
    {3, "Protocol", "E", [](Machine& m, S& o) { o.protocol = numberOperand(m); },
     "", [](Machine&, S& o, EvalStacks& s) { s.pushNumber(o.protocol); },
     "the protocol of sockets made next (0: the type's own)"},
    {5, "ReadyPair", nullptr, nullptr,
     "EE", [](Machine& m, S&, EvalStacks& s) {
       const int32_t first = numberOperand(m);
       const int32_t second = numberOperand(m);
       s.pushNumber(readiness(m, first, second, 2));
     }, "socket, socket: how many of the two have something to read, without waiting (-1: not a socket)"},
    {6, "Ready", nullptr, nullptr,
     "E", [](Machine& m, S&, EvalStacks& s) { s.pushNumber(readiness(m, numberOperand(m), 0, 1)); },
     "socket: 1 when it has something to read (data, a connection, its end), else 0; -1: not a socket"},
    {7, "Accept",
     "E", [](Machine& m, S&) {
       // The new connection has no one to use it: it is closed rather than left open.
       const int32_t socket = acceptOn(m, numberOperand(m));
       if (socket != kNoSocket) socketState(m).close(socket);
     },
     "E", [](Machine& m, S&, EvalStacks& s) { s.pushNumber(acceptOn(m, numberOperand(m))); },
     "listening socket: the connection waiting there (-1: none); the statement closes it at once"},
    {8, "Transferred", nullptr, nullptr, "", [](Machine&, S& o, EvalStacks& s) { s.pushNumber(o.transferCount); },
     "the byte count of the last Receive, Send or WriteLine (-1: failed)"},
    {9, "Receive",
     "EE", [](Machine& m, S& o) {
       const int32_t socket = numberOperand(m);
       const int32_t count = numberOperand(m);
       o.transferCount = static_cast<int32_t>(receiveInto(m, socket, count, false));
     },
     "EE", [](Machine& m, S& o, EvalStacks& s) {
       const int32_t socket = numberOperand(m);
       const int32_t count = numberOperand(m);
       const int64_t n = receiveInto(m, socket, count, false);
       o.transferCount = static_cast<int32_t>(n);
       s.pushString(received(m, n));
     }, "socket, count: up to count bytes received (Transferred says how many)"},
    {10, "Send", "bEbEbEb", writeSend, nullptr, nullptr,
     "socket, text, length: sends the first length bytes (Transferred says how many went)"},
    {11, "Connect",
     "EE", [](Machine& m, S& o) { connectTo(m, o, platform::kInternetFamily, false); },
     "EE", [](Machine& m, S& o, EvalStacks& s) { s.pushNumber(connectTo(m, o, o.family, true)); },
     "host, port: a connection; as an expression its handle (-1: failed, or pending under notification)"},
    {12, "HasData", nullptr, nullptr,
     "E", [](Machine& m, S&, EvalStacks& s) { s.pushNumber(readiness(m, numberOperand(m), 0, 1)); },
     "socket: as Ready"},
    {13, "ReadLine", "E", [](Machine& m, S& o) { readLine(m, o, numberOperand(m)); },
     "E", [](Machine& m, S& o, EvalStacks& s) { s.pushString(readLine(m, o, numberOperand(m))); },
     "socket: the next line without its line feed (Transferred: its length, -1 when nothing came)"},
    {14, "WriteLine",
     "EE", [](Machine& m, S& o) {
       const int32_t socket = numberOperand(m);
       const Str text = stringOperand(m);
       o.transferCount = static_cast<int32_t>(writeLine(m, socket, text));
     },
     "EE", [](Machine& m, S&, EvalStacks& s) {
       const int32_t socket = numberOperand(m);
       const Str text = stringOperand(m);
       pushCount(s, writeLine(m, socket, text));
     }, "socket, text: sends the text and a line feed; as an expression the bytes sent"},
    {15, "LocalHostName", nullptr, nullptr, "", [](Machine& m, S&, EvalStacks& s) { s.pushString(localHostName(m)); },
     "this machine's host name"},
    {16, "PeerAddress", nullptr, nullptr,
     "E", [](Machine& m, S&, EvalStacks& s) { s.pushString(peerAddress(m, numberOperand(m))); },
     "socket: the dotted address of the other end"},
    {17, "LocalAddress", nullptr, nullptr, "", [](Machine& m, S&, EvalStacks& s) { s.pushString(localAddress(m)); },
     "this machine's dotted address"},
    {18, "Peek",
     "EE", [](Machine& m, S&) {
       const int32_t socket = numberOperand(m);
       const int32_t count = numberOperand(m);
       receiveInto(m, socket, count, true);
     },
     "EE", [](Machine& m, S&, EvalStacks& s) {
       const int32_t socket = numberOperand(m);
       const int32_t count = numberOperand(m);
       s.pushString(received(m, receiveInto(m, socket, count, true)));
     }, "socket, count: up to count bytes waiting, left to be received"},
    {19, "Family", "E", [](Machine& m, S& o) { o.family = numberOperand(m); },
     "", [](Machine&, S& o, EvalStacks& s) { s.pushNumber(o.family); },
     "the address family of sockets made next (2: internet)"},
    {20, "Handle", nullptr, nullptr, "", [](Machine&, S& o, EvalStacks& s) { s.pushNumber(o.handle); },
     "the socket made last by OpenServer or Connect"},
    {21, "NotifyMessage", "E", [](Machine& m, S& o) { o.notifyMessage = numberOperand(m); },
     "", [](Machine&, S& o, EvalStacks& s) { s.pushNumber(o.notifyMessage); },
     "the message posted to the notification form about socket events (above 1024: notify)"},
    {22, "NotifyEvents", "E", [](Machine& m, S& o) { o.notifyEvents = numberOperand(m); },
     "", [](Machine&, S& o, EvalStacks& s) { s.pushNumber(o.notifyEvents); },
     "the events to notify: 1 read, 2 write, 4 out-of-band, 8 accept, 16 connect, 32 close"},
    {23, "NotifyForm", "O", writeNotifyForm, nullptr, nullptr, "form: where notifications go"},
};

std::unique_ptr<Object> createSocketObject(Machine&, int type, int32_t) { return std::make_unique<SocketObject>(type); }

}  // namespace

void registerSocketType(TypeRegistry& registry) {
  TypeDescriptor d = describeType(kSocketType, "socket", kSocketMembers, createSocketObject);
  d.fixedTable = true;
  registry.add(std::move(d));
}

}  // namespace kestrel::objects
