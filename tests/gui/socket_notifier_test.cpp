// Asynchronous socket notification on Qt's event loop (offscreen): a
// byte-code program connects with a notification message and form, handles
// events, and the toolkit's QSocketNotifier watch leads to the connect,
// write, read and close events being posted to the form's window.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "asm/kasm.h"
#include "expr/eval_stacks.h"
#include "interp/machine.h"
#include "interp/runner.h"
#include "objects/object_model.h"
#include "toolkit/qt/qt_toolkit.h"
#include "toolkit/toolkit.h"

using namespace kestrel;

namespace {

constexpr intptr_t kFormWindow = 777;

// The Qt toolkit's event loop and socket watches; what is posted is kept.
class RecordingQtToolkit : public Toolkit {
 public:
  RecordingQtToolkit() : qt_(makeQtToolkit()) {}
  bool windowSystemAvailable() override { return true; }
  void processPendingEvents() override { qt_->processPendingEvents(); }
  std::unique_ptr<SocketWatch> watchSocket(int socket, std::function<void(SocketCondition)> ready) override {
    return qt_->watchSocket(socket, std::move(ready));
  }
  bool postMessage(intptr_t window, uint32_t message, intptr_t wParam, intptr_t lParam) override {
    EXPECT_EQ(window, kFormWindow);
    EXPECT_EQ(message, 1030u);
    socket = wParam;
    events.push_back(static_cast<int>(lParam));
    return true;
  }
  std::vector<int> events;
  intptr_t socket = -1;

 private:
  std::unique_ptr<Toolkit> qt_;
};

// A form type whose Handle member (50) reads as kFormWindow.
const objects::Member<objects::Object> kFormRows[] = {
    {50, "Handle", nullptr, nullptr, "",
     [](Machine&, objects::Object&, EvalStacks& s) { s.pushNumber(static_cast<double>(kFormWindow)); }},
};
std::unique_ptr<objects::Object> createForm(Machine&, int type, int32_t) {
  return std::make_unique<objects::Object>(type);
}

}  // namespace

TEST(QtSocketNotifier, AsynchronousConnectDeliversItsEvents) {
  const bool hadForms = objects::TypeRegistry::instance().find(30) != nullptr;
  if (!hadForms) objects::TypeRegistry::instance().add(objects::describeType(30, "form", kFormRows, createForm));
  auto* recorder = new RecordingQtToolkit;
  installToolkit(std::unique_ptr<Toolkit>(recorder));

  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t length = sizeof a;
  getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length);
  listen(listener, 5);
  std::thread peer([&] {
    const int c = accept(listener, nullptr, nullptr);
    send(c, "ping\n", 5, MSG_NOSIGNAL);
    char buf[16];
    recv(c, buf, sizeof buf, 0);  // the program's answer, then the end
    close(c);
  });

  std::string source = R"(
    dim form:0
    dim socket:0
    dim int:0
    set socket:0.NotifyMessage = 1030
    set socket:0.NotifyEvents = 63
    set socket:0.NotifyForm = form:0
    stdout socket:0.Connect("127.0.0.1", PORT)
    gosub events
    stdout socket:0.ReadLine(socket:0.Handle)
    set socket:0.WriteLine = socket:0.Handle, "pong"
    gosub events
    endprogram
events:
    for int:0 = 1 to 30 step 1 else handled
pump:
    doevents
    sleep 0.01
    next pump
handled:
    retsub
)";
  source.replace(source.find("PORT"), 4, std::to_string(ntohs(a.sin_port)));
  Machine m(parseImage(kasm::assemble(source, ".")));
  std::string output;
  m.out.captureInto(&output);
  const int status = runMachine(m);
  peer.join();
  close(listener);

  EXPECT_EQ(status, 0);
  EXPECT_EQ(output, "-1\nping\n");
  EXPECT_EQ(recorder->events, (std::vector<int>{16, 2, 1, 32}));  // connect, write, read, close
  EXPECT_GT(recorder->socket, 2);
  installToolkit(makeNullToolkit());
  if (!hadForms) objects::TypeRegistry::instance().remove(30);
}
