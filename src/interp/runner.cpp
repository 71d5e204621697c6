#include "interp/runner.h"

#include <cstdio>

#include "console/console.h"
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
int fail(Machine& m, const char* text) {
  m.out.flush();
  m.console->restore();
  if (m.observer) m.observer->end(m, text);
  report(text, m.options.source.get(), m.statementStart);
  if (m.options.afterError) m.options.afterError(m);
  return 1;
}
}  // namespace

int runMachine(Machine& m) {
  int status = 0;
  try {
    platform::runOnLargeStack(kProgramStackBytes, [&] { m.run(); });
  } catch (const ProgramEnd& end) {
    status = end.status;
  } catch (const StepBudgetExhausted&) {
    status = 0;
  } catch (const RuntimeError& e) {
    return fail(m, e.what());
  } catch (const std::bad_alloc&) {
    return fail(m, texts::kOutOfMemory);
  }
  m.out.flush();
  m.console->restore();
  if (m.observer) m.observer->end(m, nullptr);
  return status;
}

int runImage(std::vector<uint8_t> bytes, MachineOptions options) {
  if (bytes.empty()) return 0;  // no image: start and end at once
  ProgramImage image;
  try {
    image = parseImage(std::move(bytes));
  } catch (const RuntimeError& e) {
    report(e.what(), nullptr, -1);
    return 1;
  }
  Machine machine(std::move(image), std::move(options));
  return runMachine(machine);
}

}  // namespace kestrel
