#pragma once
// TCP/IPv4 sockets on POSIX: the calls behind the socket object, each with
// the failure result the object passes on (-1, or an error number). A socket
// handle is the file descriptor. Sends never raise SIGPIPE; interrupted calls
// are resumed.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel::platform {

// An IPv4 socket address as the program's shared address record holds it:
// the family, and the port and address in network byte order.
struct SocketAddress {
  uint16_t family = 0;
  uint16_t port = 0;
  uint32_t address = 0;
};

inline constexpr int kInternetFamily = 2;  // AF_INET, the same number on Windows

// A new socket (close-on-exec), or -1. Only the internet family is offered:
// any other family number fails, so that no local or raw sockets of other
// kinds can be made from a program.
int createSocket(int family, int type, int protocol);
// Binds to `address` (reusing a port that only lingering connections hold,
// as Windows allows) and listens. False when either fails.
bool bindAndListen(int socket, const SocketAddress& address, int backlog);
// A connection from the queue of a listening socket, or -1.
int acceptConnection(int socket);
// Connects; 0 on success (or, on a non-blocking socket, EINPROGRESS), else
// the error number.
int connectSocket(int socket, const SocketAddress& address);
bool setNonBlocking(int socket);
// Up to n bytes; with `peek` they stay queued. -1 on failure (errno set).
int64_t receiveBytes(int socket, void* buffer, size_t n, bool peek);
// Like receiveBytes, never waiting: -1 with EAGAIN when nothing is queued.
int64_t receiveNow(int socket, void* buffer, size_t n, bool peek);
// Sends n bytes: on a blocking socket all of them, on a non-blocking one what
// fits now. The count sent, or -1 (errno set; EAGAIN when nothing fits).
int64_t sendBytes(int socket, const void* bytes, size_t n, bool blocking);
// How many of the sockets have data (or a connection, or an end) to read,
// without waiting; -1 when a handle is not an open descriptor.
int readableCount(const int* sockets, int count);
// The error that a finished non-blocking connect left (0 for none).
int pendingError(int socket);
bool peerAddress(int socket, SocketAddress& address);
void closeSocket(int socket);

// A dotted (or other numeric) address in network order; false when the
// text is not one (the all-ones address counts as not one, as inet_addr says).
bool parseNumericAddress(const std::string& text, uint32_t& address);
// The first IPv4 address of a host name, in network order, and its official
// name when asked for; false when the name does not resolve.
bool lookupHost(const std::string& name, uint32_t& address, std::string* officialName);
// The machine's host name ("" when it has none).
std::string hostName();
// "a.b.c.d" of an address in network order.
std::string dottedAddress(uint32_t address);
uint32_t loopbackAddress();  // 127.0.0.1 in network order
uint16_t networkPort(int32_t port);

// The Windows Sockets error number that stands for a system error number
// in notification messages (ECONNREFUSED is 10061, ...).
int windowsSocketError(int error);

}  // namespace kestrel::platform
