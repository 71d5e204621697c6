// Load test of the byte-code chat server (examples/chat_server.kasm): many
// clients on loopback each send a number of lines, and every client must
// receive every other client's lines exactly once, in order and intact.
// Prints the throughput; exits with 0 when everything arrived.
//
//   chat_load KESTREL CHAT_SERVER.kasm [CLIENTS [LINES [SECONDS]]]
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int clients = 200;
int linesEach = 100;
Clock::time_point deadline;

[[noreturn]] void fail(const std::string& why) {
  std::fprintf(stderr, "chat_load: FAIL: %s\n", why.c_str());
  std::exit(1);
}

bool pastDeadline() { return Clock::now() > deadline; }

int msLeft() {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
}

std::string lineText(int id, int n) {
  return "c" + std::to_string(id) + " l" + std::to_string(n) + " the quick brown fox jumps over the lazy dog";
}

// ------------------------------------------------------------ the server

struct Server {
  pid_t pid = -1;
  int output = -1;  // its standard output
  std::string seen;
};

// Reads the server's output until a whole line is there.
std::string firstLine(Server& s) {
  while (s.seen.find('\n') == std::string::npos) {
    pollfd p{s.output, POLLIN, 0};
    if (poll(&p, 1, std::max(msLeft(), 0)) <= 0) fail("the server said nothing");
    char buf[512];
    const ssize_t n = read(s.output, buf, sizeof buf);
    if (n <= 0) return s.seen;
    s.seen.append(buf, static_cast<size_t>(n));
  }
  return s.seen.substr(0, s.seen.find('\n'));
}

Server startServer(const char* kestrel, const char* program, int port) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) fail("pipe");
  Server s;
  s.pid = fork();
  if (s.pid == 0) {
    dup2(pipeFds[1], 1);
    close(pipeFds[0]);
    close(pipeFds[1]);
    const std::string portText = std::to_string(port);
    const std::string clientsText = std::to_string(clients);
    execl(kestrel, kestrel, "run", program, portText.c_str(), clientsText.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  s.output = pipeFds[0];
  return s;
}

// Starts the server on a free port: ports are tried from a random one on,
// so that test runs side by side do not collide.
Server startOnFreePort(const char* kestrel, const char* program, int& port) {
  port = 20000 + static_cast<int>((static_cast<unsigned>(getpid()) * 7919u + static_cast<unsigned>(time(nullptr))) % 30000u);
  for (int attempt = 0; attempt < 50; ++attempt, ++port) {
    Server s = startServer(kestrel, program, port);
    const std::string line = firstLine(s);
    if (line.find("chat server on port") != std::string::npos) return s;
    int status = 0;
    waitpid(s.pid, &status, 0);
    close(s.output);
    if (line.find("in use") == std::string::npos) fail("the server did not start: " + line);
  }
  fail("no free port");
}

// ------------------------------------------------------------ the clients

struct Client {
  int fd = -1;
  int slot = -1;  // the server's number for it
  std::string in;
  std::string out;
  size_t sent = 0;
  std::vector<int> nextFrom;  // by sender id: the line number expected next
  long received = 0;
  bool finished = false;  // sent everything and received everything
};

std::vector<Client> all;
std::vector<int> idOfSlot(256, -1);

int connectClient(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) fail(std::string("connect: ") + strerror(errno));
  return fd;
}

// The greeting "* welcome N" tells the client its number; lines before it
// cannot come (the others are told of it only now).
void greet(Client& c, int id) {
  while (c.in.find('\n') == std::string::npos) {
    pollfd p{c.fd, POLLIN, 0};
    if (poll(&p, 1, std::max(msLeft(), 0)) <= 0) fail("no greeting for client " + std::to_string(id));
    char buf[256];
    const ssize_t n = recv(c.fd, buf, sizeof buf, 0);
    if (n <= 0) fail("client " + std::to_string(id) + " lost before its greeting");
    c.in.append(buf, static_cast<size_t>(n));
  }
  const std::string line = c.in.substr(0, c.in.find('\n'));
  c.in.erase(0, line.size() + 1);
  if (line.rfind("* welcome ", 0) != 0) fail("unexpected greeting: " + line);
  c.slot = std::atoi(line.c_str() + 10);
  if (c.slot < 0 || c.slot > 255 || idOfSlot[static_cast<size_t>(c.slot)] != -1) fail("bad client number: " + line);
  idOfSlot[static_cast<size_t>(c.slot)] = id;
}

// One line that client `id` received: a server notice, or "SLOT: TEXT".
void take(int id, const std::string& line) {
  Client& c = all[static_cast<size_t>(id)];
  if (!line.empty() && line[0] == '*') return;
  const size_t colon = line.find(": c");
  if (colon == std::string::npos) fail("client " + std::to_string(id) + " got a stray line: " + line);
  const int slot = std::atoi(line.c_str());
  const int sender = slot >= 0 && slot < 256 ? idOfSlot[static_cast<size_t>(slot)] : -1;
  if (sender < 0 || sender == id) fail("client " + std::to_string(id) + " got a line from a wrong sender: " + line);
  int& expected = c.nextFrom[static_cast<size_t>(sender)];
  if (expected >= linesEach || line.compare(colon + 2, std::string::npos, lineText(sender, expected)) != 0)
    fail("client " + std::to_string(id) + " expected line " + std::to_string(expected) + " of client " +
         std::to_string(sender) + ", got: " + line);
  ++expected;
  ++c.received;
}

void readFrom(int id) {
  Client& c = all[static_cast<size_t>(id)];
  char buf[65536];
  for (;;) {
    const ssize_t n = recv(c.fd, buf, sizeof buf, 0);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    if (n <= 0) fail("client " + std::to_string(id) + " lost its connection");
    c.in.append(buf, static_cast<size_t>(n));
  }
  size_t start = 0;
  for (size_t end; (end = c.in.find('\n', start)) != std::string::npos; start = end + 1)
    take(id, c.in.substr(start, end - start));
  c.in.erase(0, start);
}

void writeFrom(Client& c) {
  while (c.sent < c.out.size()) {
    const ssize_t n = send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (n <= 0) fail(std::string("send: ") + strerror(errno));
    c.sent += static_cast<size_t>(n);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: chat_load KESTREL CHAT_SERVER.kasm [CLIENTS [LINES [SECONDS]]]\n");
    return 2;
  }
  if (argc > 3) clients = std::atoi(argv[3]);
  if (argc > 4) linesEach = std::atoi(argv[4]);
  const int seconds = argc > 5 ? std::atoi(argv[5]) : 55;
  if (clients < 2 || clients > 250 || linesEach < 1) fail("bad counts");
  signal(SIGPIPE, SIG_IGN);
  deadline = Clock::now() + std::chrono::seconds(seconds);

  int port = 0;
  Server server = startOnFreePort(argv[1], argv[2], port);

  const auto connectStart = Clock::now();
  all.resize(static_cast<size_t>(clients));
  for (int id = 0; id < clients; ++id) {
    Client& c = all[static_cast<size_t>(id)];
    c.fd = connectClient(port);
    c.nextFrom.assign(static_cast<size_t>(clients), 0);
    greet(c, id);
    for (int n = 0; n < linesEach; ++n) c.out += lineText(id, n) + "\n";
  }
  const auto sendStart = Clock::now();

  const int ep = epoll_create1(0);
  for (int id = 0; id < clients; ++id) {
    Client& c = all[static_cast<size_t>(id)];
    fcntl(c.fd, F_SETFL, fcntl(c.fd, F_GETFL) | O_NONBLOCK);
    epoll_event e{};
    e.events = EPOLLIN | EPOLLOUT;
    e.data.u32 = static_cast<uint32_t>(id);
    epoll_ctl(ep, EPOLL_CTL_ADD, c.fd, &e);
  }
  // A client that has everything stays connected until all have: one that
  // left earlier could make the server drop lines it has not passed on yet.
  const long expectedEach = static_cast<long>(clients - 1) * linesEach;
  int complete = 0;
  std::vector<epoll_event> events(static_cast<size_t>(clients));
  while (complete < clients) {
    if (pastDeadline()) {
      long got = 0;
      for (const Client& c : all) got += c.received;
      fail("out of time with " + std::to_string(got) + " of " + std::to_string(expectedEach * clients) +
           " lines delivered");
    }
    const int n = epoll_wait(ep, events.data(), clients, 1000);
    for (int i = 0; i < n; ++i) {
      const int id = static_cast<int>(events[static_cast<size_t>(i)].data.u32);
      Client& c = all[static_cast<size_t>(id)];
      if (c.finished) continue;
      if ((events[static_cast<size_t>(i)].events & EPOLLOUT) != 0) {
        writeFrom(c);
        if (c.sent == c.out.size()) {
          epoll_event e{};
          e.events = EPOLLIN;
          e.data.u32 = static_cast<uint32_t>(id);
          epoll_ctl(ep, EPOLL_CTL_MOD, c.fd, &e);
        }
      }
      if ((events[static_cast<size_t>(i)].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) != 0) readFrom(id);
      if (c.received == expectedEach && c.sent == c.out.size()) {
        epoll_ctl(ep, EPOLL_CTL_DEL, c.fd, nullptr);
        c.finished = true;
        ++complete;
      }
    }
  }
  for (const Client& c : all) close(c.fd);
  const auto done = Clock::now();

  // The server ends by itself once every client has left.
  int status = -1;
  while (waitpid(server.pid, &status, WNOHANG) == 0) {
    if (pastDeadline()) {
      kill(server.pid, SIGKILL);
      waitpid(server.pid, &status, 0);
      fail("the server did not end after the last client left");
    }
    usleep(10000);
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) fail("the server failed");
  char buf[512];
  for (ssize_t r; (r = read(server.output, buf, sizeof buf)) > 0;) server.seen.append(buf, static_cast<size_t>(r));
  if (server.seen.find(std::to_string(clients) + " clients served") == std::string::npos)
    fail("the server's report is missing: " + server.seen);

  const double connectSeconds = std::chrono::duration<double>(sendStart - connectStart).count();
  const double sendSeconds = std::chrono::duration<double>(done - sendStart).count();
  const double delivered = static_cast<double>(expectedEach) * clients;
  std::printf(
      "chat_load: %d clients x %d lines: %.0f lines delivered exactly once\n"
      "chat_load: connecting %.2f s; relaying %.2f s = %.0f lines received/s (%.0f lines sent/s)\n",
      clients, linesEach, delivered, connectSeconds, sendSeconds, delivered / sendSeconds,
      clients * linesEach / sendSeconds);
  return 0;
}
