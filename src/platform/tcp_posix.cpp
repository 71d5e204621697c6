#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/tcp.h"

namespace kestrel::platform {

namespace {

sockaddr_in toSystem(const SocketAddress& a) {
  sockaddr_in s{};
  s.sin_family = a.family;
  s.sin_port = a.port;
  s.sin_addr.s_addr = a.address;
  return s;
}

template <class Call>
auto resumed(Call call) {
  for (;;) {
    auto r = call();
    if (r >= 0 || errno != EINTR) return r;
  }
}

}  // namespace

int createSocket(int family, int type, int protocol) {
  if (family != kInternetFamily) return -1;
  // Only the plain socket types: flags hidden in the type number are not the program's to set.
  if (type <= 0 || type > 0xFF) return -1;
  return ::socket(AF_INET, type | SOCK_CLOEXEC, protocol);
}

bool bindAndListen(int socket, const SocketAddress& address, int backlog) {
  const int on = 1;
  ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  const sockaddr_in s = toSystem(address);
  if (::bind(socket, reinterpret_cast<const sockaddr*>(&s), sizeof s) != 0) return false;
  return ::listen(socket, backlog) == 0;
}

int acceptConnection(int socket) {
  return resumed([&] { return ::accept4(socket, nullptr, nullptr, SOCK_CLOEXEC); });
}

int connectSocket(int socket, const SocketAddress& address) {
  const sockaddr_in s = toSystem(address);
  if (::connect(socket, reinterpret_cast<const sockaddr*>(&s), sizeof s) == 0) return 0;
  if (errno == EINPROGRESS) return EINPROGRESS;
  if (errno != EINTR) return errno;
  // An interrupted connect goes on in the background: wait for its end.
  const int flags = ::fcntl(socket, F_GETFL);
  if (flags >= 0 && (flags & O_NONBLOCK) != 0) return EINPROGRESS;
  pollfd p{socket, POLLOUT, 0};
  while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
  }
  return pendingError(socket);
}

bool setNonBlocking(int socket) {
  const int flags = ::fcntl(socket, F_GETFL);
  return flags >= 0 && ::fcntl(socket, F_SETFL, flags | O_NONBLOCK) == 0;
}

int64_t receiveBytes(int socket, void* buffer, size_t n, bool peek) {
  return resumed([&] { return ::recv(socket, buffer, n, peek ? MSG_PEEK : 0); });
}

int64_t receiveNow(int socket, void* buffer, size_t n, bool peek) {
  return resumed([&] { return ::recv(socket, buffer, n, MSG_DONTWAIT | (peek ? MSG_PEEK : 0)); });
}

int64_t sendBytes(int socket, const void* bytes, size_t n, bool blocking) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  size_t done = 0;
  do {
    const ssize_t sent = resumed([&] { return ::send(socket, p + done, n - done, MSG_NOSIGNAL); });
    if (sent < 0) return done > 0 ? static_cast<int64_t>(done) : -1;
    done += static_cast<size_t>(sent);
  } while (blocking && done < n);
  return static_cast<int64_t>(done);
}

int readableCount(const int* sockets, int count) {
  pollfd p[2];
  if (count < 1 || count > 2) return -1;
  for (int i = 0; i < count; ++i) {
    if (sockets[i] < 0) return -1;
    p[i] = {sockets[i], POLLIN, 0};
  }
  const int ready = resumed([&] { return ::poll(p, static_cast<nfds_t>(count), 0); });
  if (ready < 0) return -1;
  for (int i = 0; i < count; ++i)
    if ((p[i].revents & POLLNVAL) != 0) return -1;
  return ready;
}

int pendingError(int socket) {
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

bool peerAddress(int socket, SocketAddress& address) {
  sockaddr_in s{};
  socklen_t length = sizeof s;
  if (::getpeername(socket, reinterpret_cast<sockaddr*>(&s), &length) != 0 || s.sin_family != AF_INET) return false;
  address = {static_cast<uint16_t>(s.sin_family), s.sin_port, s.sin_addr.s_addr};
  return true;
}

void closeSocket(int socket) { ::close(socket); }

bool parseNumericAddress(const std::string& text, uint32_t& address) {
  address = ::inet_addr(text.c_str());
  return address != INADDR_NONE;
}

bool lookupHost(const std::string& name, uint32_t& address, std::string* officialName) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  if (officialName != nullptr) hints.ai_flags = AI_CANONNAME;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  if (officialName != nullptr) *officialName = found->ai_canonname != nullptr ? found->ai_canonname : name;
  ::freeaddrinfo(found);
  return true;
}

std::string hostName() {
  char name[256] = {};
  if (::gethostname(name, 255) != 0) return "";
  return name;
}

std::string dottedAddress(uint32_t address) {
  const uint32_t a = ntohl(address);
  return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 255) + "." + std::to_string((a >> 8) & 255) +
         "." + std::to_string(a & 255);
}

uint32_t loopbackAddress() { return htonl(INADDR_LOOPBACK); }

uint16_t networkPort(int32_t port) { return htons(static_cast<uint16_t>(port)); }

int windowsSocketError(int error) {
  constexpr int kBase = 10000;
  switch (error) {
    case 0: return 0;
    case EINTR: return kBase + 4;
    case EBADF: return kBase + 9;
    case EACCES: return kBase + 13;
    case EFAULT: return kBase + 14;
    case EINVAL: return kBase + 22;
    case EMFILE: return kBase + 24;
    case EAGAIN: return kBase + 35;
    case EINPROGRESS: return kBase + 36;
    case EALREADY: return kBase + 37;
    case ENOTSOCK: return kBase + 38;
    case EMSGSIZE: return kBase + 40;
    case EAFNOSUPPORT: return kBase + 47;
    case EADDRINUSE: return kBase + 48;
    case EADDRNOTAVAIL: return kBase + 49;
    case ENETDOWN: return kBase + 50;
    case ENETUNREACH: return kBase + 51;
    case ENETRESET: return kBase + 52;
    case ECONNABORTED: return kBase + 53;
    case ECONNRESET: return kBase + 54;
    case ENOBUFS: return kBase + 55;
    case EISCONN: return kBase + 56;
    case ENOTCONN: return kBase + 57;
    case EPIPE: case ESHUTDOWN: return kBase + 58;
    case ETIMEDOUT: return kBase + 60;
    case ECONNREFUSED: return kBase + 61;
    case EHOSTDOWN: return kBase + 64;
    case EHOSTUNREACH: return kBase + 65;
    default: return kBase + 50;  // anything else: the network failed
  }
}

}  // namespace kestrel::platform
