// Asynchronous socket notification on Qt's event loop: a program connects
// with a notification message and a real form, and the form's message hook
// hears connect, write, read and close, in that order, with the socket's
// handle as the first message parameter.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "gui_support.h"

using namespace kestrel;
using kestrel::guitest::Program;

TEST(SocketNotification, FormHookHearsConnectWriteReadAndClose) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
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

  // str:0 logs the events' codes; int:1 holds the socket the hook was told.
  std::string source = R"(
    dim form:0
    dim socket:0
    dim int:0
    dim int:1
    dim str:0
    dim str:1
    set form:0.OnMessage = hook
    set socket:0.NotifyMessage = 1030
    set socket:0.NotifyEvents = 63
    set socket:0.NotifyForm = form:0
    let int:0 = socket:0.Connect("127.0.0.1", PORT)
    gosub events
    let str:1 = socket:0.ReadLine(socket:0.Handle)
    set socket:0.WriteLine = socket:0.Handle, "pong"
    gosub events
    endprogram
events:
    for int:0 = 1 to 40 step 1 else handled
pump:
    doevents
    sleep 0.01
    next pump
handled:
    retsub
.proc hook
    ifnot arg.double:1 = 1030 goto other
    let str:0 = str:0 + str(arg.double:3) + " "
    let int:1 = arg.double:2
    ifnot arg.double:0 = form:0.Handle goto wrong
other:
    endproc
wrong:
    let str:0 = str:0 + "wrong-window "
    endproc
)";
  source.replace(source.find("PORT"), 4, std::to_string(ntohs(a.sin_port)));
  Program program(source);
  EXPECT_EQ(program.run(), "end");  // the program ends itself
  peer.join();
  close(listener);

  EXPECT_EQ(program.text(1), "ping");
  EXPECT_EQ(program.text(0), "16 2 1 32 ");  // connect, write, read, close
  EXPECT_GT(program.integer(1), 2);
}
