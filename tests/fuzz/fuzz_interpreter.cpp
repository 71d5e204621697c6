// Feeds arbitrary bytes to the loader and, when they load, runs them with a
// step budget in the sandbox (no files, processes, sleeps or dialogs).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/machine.h"
#include "interp/runner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kestrel::ProgramImage image;
  try {
    image = kestrel::parseImage(std::vector<uint8_t>(data, data + size));
  } catch (const kestrel::RuntimeError&) {
    return 0;
  }
  kestrel::MachineOptions options;
  options.sandbox = true;
  options.windowed = true;
  // Small limits keep each input quick: a slow input is not a fault, and
  // the fuzzer would report it as one.
  options.stepBudget = 10000;
  options.maxCallDepth = 300;
  options.maxStringLength = 1 << 16;
  kestrel::Machine machine(std::move(image), std::move(options));
  std::string sink;
  machine.out.captureInto(&sink);
  try {
    machine.run();
  } catch (const kestrel::RuntimeError&) {
  } catch (const kestrel::ProgramEnd&) {
  } catch (const kestrel::StepBudgetExhausted&) {
  }
  machine.out.flush();
  return 0;
}
