// The fast path must do exactly what the decoder does. Random numeric
// programs (variables of every numeric kind, arrays, parameters, calls,
// loops and jumps) run both ways and must print the same and fail the same,
// at the same statement.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "asm/kasm.h"
#include "interp/runner.h"

using namespace kestrel;

namespace {

struct Outcome {
  std::string output;
  std::string error;
};

Outcome run(const std::vector<uint8_t>& image, bool fastPath) {
  MachineOptions options;
  options.useFastPath = fastPath;
  options.windowed = true;
  options.sandbox = true;
  options.stepBudget = 200000;
  Machine m(parseImage(image), options);
  Outcome o;
  m.out.captureInto(&o.output);
  try {
    m.run();
  } catch (const RuntimeError& e) {
    o.error = std::string(e.what()) + " at " + std::to_string(m.statementStart);
  } catch (const StepBudgetExhausted&) {
    o.error = "budget";
  }
  m.out.flush();
  return o;
}

class ProgramMaker {
 public:
  explicit ProgramMaker(unsigned seed) : gen_(seed) {}

  std::string make() {
    std::ostringstream s;
    s << "    dim int:0\n    dim int:1\n    dim double:0\n    dim double:1\n    dim byte:0\n"
      << "    dim short:0\n    dim word:0\n    dim single:0\n    dim long:0\n"
      << "    dim double[0](9)\n    dim int[1](3, 3)\n    dim int[2](5)\n    dim double[3](2, 3)\n    goto main\n"
      << ".proc f\n"
      << "    let arg.double:2 = " << expr(2, true) << "\n"
      << "    ifnot " << expr(1, true) << " " << comparison() << " arg.int:1 goto fskip\n"
      << "    let arg.int:1 = " << expr(2, true) << "\n"
      << "    let arg.int:1 = arg.int:1 " << (pick(2) ? "+ " : "- ") << constant() << "\n"
      << "fskip:\n"
      << "    result " << expr(2, true) << "\n"
      << "    endproc\n"
      << "main:\n";
    for (int i = 0; i < 12; ++i) s << statement(1);
    s << "    stdout \"done\"\n";
    return s.str();
  }

 private:
  int pick(int n) { return static_cast<int>(gen_() % static_cast<unsigned>(n)); }

  const char* comparison() {
    static const char* const kComparisons[] = {"=", "<>", "<", ">", "<=", ">="};
    return kComparisons[pick(6)];
  }

  std::string variable() {
    static const char* const kNames[] = {"int:0", "int:1", "double:0", "double:1", "byte:0",
                                         "short:0", "word:0", "single:0", "long:0"};
    return kNames[pick(9)];
  }

  std::string constant() {
    switch (pick(5)) {
      case 0: return std::to_string(pick(300));
      case 1: return "(-" + std::to_string(pick(70000)) + ")";
      case 2: return std::to_string(pick(1000)) + ".25";
      case 3: return "0.5#single";
      default: return std::to_string(pick(10));
    }
  }

  std::string expr(int depth, bool inProcedure) {
    if (depth == 0 || pick(3) == 0) {
      switch (pick(inProcedure ? 7 : 5)) {
        case 0: return constant();
        case 4: return "int[2](" + std::to_string(pick(7)) + ")";  // sometimes outside
        case 5: return pick(2) == 0 ? "arg.int[2](" + std::to_string(pick(7)) + ")" : "arg.int[2](arg.int:1)";
        case 1: return "double[0](" + std::to_string(pick(12)) + ")";  // sometimes outside
        case 2:
          if (pick(2) == 0) return "double[3](" + std::to_string(pick(4)) + ", " + std::to_string(pick(4)) + ")";
          return "int[1](" + std::to_string(pick(4)) + ", " + std::to_string(pick(4)) + ")";
        case 3: return variable();
        default: return pick(2) == 0 ? "arg.double:0" : "arg.int:1";
      }
    }
    static const char* const kOps[] = {"+", "-", "*", "/", "mod", "\\", "and", "or", "xor", "=", "<>",
                                       "<", ">", "<=", ">=", "shl", "shr", "^"};
    if (pick(8) == 0) return "(-(" + expr(depth - 1, inProcedure) + "))";
    if (pick(10) == 0) return "(not " + expr(depth - 1, inProcedure) + ")";
    if (pick(10) == 0) return "int(" + expr(depth - 1, inProcedure) + ")";
    if (!inProcedure && pick(6) == 0) return "@double f(" + expr(depth - 1, false) + ", " + expr(depth - 1, false) + ", ref int[2])";
    return "(" + expr(depth - 1, inProcedure) + " " + kOps[pick(18)] + " " + expr(depth - 1, inProcedure) + ")";
  }

  std::string statement(int depth) {
    std::ostringstream s;
    const int label = next_++;
    switch (depth > 0 ? pick(6) : pick(3)) {
      case 0: s << "    let " << variable() << " = " << expr(3, false) << "\n"; break;
      case 1:  // a variable counted up or down (sometimes out of its range)
        if (pick(2) == 0) {
          s << "    let int:1 = int:1 " << (pick(2) ? "+ " : "- ") << constant() << "\n";
        } else {
          s << "    let " << variable() << " = " << expr(3, false) << "\n";
        }
        break;
      case 2: s << "    stdout " << expr(3, false) << "\n"; break;
      case 3:
        s << "    let double[0](" << pick(11) << ") = " << expr(2, false) << "\n"
          << "    let int[1](" << pick(4) << ", " << pick(4) << ") = " << expr(2, false) << "\n"
          << "    let int[2](" << pick(6) << ") = " << expr(2, false) << "\n"
          << "    let double[3](" << pick(3) << ", " << pick(4) << ") = " << expr(2, false) << "\n";
        break;
      case 4: {
        // Steps up, down, fractional and zero; limits whole and fractional.
        static const char* const kSteps[] = {"1", "2.5", "(-1)", "(-2.5)", "0", "1"};
        static const char* const kLimits[] = {"0", "3", "5.5", "(-1.5)", "2"};
        const char* step = kSteps[pick(6)];
        const bool down = step[0] == '(';
        s << "    for int:0 = " << (down ? 4 : pick(3)) << " to " << kLimits[pick(5)] << " step " << step
          << " else after" << label << "\n"
          << "body" << label << ":\n"
          << statement(depth - 1) << "    next body" << label << "\n"
          << "after" << label << ":\n";
        break;
      }
      default:
        s << "    ifnot " << expr(2, false) << " goto skip" << label << "\n"
          << statement(depth - 1) << "skip" << label << ":\n";
        break;
    }
    return s.str();
  }

  std::mt19937 gen_;
  int next_ = 0;
};

}  // namespace

TEST(FastPath, RandomNumericProgramsBehaveAsInTheDecoder) {
  int compared = 0;
  for (unsigned seed = 1; seed <= 1000; ++seed) {
    const std::string source = ProgramMaker(seed).make();
    std::vector<uint8_t> image = kasm::assemble(source);
    const Outcome decoded = run(image, false);
    const Outcome fast = run(image, true);
    ASSERT_EQ(fast.output, decoded.output) << "seed " << seed << "\n" << source;
    ASSERT_EQ(fast.error, decoded.error) << "seed " << seed << "\n" << source;
    ++compared;
  }
  EXPECT_EQ(compared, 1000);
}

// Every element access stays inside its own array, both ways: reads and
// writes, named and passed arrays, one and two subscripts; string arrays
// keep the list's rule (a write past the end extends it).
TEST(FastPath, ElementsStayInsideTheirOwnArray) {
  const std::string declarations =
      "    dim int:0\n    dim double[0](2)\n    dim double[1](2)\n    dim int[0](1, 2)\n    dim int[1](5)\n"
      "    dim str[0](1)\n    dim str[1](1)\n    dim var[0](1)\n    dim var[1](1)\n    goto main\n"
      ".proc poke\n    let arg.int[0](arg.int:1) = 5\n    endproc\n"
      ".proc peek\n    result arg.int[0](arg.int:1)\n    endproc\nmain:\n";
  struct Case {
    const char* body;
    const char* error;  // empty: runs to the end
  };
  const Case cases[] = {
      {"    let double[0](2) = 1\n    let double[0](3) = 1\n", "Array element out of range (kind 7, element 3 counting from the first kind-7 array)"},
      {"    let int:0 = double[1](-1)\n", "Array element out of range (kind 7, element 2 counting from the first kind-7 array)"},
      {"    let int[0](1, 2) = 1\n    let int[0](2, 0) = 1\n", "Array element out of range (kind 3, element 6 counting from the first kind-3 array)"},
      {"    let int[0](0, 5) = 1\n", ""},  // a subscript past its dimension inside the array stays allowed
      {"    call poke(ref int[1], 5)\n    call poke(ref int[1], 6)\n", "Array element out of range (kind 3, element 12 counting from the first kind-3 array)"},
      {"    let int:0 = @int peek(ref int[0], 6)\n", "Array element out of range (kind 3, element 6 counting from the first kind-3 array)"},
      {"    dim fix[0](1) len 2\n    dim fix[1](1) len 2\n    let fix[0](2) = \"b\"\n", "Array element out of range (kind 8, element 2 counting from the first kind-8 array)"},
      {"    let var[0](2) = 1\n    let var[0](3) = 1\n", "Array element out of range (kind 9, element 104 counting from the first kind-9 array)"},
  };
  for (const Case& c : cases) {
    const std::string source = declarations + c.body + "    stdout \"end\"\n";
    const std::vector<uint8_t> image = kasm::assemble(source);
    for (bool fastPath : {false, true}) {
      const Outcome o = run(image, fastPath);
      if (*c.error == 0) {
        EXPECT_EQ(o.output, "end\n") << c.body;
        EXPECT_EQ(o.error, "") << c.body;
      } else {
        EXPECT_EQ(o.error.substr(0, o.error.find(" at ")), c.error) << c.body << (fastPath ? " (fast)" : "");
      }
    }
  }
}
