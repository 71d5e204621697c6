// Socket objects against peers written in C++: read line and its count,
// handles that are not the program's, failures that must not leave sockets
// open, the sandbox, and asynchronous notification through a toolkit that
// records what is posted.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "asm/kasm.h"
#include "expr/eval_stacks.h"
#include "core/machine.h"
#include "interp/runner.h"
#include "objects/object_model.h"
#include "toolkit/toolkit.h"

using namespace kestrel;

namespace {

int openDescriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d) != nullptr) ++n;
    closedir(d);
  }
  return n;
}

// A loopback socket bound to a port of the system's choosing; listening
// unless asked not to (a port that refuses connections).
struct LoopbackSocket {
  explicit LoopbackSocket(bool listening = true) {
    fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t length = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    port = ntohs(a.sin_port);
    if (listening) listen(fd, 5);
  }
  ~LoopbackSocket() { close(fd); }
  int fd;
  int port;
};

std::string withPort(std::string source, int port) {
  for (size_t at; (at = source.find("PORT")) != std::string::npos;) source.replace(at, 4, std::to_string(port));
  return source;
}

struct RunResult {
  std::string output;
  int status = 0;
};

RunResult run(const std::string& source, bool sandbox = false) {
  MachineOptions options;
  options.sandbox = sandbox;
  Machine m(parseImage(kasm::assemble(source, ".")), options);
  RunResult r;
  m.out.captureInto(&r.output);
  r.status = runMachine(m);
  m.out.flush();
  return r;
}

}  // namespace

TEST(Sockets, SettingsStartAsTheRecordSays) {
  const RunResult r = run(R"(
    dim socket:3
    stdout socket:3.Family + 100 * socket:3.SocketType + 1000 * socket:3.Protocol
    stdout socket:3.Handle
    stdout socket:3.Transferred
    stdout socket:3.NotifyMessage
    stdout socket:3.NotifyEvents
    set socket:3.Family = 23
    set socket:3.SocketType = 2
    set socket:3.Protocol = 17
    set socket:3.NotifyMessage = 1025
    set socket:3.NotifyEvents = 63
    stdout socket:3.Family + 100 * socket:3.SocketType + 1000 * socket:3.Protocol
    stdout socket:3.NotifyMessage + socket:3.NotifyEvents
    // A family other than the internet's makes no socket.
    stdout socket:3.OpenServer(0)
)");
  EXPECT_EQ(r.output, "102\n-1\n0\n0\n16\n17223\n1088\n-1\n");
}

// The peer sends a line with a carriage return, an empty line and a last
// line without a line feed, then closes its side.
TEST(Sockets, ReadLineGivesEverythingTheConnectionCarried) {
  LoopbackSocket listener;
  std::thread peer([&] {
    const int c = accept(listener.fd, nullptr, nullptr);
    const std::string data = "abc\r\n\ntail";
    send(c, data.data(), data.size(), MSG_NOSIGNAL);
    shutdown(c, SHUT_WR);
    char buf[64];
    while (recv(c, buf, sizeof buf, 0) > 0) {
    }
    close(c);
  });
  const RunResult r = run(withPort(R"(
    dim socket:0
    dim int:0
    dim int:1
    dim str:0
    let int:0 = socket:0.Connect("127.0.0.1", PORT)
    for int:1 = 1 to 4 step 1 else done
again:
    let str:0 = socket:0.ReadLine(int:0)
    stdout "[" + replace(str:0, "\r", "<cr>") + "] " + str(socket:0.Transferred)
    next again
done:
    set socket:0.ReadLine = int:0
    stdout socket:0.Transferred
    stdout socket:0.Receive(int:0, 10) + str(socket:0.Transferred)
    set socket:0.Close = int:0
)", listener.port));
  peer.join();
  EXPECT_EQ(r.status, 0);
  // The last line keeps its last character; an ended connection then gives -1.
  EXPECT_EQ(r.output, "[abc<cr>] 4\n[] 0\n[tail] 4\n[] -1\n-1\n0\n");
}

// Handles the program did not get from a socket member are no sockets:
// standard input and output stay open and untouched.
TEST(Sockets, HandlesThatAreNotTheProgramsAreRefused) {
  const RunResult r = run(R"(
    dim socket:0
    set socket:0.Close = 1
    set socket:0.Close = 0
    stdout socket:0.Ready(1)
    stdout socket:0.HasData(0)
    stdout socket:0.ReadyPair(1, 2)
    stdout "[" + socket:0.Receive(0, 10) + "] " + str(socket:0.Transferred)
    stdout "[" + socket:0.Peek(0, 10) + "]"
    stdout "[" + socket:0.ReadLine(0) + "] " + str(socket:0.Transferred)
    stdout socket:0.WriteLine(1, "x")
    set socket:0.Send = 1, "xyz", 3
    stdout socket:0.Transferred
    stdout socket:0.Accept(2)
    stdout socket:0.PeerAddress(1)
)");
  EXPECT_EQ(r.output, "-1\n-1\n-1\n[] -1\n[]\n[] -1\n-1\n-1\n-1\n0.0.0.0\n");
  EXPECT_NE(fcntl(0, F_GETFD), -1);
  EXPECT_NE(fcntl(1, F_GETFD), -1);
}

// A bind that fails, a connect that fails and the statement form of accept
// leave no socket open behind them.
TEST(Sockets, FailuresLeaveNoSocketOpen) {
  LoopbackSocket taken;
  LoopbackSocket refusing(false);
  std::string source = R"(
    dim socket:0
    stdout socket:0.OpenServer(TAKEN)
    set socket:0.OpenServer = TAKEN
    stdout socket:0.Handle
    stdout socket:0.Connect("127.0.0.1", REFUSING)
    stdout socket:0.Handle
    set socket:0.Connect = "127.0.0.1", REFUSING
    stdout socket:0.Handle
)";
  for (size_t at; (at = source.find("TAKEN")) != std::string::npos;) source.replace(at, 5, std::to_string(taken.port));
  for (size_t at; (at = source.find("REFUSING")) != std::string::npos;)
    source.replace(at, 8, std::to_string(refusing.port));
  Machine m(parseImage(kasm::assemble(source, ".")));
  std::string output;
  m.out.captureInto(&output);
  const int before = openDescriptors();
  EXPECT_EQ(runMachine(m), 0);
  EXPECT_EQ(output, "-1\n-1\n-1\n-1\n-1\n");
  EXPECT_EQ(openDescriptors(), before);
}

TEST(Sockets, AcceptAsAStatementClosesTheConnection) {
  const RunResult r = run(R"(
    dim socket:0
    dim int:0
    dim int:1
    let int:0 = 21000 + rnd(20000)
retry:
    let int:1 = socket:0.OpenServer(int:0)
    ifnot int:1 = -1 goto listening
    let int:0 = int:0 + 1
    goto retry
listening:
    let int:0 = socket:0.Connect("127.0.0.1", int:0)
    set socket:0.Accept = int:1
    stdout "[" + socket:0.ReadLine(int:0) + "] " + str(socket:0.Transferred)
    // A peer that has gone: sending fails with -1 and never stops the program.
    stdout socket:0.WriteLine(int:0, "x") + socket:0.WriteLine(int:0, "x") <= 2
    stdout socket:0.WriteLine(int:0, "x")
)");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output, "[] -1\n-1\n-1\n");
}

// The fuzzer's sandbox: nothing is opened, connected or looked up.
TEST(Sockets, SandboxOpensNothing) {
  LoopbackSocket listener;
  const int before = openDescriptors();
  const RunResult r = run(withPort(R"(
    dim socket:0
    stdout socket:0.OpenServer(0)
    stdout socket:0.Connect("127.0.0.1", PORT)
    stdout socket:0.Handle
    set socket:0.Connect = "localhost", PORT
    stdout "[" + socket:0.LocalHostName + "][" + socket:0.LocalAddress + "]"
)", listener.port), true);
  EXPECT_EQ(r.output, "-1\n-1\n-1\n[][]\n");
  EXPECT_EQ(openDescriptors(), before);
  pollfd p{listener.fd, POLLIN, 0};
  EXPECT_EQ(poll(&p, 1, 50), 0);  // no connection came
}

// ------------------------------------------------------------ notification

namespace {

// Records what is posted, and watches sockets with poll() when the
// program handles events.
class RecordingToolkit : public Toolkit {
 public:
  struct Posted {
    intptr_t window;
    uint32_t message;
    intptr_t wParam;
    intptr_t lParam;
  };
  struct Watch : SocketWatch {
    RecordingToolkit* owner = nullptr;
    int socket = -1;
    std::function<void(SocketCondition)> ready;
    bool armed[2] = {false, false};
    ~Watch() override { std::erase(owner->watches, this); }
    void arm(SocketCondition c, bool on) override { armed[static_cast<int>(c)] = on; }
  };

  bool windowSystemAvailable() override { return true; }
  // Waits a little for an armed condition, then reports what is ready.
  void processPendingEvents() override {
    std::vector<pollfd> p;
    std::vector<std::pair<Watch*, SocketCondition>> asked;
    for (Watch* w : watches)
      for (SocketCondition c : {SocketCondition::Readable, SocketCondition::Writable})
        if (w->armed[static_cast<int>(c)]) {
          p.push_back({w->socket, static_cast<short>(c == SocketCondition::Readable ? POLLIN : POLLOUT), 0});
          asked.emplace_back(w, c);
        }
    if (p.empty() || poll(p.data(), p.size(), 50) <= 0) return;
    for (size_t i = 0; i < p.size(); ++i)
      if (p[i].revents != 0 && std::find(watches.begin(), watches.end(), asked[i].first) != watches.end())
        asked[i].first->ready(asked[i].second);
  }
  bool postMessage(intptr_t window, uint32_t message, intptr_t wParam, intptr_t lParam) override {
    posted.push_back({window, message, wParam, lParam});
    return true;
  }
  std::unique_ptr<SocketWatch> watchSocket(int socket, std::function<void(SocketCondition)> ready) override {
    auto w = std::make_unique<Watch>();
    w->owner = this;
    w->socket = socket;
    w->ready = std::move(ready);
    watches.push_back(w.get());
    return w;
  }

  std::vector<Posted> posted;
  std::vector<Watch*> watches;
};

constexpr intptr_t kFormWindow = 4242;

// Stands in for the form type while the test runs: a form whose Handle
// member (50) reads as 4242 plus its index.
class FormStandIn {
 public:
  FormStandIn() {
    if (const objects::TypeDescriptor* d = objects::TypeRegistry::instance().find(30)) saved_ = *d;
    objects::TypeRegistry::instance().add(objects::describeType(30, "form", kRows, create));
    toolkit_ = new RecordingToolkit;
    installToolkit(std::unique_ptr<Toolkit>(toolkit_));
  }
  ~FormStandIn() {
    if (saved_.code == 30) objects::TypeRegistry::instance().add(saved_);
    else objects::TypeRegistry::instance().remove(30);
    installToolkit(makeNullToolkit());
  }
  RecordingToolkit& toolkit() { return *toolkit_; }

 private:
  static std::unique_ptr<objects::Object> create(Machine&, int type, int32_t) {
    return std::make_unique<objects::Object>(type);
  }
  static constexpr objects::Member<objects::Object> kRows[] = {
      {50, "Handle", nullptr, nullptr, "",
       [](Machine&, objects::Object& o, EvalStacks& s) { s.pushNumber(static_cast<double>(kFormWindow + o.tag)); }},
  };
  objects::TypeDescriptor saved_;
  RecordingToolkit* toolkit_;
};

std::vector<int> eventsOf(const RecordingToolkit& t, int socket, intptr_t window, uint32_t message) {
  std::vector<int> events;
  for (const RecordingToolkit::Posted& p : t.posted) {
    EXPECT_EQ(p.window, window);
    EXPECT_EQ(p.message, message);
    EXPECT_EQ(p.wParam, socket);
    events.push_back(static_cast<int>(p.lParam));
  }
  return events;
}

constexpr int kRead = 1, kWrite = 2, kConnect = 16, kClose = 32;

}  // namespace

// Connect, write, read (once until a receive re-enables it) and close
// events go to the form's window with the socket and the event code.
TEST(SocketNotification, EventsArePostedToTheForm) {
  FormStandIn forms;
  LoopbackSocket listener;
  std::thread peer([&] {
    const int c = accept(listener.fd, nullptr, nullptr);
    send(c, "hello\n", 6, MSG_NOSIGNAL);
    std::string got;
    char buf[64];
    for (ssize_t n; got.find("done\n") == std::string::npos && (n = recv(c, buf, sizeof buf, 0)) > 0;)
      got.append(buf, static_cast<size_t>(n));
    close(c);
  });
  const RunResult r = run(withPort(R"(
    dim form:1
    dim socket:0
    dim int:0
    dim int:1
    set socket:0.NotifyMessage = 1025
    set socket:0.NotifyEvents = 1 + 2 + 16 + 32
    set socket:0.NotifyForm = form:1
    let int:0 = socket:0.Connect("127.0.0.1", PORT)
    stdout int:0 = -1 or int:0 = socket:0.Handle
    let int:0 = socket:0.Handle
    gosub events
    stdout socket:0.Receive(int:0, 3)
    gosub events
    stdout socket:0.Receive(int:0, 100);
    set socket:0.WriteLine = int:0, "done"
    gosub events
    stdout "[" + socket:0.Receive(int:0, 100) + "] " + str(socket:0.Transferred)
    stdout int:0
    endprogram
events:
    for int:1 = 1 to 10 step 1 else handled
pump:
    doevents
    next pump
handled:
    retsub
)", listener.port));
  peer.join();
  ASSERT_EQ(r.status, 0) << r.output;
  const size_t handleAt = r.output.rfind('\n', r.output.size() - 2);
  const int socket = std::stoi(r.output.substr(handleAt + 1));
  EXPECT_EQ(r.output.substr(0, handleAt + 1), "-1\nhel\nlo\n[] 0\n");
  EXPECT_EQ(eventsOf(forms.toolkit(), socket, kFormWindow + 1, 1025),
            (std::vector<int>{kConnect, kWrite, kRead, kRead, kClose}));
  EXPECT_TRUE(forms.toolkit().watches.empty());  // the program's sockets went with it
}

TEST(SocketNotification, RefusedConnectReportsTheError) {
  FormStandIn forms;
  LoopbackSocket refusing(false);
  const RunResult r = run(withPort(R"(
    dim form:0
    dim socket:0
    dim int:1
    set socket:0.NotifyMessage = 2000
    set socket:0.NotifyForm = form:0
    stdout socket:0.Connect("127.0.0.1", PORT)
    stdout socket:0.Handle
    for int:1 = 1 to 5 step 1 else handled
pump:
    doevents
    next pump
handled:
)", refusing.port));
  const int socket = std::stoi(r.output.substr(r.output.find('\n') + 1));
  EXPECT_EQ(r.output.substr(0, 3), "-1\n");
  // Connection refused (10061) in the high 16 bits of the connect event.
  EXPECT_EQ(eventsOf(forms.toolkit(), socket, kFormWindow, 2000), (std::vector<int>{(10061 << 16) | kConnect}));
}

// Without a notification form (or with a message of 1024 or less) connect
// is an ordinary blocking one and nothing is posted.
TEST(SocketNotification, NothingIsPostedWithoutAForm) {
  FormStandIn forms;
  LoopbackSocket listener;
  const RunResult r = run(withPort(R"(
    dim form:0
    dim socket:0
    dim socket:1
    set socket:0.NotifyMessage = 1025
    stdout socket:0.Connect("127.0.0.1", PORT) = socket:0.Handle
    set socket:1.NotifyForm = form:0
    set socket:1.NotifyMessage = 1024
    stdout socket:1.Connect("127.0.0.1", PORT) = socket:1.Handle
    doevents
)", listener.port));
  EXPECT_EQ(r.output, "-1\n-1\n");
  EXPECT_TRUE(forms.toolkit().posted.empty());
}

TEST(SocketNotification, TheFormOperandMustNameAForm) {
  FormStandIn forms;
  const RunResult r = run(R"(
    dim stringlist:0
    dim socket:0
    set socket:0.NotifyForm = stringlist:0
)");
  EXPECT_EQ(r.status, 1);
}
