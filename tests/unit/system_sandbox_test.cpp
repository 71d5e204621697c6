// In the sandbox the system statements leave the machine alone: no files,
// programs, sleeps, dialogs, environment changes or ports.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "asm/kasm.h"
#include "core/machine.h"
#include "interp/runner.h"

using namespace kestrel;

namespace {

std::string runSandboxed(const std::string& source, int* status = nullptr) {
  MachineOptions options;
  options.sandbox = true;
  Machine m(parseImage(kasm::assemble(source, ".")), options);
  std::string output;
  m.out.captureInto(&output);
  const int s = runMachine(m);
  if (status != nullptr) *status = s;
  return output;
}

}  // namespace

TEST(Sandbox, SystemStatementsTouchNothing) {
  char tmpl[] = "/tmp/kestrel-sandbox-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  const auto start = std::chrono::steady_clock::now();
  const std::string out = runSandboxed(R"(
.resource text "data"
.code
    mkdir "made"
    saveres respos(0), "saved.txt"
    runwait "sh -c \"touch ran\""
    sleep 5
    sound 440, 90
    setenv "KESTREL_SANDBOX_VARIABLE=set"
    lprint "not printed"
    enddoc
    stdout msgbox("Question", "Caption", 4 + 256)
    stdout fileexists(".")
    stdout direxists(".")
    stdout "[" + findfirst("*", 255) + "]"
    stdout screenwidth()
)");
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(out, "7\n0\n0\n[]\n1024\n");
  EXPECT_LT(seconds, 2.0);
  EXPECT_TRUE(std::filesystem::is_empty(dir));
  EXPECT_EQ(std::getenv("KESTREL_SANDBOX_VARIABLE"), nullptr);
  std::filesystem::current_path(old);
  std::filesystem::remove_all(dir);

  int status = 0;
  runSandboxed("    stdout inp(97)\n", &status);
  EXPECT_EQ(status, 1);  // the ports are refused
}

TEST(Sandbox, MemoryAtBadAddressesIsAnError) {
  int status = 0;
  runSandboxed("    stdout peekstr(1)\n", &status);
  EXPECT_EQ(status, 1);
  runSandboxed("    stdout memcmp(-1, 4096, 1000000)\n", &status);
  EXPECT_EQ(status, 1);
}
