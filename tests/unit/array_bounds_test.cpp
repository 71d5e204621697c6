// Array bounds that the 32-bit descriptor cannot hold are errors, worked
// out without overflowing (a sanitizer build stops at any overflow).
#include <gtest/gtest.h>

#include <string>

#include "asm/kasm.h"
#include "core/machine.h"

namespace kestrel {
namespace {

std::string declarationError(const std::string& declaration) {
  MachineOptions options;
  options.windowed = true;
  options.sandbox = true;
  Machine m(parseImage(kasm::assemble("    " + declaration + "\n    stdout 1\n")), options);
  std::string out;
  m.out.captureInto(&out);
  try {
    m.run();
  } catch (const RuntimeError& e) {
    return e.what();
  }
  return "";
}

TEST(ArrayBounds, ExtremeBoundsAreErrorsNotOverflows) {
  EXPECT_EQ(declarationError("dim int[0](2147483647)"), "Array bounds out of range");
  EXPECT_EQ(declarationError("dim int[0](-2147483648 to 0)"), "Array bounds out of range");
  EXPECT_EQ(declarationError("dim int[0](-2147483648 to -2147483647)"), "Array bounds out of range");
  EXPECT_EQ(declarationError("dim int[0](65535, 65535)"), "Array bounds out of range");
  EXPECT_EQ(declarationError("redim int[0](2147483647)"), "Array bounds out of range");
  EXPECT_EQ(declarationError("defstruct struct:0 (int[1](2147483647))"), "Array bounds out of range");
}

TEST(ArrayBounds, OrdinaryAndEmptyBoundsStillDeclare) {
  EXPECT_EQ(declarationError("dim int[0](-2147483647 to -2147483646)"), "");
  EXPECT_EQ(declarationError("dim int[0](-5)"), "");  // a negative count: an empty array
  EXPECT_EQ(declarationError("dim int[0](3, 4 to 6, 2)"), "");
}

}  // namespace
}  // namespace kestrel
