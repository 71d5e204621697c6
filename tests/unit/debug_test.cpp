// The trace, the profile and the post-mortem on programs with names.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <sstream>

#include "asm/kasm.h"
#include "debug/post_mortem.h"
#include "debug/profile.h"
#include "debug/trace.h"
#include "interp/runner.h"

using namespace kestrel;

namespace {

// A temporary file that the reports write into.
class Capture {
 public:
  Capture() : f_(std::tmpfile()) {}
  ~Capture() { std::fclose(f_); }
  std::FILE* file() { return f_; }
  std::string text() {
    std::fflush(f_);
    std::rewind(f_);
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f_)) > 0) out.append(buf, n);
    return out;
  }

 private:
  std::FILE* f_;
};

struct Outcome {
  int status = 0;
  std::string output;
  std::string postMortem;
};

Outcome run(const std::string& source, RunObserver* observer, bool fastPath) {
  kasm::Assembly a = kasm::assembleProgram(source);
  MachineOptions options;
  options.windowed = true;
  options.sandbox = true;
  options.useFastPath = fastPath;
  options.observer = observer;
  auto map = std::make_shared<SourceMap>(std::move(a.map));
  map->file = "test.kasm";
  options.source = map;
  Machine m(parseImage(a.image), options);
  Outcome r;
  m.out.captureInto(&r.output);
  // The error report itself goes to standard error; the test looks at the state.
  r.status = runMachine(m);
  if (r.status != 0) {
    Capture pm;
    debug::writePostMortem(m, pm.file());
    r.postMortem = pm.text();
  }
  return r;
}

const char* const kCounting =
    ".var i = int:0\n"
    ".var total = double:0\n"
    "    dim i\n"
    "    dim total\n"
    "    goto main\n"
    ".proc twice\n"
    ".param n = arg.int:0\n"
    "    result n * 2\n"
    "    endproc\n"
    "main:\n"
    "    for i = 1 to 3 step 1 else done\n"
    "again:\n"
    "    let total = total + @double twice(i)\n"
    "    next again\n"
    "done:\n"
    "    stdout str(total)\n";

}  // namespace

TEST(Trace, EachStatementWithItsLineAndTheValueItStored) {
  Capture trace;
  debug::Trace observer(trace.file());
  EXPECT_EQ(run(kCounting, &observer, false).output, "12\n");
  // An assignment's line is written before the call it makes, its value after.
  const std::string once =
      "    61    13  let total = total + @double twice(i)\n"
      "    29     8    result n * 2  => %R\n"
      "    38     9    endproc\n"
      "    61        => %T\n"
      "    84    14  next again\n";
  std::string expected =
      "     5     3  dim i\n"
      "    12     4  dim total\n"
      "    19     5  goto main\n"
      "    39    11  for i = 1 to 3 step 1 else done\n";
  for (const auto& [result, total] : {std::pair{"2", "2"}, {"4", "6"}, {"6", "12"}}) {
    std::string round = once;
    round.replace(round.find("%R"), 2, result);
    round.replace(round.find("%T"), 2, total);
    expected += round;
  }
  expected += "    90    16  stdout str(total)\n";
  EXPECT_EQ(trace.text(), expected);
}

TEST(Trace, AnErrorEndsIt) {
  Capture trace;
  debug::Trace observer(trace.file());
  const Outcome r = run("    dim int:0\n    let int:0 = 1 / 0\n    stdout 1\n", &observer, false);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(trace.text(),
            "     5     1  dim int:0\n"
            "    12     2  let int:0 = 1 / 0\n"
            "run-time error: Floating point division by zero\n");
}

// A profile counts each statement as often as it ran, whether the fast
// path ran it in a block or the decoder one by one.
TEST(Profile, CountsTheSameWithAndWithoutTheFastPath) {
  auto counts = [](bool fastPath) {
    Capture report;
    {
      debug::Profile observer(report.file());
      EXPECT_EQ(run(kCounting, &observer, fastPath).output, "12\n");
    }
    std::map<std::string, std::string> byPosition;  // position -> count
    std::istringstream lines(report.text());
    std::string line;
    bool statements = false;
    while (std::getline(lines, line)) {
      if (line.rfind("statements that", 0) == 0 || line.rfind("procedures that", 0) == 0) {
        statements = line[0] == 's';
        std::getline(lines, line);  // the column heads
        continue;
      }
      std::istringstream fields(line);
      std::string time, ms, count, position;
      if (statements && fields >> time >> ms >> count >> position) byPosition[position] = count;
      if (!statements && fields >> time >> ms >> count >> position && line.find("twice") != std::string::npos)
        byPosition["calls of twice"] = count;
    }
    return byPosition;
  };
  const auto decoded = counts(false);
  EXPECT_EQ(decoded.at("61"), "3");  // the loop's body
  EXPECT_EQ(decoded.at("29"), "3");  // the procedure's
  EXPECT_EQ(decoded.at("39"), "1");
  EXPECT_EQ(decoded.at("calls of twice"), "3");
  EXPECT_EQ(counts(true), decoded);
}

TEST(PostMortem, ShowsTheFramesOfAFailingRecursion) {
  const Outcome r = run(
      ".var depth = int:0\n"
      ".var greeting = str:0\n"
      "    dim depth\n"
      "    dim greeting\n"
      "    let greeting = \"down\"\n"
      "    for depth = 1 to 2 step 1 else done\n"
      "again:\n"
      "    stdout @int down(3)\n"
      "    next again\n"
      "done:\n"
      "    endprogram\n"
      ".proc down\n"
      ".param n = arg.int:0\n"
      "    ifnot n = 0 goto deeper\n"
      "    result 10 \\ n\n"
      "    endproc\n"
      "deeper:\n"
      "    result @int down(n - 1)\n"
      "    endproc\n",
      nullptr, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.postMortem,
            "post-mortem:\n"
            "  calls (innermost first):\n"
            "    #4 down, at test.kasm:15\n"
            "      n (arg.int:0) = 0\n"
            "    #3 down, at test.kasm:18\n"
            "      n (arg.int:0) = 1\n"
            "    #2 down, at test.kasm:18\n"
            "      n (arg.int:0) = 2\n"
            "    #1 down, at test.kasm:18\n"
            "      n (arg.int:0) = 3\n"
            "    main code, at test.kasm:8\n"
            "  counted loops (innermost first):\n"
            "    depth (int:0) = 1, to 2 step 1\n"
            "  variables:\n"
            "    greeting (str:0) = \"down\"\n"
            "    depth (int:0) = 1\n");
}

TEST(PostMortem, WithoutNamesShowsSlotsAndOperands) {
  const Outcome r = run("    dim int:1\n    dim str:0\n    let int:1 = 7\n    call f(\"x\", 2.5)\n    endprogram\n"
                    ".proc f\n    stdout str:3\n    endproc\n",
                    nullptr, false);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.postMortem,
            "post-mortem:\n"
            "  calls (innermost first):\n"
            "    #1 f, at test.kasm:7\n"
            "      slot 0: \"x\"\n"
            "      slot 1: 2.5\n"
            "    main code, at test.kasm:4\n"
            "  variables:\n"
            "    str:0 = \"\"\n"
            "    int:0 = 0\n"
            "    int:1 = 7\n");
}
