#include "platform/end_requests.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace kestrel::platform {

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kHandled[] = {SIGTERM, SIGINT, SIGHUP, SIGALRM, SIGPIPE};
constexpr int kHandledCount = sizeof kHandled / sizeof kHandled[0];
struct sigaction before[kHandledCount];  // what the signals did before the run
bool installed[kHandledCount] = {};

// Read and written by the handlers: lock-free atomics and plain pointers only.
std::atomic<int> requested{0};
std::atomic<int64_t*> watchedBudget{nullptr};
pthread_t runThread;
int wakePipe[2] = {-1, -1};  // written by the handler, watched by event loops

void stopTheLoop() {
  if (int64_t* budget = watchedBudget.load()) *reinterpret_cast<volatile int64_t*>(budget) = 0;
  if (wakePipe[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(wakePipe[1], &byte, 1);  // a full pipe is awake already
  }
}

void onEndSignal(int sig) {
  const int savedErrno = errno;
  // Only the program's thread runs byte code and waits in its sleeps and
  // reads: a signal that reached another thread goes on to it.
  if (!pthread_equal(pthread_self(), runThread)) {
    pthread_kill(runThread, sig);
  } else {
    if (sig != SIGALRM) {
      int none = 0;
      requested.compare_exchange_strong(none, sig);
    }
    if (requested.load() != 0) {
      stopTheLoop();
      alarm(1);  // again in a second, until the run has ended
    }
  }
  errno = savedErrno;
}

void onBrokenPipe(int) {}  // the write that caused it fails with EPIPE instead

void install(int sig, void (*handler)(int)) {
  int slot = 0;
  while (kHandled[slot] != sig) ++slot;
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a sleep or a read that waits returns
  if (!installed[slot]) installed[slot] = sigaction(sig, &action, &before[slot]) == 0;
}

}  // namespace

void watchEndRequests(int64_t* budget) {
  runThread = pthread_self();
  watchedBudget.store(budget);
  for (int sig : kEndSignals) {
    struct sigaction old {};
    // A signal ignored from the start (nohup) stays ignored.
    if (sigaction(sig, nullptr, &old) == 0 && !(old.sa_flags & SA_SIGINFO) && old.sa_handler == SIG_IGN) continue;
    install(sig, onEndSignal);
  }
  install(SIGALRM, onEndSignal);
  install(SIGPIPE, onBrokenPipe);
  if (requested.load() != 0) stopTheLoop();
}

void stopWatchingEndRequests() {
  watchedBudget.store(nullptr);
  alarm(0);
  // The signals do again what they did before the run (a second request
  // while the run's work is put away ends the process at once). A closed
  // pipe stays a failed write rather than a death, also from now on.
  for (int i = 0; i < kHandledCount; ++i) {
    if (!installed[i] || kHandled[i] == SIGPIPE) continue;
    sigaction(kHandled[i], &before[i], nullptr);
    installed[i] = false;
  }
}

void requestEnd(int signal) {
  int none = 0;
  requested.compare_exchange_strong(none, signal);
  stopTheLoop();
}

int requestedEndStatus() {
  const int sig = requested.load();
  return sig == 0 ? 0 : 128 + sig;
}

int endRequestDescriptor() {
  if (wakePipe[0] >= 0) return wakePipe[0];
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  wakePipe[0] = ends[0];
  wakePipe[1] = ends[1];
  if (requested.load() != 0) stopTheLoop();  // asked before anyone watched
  return wakePipe[0];
}

int brokenPipeSignal() { return SIGPIPE; }

void endAsRequested() {
  const int sig = requested.load();
  if (sig == 0) return;
  signal(sig, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  raise(sig);
}

}  // namespace kestrel::platform
