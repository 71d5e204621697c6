#include "interp/runner.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string_view>

#include "console/console.h"
#include "core/system_state.h"
#include "objects/object_model.h"
#include "objects/streams.h"
#include "platform/end_requests.h"
#include "platform/stack.h"

namespace kestrel {

namespace {
void report(const std::string& text, const SourceMap* source, int64_t position) {
  if (position >= 0)
    std::fprintf(stderr, "kestrel: run-time error: %s%s\n", text.c_str(),
                 describePosition(source, static_cast<int32_t>(position)).c_str());
  else
    std::fprintf(stderr, "kestrel: run-time error: %s\n", text.c_str());
  std::fflush(stderr);
}

// The error leaves the run: standard output is written out, the console
// restored, the error reported, and a trace, profile or post-mortem told.
void fail(Machine& m, const char* text) {
  m.out.flush();
  m.console->restore();
  if (m.observer) m.observer->end(m, text);
  report(text, m.options.source.get(), m.statementStart);
  if (m.options.afterError) m.options.afterError(m);
}

// What ends every run: the console put back, files closed. Returns the
// status, 1 when a file could not be written.
int finishRun(Machine& m, int status) {
  m.out.flush();
  m.console->restore();
  // A file whose writing failed is a failed run, also when it was still
  // open at the end.
  if (!objects::closeFileStreams(m) && status != 1) {
    report("Stream write error", nullptr, -1);
    status = 1;
  }
  platform::stopWatchingEndRequests();
  return status;
}
}  // namespace

int runMachine(Machine& m) {
  int status = 0;
  platform::watchEndRequests(&m.stepsLeft);
  try {
    platform::runOnLargeStack(kProgramStackBytes, [&] { m.run(); });
  } catch (const ProgramEnd& end) {
    status = end.status;
  } catch (const StepBudgetExhausted&) {
    status = 0;
  } catch (const RuntimeError& e) {
    fail(m, e.what());
    return finishRun(m, 1);
  } catch (const std::bad_alloc&) {
    fail(m, texts::kOutOfMemory);
    return finishRun(m, 1);
  }
  if (m.observer) m.observer->end(m, nullptr);
  return finishRun(m, status);
}

void endRunFromCallback(Machine& m, int status) {
  status = finishRun(m, status);
  try {
    // Objects and the system state end as they do when the machine goes:
    // documents and print jobs still open are printed.
    m.objectWorld.reset();
    m.system.reset();
  } catch (...) {
    status = 1;
  }
  std::fflush(nullptr);
  platform::endAsRequested();
  std::_Exit(status);
}

void endRunAfterFault(Machine& m, const std::string& text) {
  platform::stopWatchingEndRequests();
  m.out.flush();
  m.console->restore();
  report(text, m.options.source.get(), m.statementStart);
  objects::closeFileStreams(m);
  std::_Exit(1);
}

namespace {
// Memory that runs out where no run-time boundary catches it (in a
// library's own code, in a destructor) ends the process with the same
// message as everywhere else, not with an abort.
[[noreturn]] void onTerminate() {
  const char* text = "the run-time stopped on an unexpected error";
  try {
    if (std::exception_ptr e = std::current_exception()) std::rethrow_exception(e);
  } catch (const std::bad_alloc&) {
    text = texts::kOutOfMemory;
  } catch (const RuntimeError& e) {
    if (std::string_view(e.what()) == texts::kOutOfMemory) text = texts::kOutOfMemory;
  } catch (...) {
  }
  std::fprintf(stderr, "kestrel: run-time error: %s\n", text);
  std::fflush(stderr);
  std::_Exit(1);
}
}  // namespace

void reportUncaughtErrors() { std::set_terminate(onTerminate); }

int runImage(std::vector<uint8_t> bytes, MachineOptions options) {
  if (bytes.empty()) return 0;  // no image: start and end at once
  reportUncaughtErrors();
  ProgramImage image;
  try {
    image = parseImage(std::move(bytes));
  } catch (const RuntimeError& e) {
    report(e.what(), nullptr, -1);
    return 1;
  } catch (const std::bad_alloc&) {
    report(texts::kOutOfMemory, nullptr, -1);
    return 1;
  }
  int status;
  {
    std::unique_ptr<Machine> machine;
    try {
      machine = std::make_unique<Machine>(std::move(image), std::move(options));
    } catch (const RuntimeError& e) {
      report(e.what(), nullptr, -1);
      return 1;
    } catch (const std::bad_alloc&) {
      report(texts::kOutOfMemory, nullptr, -1);
      return 1;
    }
    status = runMachine(*machine);
  }
  platform::endAsRequested();
  return status;
}

}  // namespace kestrel
