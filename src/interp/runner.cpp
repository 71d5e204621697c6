#include "interp/runner.h"

#include <cstdio>

#include "console/console.h"
#include "objects/streams.h"
#include "platform/stack.h"

namespace kestrel {

namespace {
void report(const std::string& text, int64_t position) {
  if (position >= 0)
    std::fprintf(stderr, "kestrel: run-time error: %s (at byte-code position %lld)\n", text.c_str(),
                 static_cast<long long>(position));
  else
    std::fprintf(stderr, "kestrel: run-time error: %s\n", text.c_str());
  std::fflush(stderr);
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
    m.out.flush();
    m.console->restore();
    report(e.what(), m.statementStart);
    status = 1;
  } catch (const std::bad_alloc&) {
    m.out.flush();
    m.console->restore();
    report(texts::kOutOfMemory, m.statementStart);
    status = 1;
  }
  m.out.flush();
  m.console->restore();
  // A file whose writing failed is a failed run, also when it was still
  // open at the end.
  if (!objects::closeFileStreams(m) && status != 1) {
    report("Stream write error", -1);
    status = 1;
  }
  return status;
}

int runImage(std::vector<uint8_t> bytes, MachineOptions options) {
  if (bytes.empty()) return 0;  // no image: start and end at once
  ProgramImage image;
  try {
    image = parseImage(std::move(bytes));
  } catch (const RuntimeError& e) {
    report(e.what(), -1);
    return 1;
  }
  Machine machine(std::move(image), std::move(options));
  return runMachine(machine);
}

}  // namespace kestrel
