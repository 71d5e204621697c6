// The console on a real terminal: `kestrel run` on a pseudo-terminal, driven
// like a user would. Checks what the terminal is sent, what keys the program
// reads, and that the terminal's mode is put back on every way out.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Program lines that wait for one key into str:0.
std::string waitForKey(const std::string& label) {
  return label + ":\n    let str:0 = inkey()\n    ifnot str:0 <> \"\" goto " + label + "\n";
}

class PtyRun {
 public:
  explicit PtyRun(const std::string& program) {
    char dir[] = "/tmp/kestrel-pty-XXXXXX";
    dir_ = mkdtemp(dir);
    path_ = dir_ + "/program.kasm";
    std::ofstream(path_) << program;
    winsize size{};
    size.ws_row = 25;
    size.ws_col = 80;
    if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) return;
    tcgetattr(slave_, &before_);
    pid_ = fork();
    if (pid_ == 0) {
      setsid();
      ioctl(slave_, TIOCSCTTY, 0);
      dup2(slave_, 0);
      dup2(slave_, 1);
      dup2(slave_, 2);
      close(master_);
      close(slave_);
      setenv("LANG", "C.UTF-8", 1);
      execl(KESTREL_BINARY, "kestrel", "run", path_.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~PtyRun() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
    std::remove(path_.c_str());
    rmdir(dir_.c_str());
  }

  bool started() const { return pid_ > 0; }

  // Reads what the program sends until `text` has come (or the time is up).
  bool waitFor(const std::string& text, int ms = 10000) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (output_.find(text) == std::string::npos) {
      if (Clock::now() > end) return false;
      readSome(50);
    }
    return true;
  }
  // Waits until the program has put the terminal in raw input mode, or
  // back in line mode.
  bool waitForRawMode(bool raw = true, int ms = 10000) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
      termios now{};
      tcgetattr(slave_, &now);
      if (((now.c_lflag & (ICANON | ECHO)) == 0) == raw) return true;
      readSome(20);
    }
    return false;
  }
  void type(const std::string& bytes) { ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
  // Waits for the program to end, reading all it sends; the wait status.
  int finish(int ms = 10000) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    int status = -1;
    while (Clock::now() < end) {
      readSome(20);
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        while (readSome(50)) {
        }
        return status;
      }
    }
    return -1;
  }
  bool modeRestored() const {
    termios after{};
    tcgetattr(slave_, &after);
    return after.c_lflag == before_.c_lflag && after.c_iflag == before_.c_iflag &&
           after.c_oflag == before_.c_oflag && after.c_cc[VMIN] == before_.c_cc[VMIN] &&
           after.c_cc[VSUSP] == before_.c_cc[VSUSP] && after.c_cc[VQUIT] == before_.c_cc[VQUIT];
  }
  const std::string& output() const { return output_; }

 private:
  bool readSome(int ms) {
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0) return false;
    char buf[4096];
    const ssize_t n = read(master_, buf, sizeof buf);
    if (n <= 0) return false;
    output_.append(buf, static_cast<size_t>(n));
    return true;
  }

  std::string dir_, path_, output_;
  int master_ = -1, slave_ = -1;
  pid_t pid_ = -1;
  bool reaped_ = false;
  termios before_{};
};

}  // namespace

TEST(ConsoleOnATerminal, ColoursCursorAndKeys) {
  PtyRun run(R"(
    dim str:0
    dim str:1
    dim int:0
    title "Key test"
    color 14, 1
    cls
    locate 5, 10, 0
    print "Ready";
    for int:0 = 1 to 4 step 1 else done
wait:
    let str:0 = inkey()
    ifnot str:0 = "" goto got
    goto wait
got:
    let str:1 = str:1 + " " + str(len(str:0)) + ":" + str(asc(str:0)) + choose(len(str:0) = 2, "," + str(asc(right(str:0, 1))), "")
    next wait
done:
    color 7, 0
    locate 7, 1, 25
    print "Keys" + str:1
    print "at " + str(pos(0)) + "," + str(csrlin())
)");
  ASSERT_TRUE(run.started());
  ASSERT_TRUE(run.waitFor("Ready")) << run.output();
  ASSERT_TRUE(run.waitForRawMode()) << run.output();
  run.type("\x1b[A\x1b[Bx\x1b");  // Up, Down, a letter, Escape
  const int status = run.finish();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0) << run.output();
  const std::string& out = run.output();
  // The title (the terminal's own kept to put back), yellow on blue, a
  // clear, the cursor at row 5 column 10 and hidden.
  EXPECT_NE(out.find("\x1b[22;0t\x1b]0;Key test\a\x1b[0;93;44m\x1b[2J\x1b[H\x1b[5;10H\x1b[?25lReady"), std::string::npos) << out;
  // Up is 27 72, Down 27 80, the letter itself, Escape 27 alone.
  EXPECT_NE(out.find("\x1b[7;1H\x1b[?25h\x1b[4 q\x1b[0mKeys 2:27,72 2:27,80 1:120 1:27\r\nat 1,8\r\n"), std::string::npos) << out;
  // What the program changed is put back at the end.
  EXPECT_EQ(out.substr(out.size() - 12), "\x1b[0 q\x1b[23;0t");
  EXPECT_TRUE(run.modeRestored());
}

TEST(ConsoleOnATerminal, TheEndStatementAndRunTimeErrorsRestoreTheTerminal) {
  for (const bool error : {false, true}) {
    std::string program = R"(
    dim str:0
    dim int:0
    color 2
    locate , , 0
    print "Waiting";
    )";
    program += waitForKey("wait");
    program += error ? "    let int:0 = 1 / 0\n" : "    endprogram\n";
    program += "    print \"not reached\"\n";
    PtyRun run(program);
    ASSERT_TRUE(run.started());
    ASSERT_TRUE(run.waitForRawMode()) << run.output();
    run.type("k");
    const int status = run.finish();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), error ? 1 : 0) << run.output();
    EXPECT_NE(run.output().find("\x1b[0m\x1b[?25h"), std::string::npos) << run.output();
    EXPECT_EQ(run.output().find("not reached"), std::string::npos);
    if (error) {
      EXPECT_NE(run.output().find("run-time error: Floating point division by zero"), std::string::npos);
    }
    EXPECT_TRUE(run.modeRestored()) << (error ? "after an error" : "after the end statement");
  }
}

TEST(ConsoleOnATerminal, InterruptRestoresTheTerminalAndStillEndsTheProgram) {
  std::string program = R"(
    dim str:0
    color 4, 7
    locate , , 0
    print "Waiting";
loop:
    let str:0 = inkey()
    goto loop
)";
  PtyRun run(program);
  ASSERT_TRUE(run.started());
  ASSERT_TRUE(run.waitForRawMode()) << run.output();
  run.type("\x03");  // Ctrl+C
  const int status = run.finish();
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(WTERMSIG(status), SIGINT);
  EXPECT_NE(run.output().find("\x1b[0m\x1b[?25h"), std::string::npos) << run.output();
  EXPECT_TRUE(run.modeRestored());
}

TEST(ConsoleOnATerminal, LineInputEchoesInTheTerminalsOwnModeBetweenKeys) {
  std::string program = R"(
    dim str:0
    dim double:0
    print "First";
    )";
  program += waitForKey("first");
  program += R"(
    print "Number? ";
    let double:0 = input()
    print "twice " + str(double:0 * 2)
    )";
  program += waitForKey("second");
  program += "    print \"key \" + str:0\n";
  PtyRun run(program);
  ASSERT_TRUE(run.started());
  ASSERT_TRUE(run.waitForRawMode()) << run.output();
  run.type("a");
  ASSERT_TRUE(run.waitFor("Number? ")) << run.output();
  ASSERT_TRUE(run.waitForRawMode(false)) << run.output();
  run.type("21\r");  // typed in line mode: echoed, Enter ends the line
  ASSERT_TRUE(run.waitFor("twice 42")) << run.output();
  ASSERT_TRUE(run.waitForRawMode()) << run.output();  // raw again for the next key
  run.type("z");
  const int status = run.finish();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_NE(run.output().find("Number? 21\r\ntwice 42"), std::string::npos) << run.output();
  EXPECT_NE(run.output().find("key z"), std::string::npos) << run.output();
  EXPECT_TRUE(run.modeRestored());
}

TEST(ConsoleOnATerminal, ALineTypedAheadInRawModeStillEndsAtEnter) {
  std::string program = "    dim str:0\n" + waitForKey("first") + R"(
    let str:0 = input()
    print "line [" + str:0 + "]"
)";
  PtyRun run(program);
  ASSERT_TRUE(run.started());
  ASSERT_TRUE(run.waitForRawMode()) << run.output();
  run.type("a");
  run.type("typed ahead\r");  // may come before the switch to line mode
  ASSERT_TRUE(run.waitFor("line [typed ahead]")) << run.output();
  EXPECT_EQ(WEXITSTATUS(run.finish()), 0);
}
